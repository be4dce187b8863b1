#include "core/sdl_helpers/sdl_helpers.h"

std::vector<SDL_Event> pump_sdl_events() {
    std::vector<SDL_Event> events;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        events.push_back(event);
    }
    return events;
}
