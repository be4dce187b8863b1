#include "client/window/window.h"

std::pair<int, int> get_screen_size(SDL_Window* window) {
    int width = 0;
    int height = 0;
    if (window) {
        SDL_GetWindowSize(window, &width, &height);
    }
    return {width, height};
}
