#pragma once

#include <vector>

#include <SDL3/SDL.h>

// Every event waiting in SDL's queue, in order; never waits for one.
std::vector<SDL_Event> pump_sdl_events();
