#pragma once

#include <atomic>
#include <vector>

#include <SDL3/SDL.h>

// Sets `stop_flag` for every quit event among `events` (a quit request, a
// window-close request, the window's destruction or the loss of the render
// device), logging each one; the events themselves are left for the engine.
void stop_on_quit_events(const std::vector<SDL_Event>& events, std::atomic<bool>& stop_flag);
