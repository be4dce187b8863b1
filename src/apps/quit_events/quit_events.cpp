#include "apps/quit_events/quit_events.h"

#include <spdlog/spdlog.h>

namespace {

bool is_quit_event(const SDL_Event& event) {
    switch (event.type) {
    case SDL_EVENT_QUIT:
    case SDL_EVENT_WINDOW_CLOSE_REQUESTED:
    case SDL_EVENT_WINDOW_DESTROYED:
    case SDL_EVENT_RENDER_DEVICE_LOST:
        return true;
    default:
        return false;
    }
}

}  // namespace

void stop_on_quit_events(const std::vector<SDL_Event>& events, std::atomic<bool>& stop_flag) {
    for (const SDL_Event& event : events) {
        if (is_quit_event(event)) {
            SPDLOG_INFO("SDL quit command received.");
            stop_flag.store(true);
        }
    }
}
