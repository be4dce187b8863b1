#include "apps/support/loop_driver.h"

#include <algorithm>
#include <filesystem>
#include <mutex>

#include <spdlog/sinks/base_sink.h>
#include <spdlog/spdlog.h>

namespace apps_test {

namespace {

class PassEndSink final : public spdlog::sinks::base_sink<std::mutex> {
public:
    explicit PassEndSink(LoopDriver& driver) : driver_(driver) {}

protected:
    void sink_it_(const spdlog::details::log_msg& msg) override {
        if (std::string_view(msg.payload.data(), msg.payload.size()) == "Starting app loop end") {
            driver_.on_pass_end();
        }
    }
    void flush_() override {}

private:
    LoopDriver& driver_;
};

Rml::ElementDocument* page_document(Rml::Context& context, const std::string& page) {
    for (int idx = 0; idx < context.GetNumDocuments(); ++idx) {
        Rml::ElementDocument* document = context.GetDocument(idx);
        if (std::filesystem::path(document->GetSourceURL()).stem() == page) {
            return document;
        }
    }
    return nullptr;
}

void push(SDL_Event event) { SDL_PushEvent(&event); }

}  // namespace

LoopDriver::LoopDriver(std::atomic<bool>& stop_flag, std::chrono::seconds time_limit)
    : stop_flag_(stop_flag),
      deadline_(std::chrono::steady_clock::now() + time_limit),
      sink_(std::make_shared<PassEndSink>(*this)) {
    spdlog::default_logger()->sinks().push_back(sink_);
}

LoopDriver::~LoopDriver() {
    auto& sinks = spdlog::default_logger()->sinks();
    sinks.erase(std::remove(sinks.begin(), sinks.end(), sink_), sinks.end());
}

void LoopDriver::add_stage(std::string name, Action action, Check holds) {
    stages_.push_back({std::move(name), std::move(action), std::move(holds)});
}

void LoopDriver::on_pass_end() {
    Rml::Context* context = Rml::GetContext("main");
    while (context && current_ < stages_.size()) {
        Stage& stage = stages_[current_];
        if (!action_done_) {
            action_done_ = true;
            stage.action(*context);
            // The action's events reach the game in a later pass.
            break;
        }
        if (!stage.holds(*context)) {
            break;
        }
        ++current_;
        action_done_ = false;
    }
    if (current_ == stages_.size()) {
        stop_flag_.store(true);
    } else if (std::chrono::steady_clock::now() > deadline_) {
        failed_stage_ = context ? stages_[current_].name : "the interface has no context";
        stop_flag_.store(true);
    }
}

std::vector<std::string> shown_pages(Rml::Context& context) {
    std::vector<std::string> pages;
    for (int idx = 0; idx < context.GetNumDocuments(); ++idx) {
        Rml::ElementDocument* document = context.GetDocument(idx);
        if (document->IsShown()) {
            pages.push_back(std::filesystem::path(document->GetSourceURL()).stem().string());
        }
    }
    return pages;
}

void push_key(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_EVENT_KEY_DOWN;
    event.key.key = key;
    event.key.down = true;
    push(event);
    event.type = SDL_EVENT_KEY_UP;
    event.key.down = false;
    push(event);
}

void push_click(Rml::Context& context, const std::string& page, const std::string& id) {
    Rml::ElementDocument* document = page_document(context, page);
    Rml::Element* element = document ? document->GetElementById(id) : nullptr;
    if (!element) {
        return;
    }
    const Rml::Vector2f offset = element->GetAbsoluteOffset();
    const float x = offset.x + element->GetOffsetWidth() / 2;
    const float y = offset.y + element->GetOffsetHeight() / 2;
    SDL_Event motion{};
    motion.type = SDL_EVENT_MOUSE_MOTION;
    motion.motion.x = x;
    motion.motion.y = y;
    push(motion);
    SDL_Event button{};
    button.type = SDL_EVENT_MOUSE_BUTTON_DOWN;
    button.button.button = SDL_BUTTON_LEFT;
    button.button.down = true;
    button.button.x = x;
    button.button.y = y;
    push(button);
    button.type = SDL_EVENT_MOUSE_BUTTON_UP;
    button.button.down = false;
    push(button);
}

}  // namespace apps_test
