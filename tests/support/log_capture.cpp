#include "support/log_capture.h"

#include <algorithm>

#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

namespace test_support {

namespace {

class CaptureSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    std::vector<LogLine> snapshot() {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    void reset() {
        std::lock_guard lock(mutex_);
        lines_.clear();
    }

protected:
    void sink_it_(const spdlog::details::log_msg& msg) override {
        lines_.push_back({msg.level, std::string(msg.payload.data(), msg.payload.size())});
    }
    void flush_() override {}

private:
    std::vector<LogLine> lines_;
};

CaptureSink& as_capture(const std::shared_ptr<spdlog::sinks::sink>& sink) {
    return static_cast<CaptureSink&>(*sink);
}

}  // namespace

LogCapture::LogCapture() : sink_(std::make_shared<CaptureSink>()) {
    auto logger = spdlog::default_logger();
    logger->sinks().push_back(sink_);
    logger->set_level(spdlog::level::trace);
}

LogCapture::~LogCapture() {
    auto& sinks = spdlog::default_logger()->sinks();
    sinks.erase(std::remove(sinks.begin(), sinks.end(), sink_), sinks.end());
    spdlog::default_logger()->set_level(spdlog::level::info);
}

std::vector<LogLine> LogCapture::lines() const { return as_capture(sink_).snapshot(); }

int LogCapture::count(std::string_view text) const {
    auto all = lines();
    return static_cast<int>(std::count_if(all.begin(), all.end(),
                                          [&](const LogLine& l) { return l.text == text; }));
}

int LogCapture::count(spdlog::level::level_enum level, std::string_view text) const {
    auto all = lines();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const LogLine& l) {
        return l.level == level && l.text == text;
    }));
}

int LogCapture::count_containing(std::string_view fragment) const {
    auto all = lines();
    return static_cast<int>(std::count_if(all.begin(), all.end(), [&](const LogLine& l) {
        return l.text.find(fragment) != std::string::npos;
    }));
}

void LogCapture::clear() { as_capture(sink_).reset(); }

}  // namespace test_support
