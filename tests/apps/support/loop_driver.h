#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <SDL3/SDL.h>

#include "lib/rml/rml.h"

namespace spdlog::sinks {
class sink;
}

namespace apps_test {

// Plays a client application from inside its own loop: at the end of every
// pass (its "Starting app loop end" line) the current stage is checked on the
// interface context "main"; once it holds, the next stage's action runs, and
// after the last stage the loop's stop flag is set. A stage that does not hold
// within the time limit ends the loop as well and is reported.
class LoopDriver {
public:
    using Action = std::function<void(Rml::Context&)>;
    using Check = std::function<bool(Rml::Context&)>;

    LoopDriver(std::atomic<bool>& stop_flag, std::chrono::seconds time_limit);
    ~LoopDriver();
    LoopDriver(const LoopDriver&) = delete;
    LoopDriver& operator=(const LoopDriver&) = delete;

    void add_stage(std::string name, Action action, Check holds);
    // The first stage that did not hold in time, or "" when all did.
    std::string failed_stage() const { return failed_stage_; }

    // Called by the driver's log sink at the end of every pass.
    void on_pass_end();

private:
    struct Stage {
        std::string name;
        Action action;
        Check holds;
    };

    std::atomic<bool>& stop_flag_;
    std::chrono::steady_clock::time_point deadline_;
    std::vector<Stage> stages_;
    std::size_t current_ = 0;
    bool action_done_ = false;
    std::string failed_stage_;
    std::shared_ptr<spdlog::sinks::sink> sink_;
};

// The names of the shown pages ("admin_menu", ...), in the context's order.
std::vector<std::string> shown_pages(Rml::Context& context);
// A key press and release in SDL's queue.
void push_key(SDL_Keycode key);
// A left click at the centre of the element `id` of the page, in SDL's queue.
void push_click(Rml::Context& context, const std::string& page, const std::string& id);

}  // namespace apps_test
