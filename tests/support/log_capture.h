#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/common.h>

namespace spdlog::sinks {
class sink;
}

namespace test_support {

struct LogLine {
    spdlog::level::level_enum level;
    std::string text;
};

// Captures every line written to spdlog's default logger while it lives.
// The console sink keeps working, so test output still shows the log.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<LogLine> lines() const;
    // Number of lines whose text equals `text` exactly (any level when none is given).
    int count(std::string_view text) const;
    int count(spdlog::level::level_enum level, std::string_view text) const;
    // Number of lines whose text contains `fragment`.
    int count_containing(std::string_view fragment) const;
    bool contains(std::string_view text) const { return count(text) > 0; }
    bool contains(spdlog::level::level_enum level, std::string_view text) const {
        return count(level, text) > 0;
    }
    void clear();

private:
    std::shared_ptr<spdlog::sinks::sink> sink_;
};

}  // namespace test_support
