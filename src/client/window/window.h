#pragma once

#include <utility>

#include <SDL3/SDL.h>

// The window's size in pixels; (0, 0) without a window.
std::pair<int, int> get_screen_size(SDL_Window* window);
