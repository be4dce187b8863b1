#include "client/support/sdl_support.h"

#include <vector>

#include <gtest/gtest.h>

namespace client_test {

void ensure_sdl_video() {
    // Offscreen, so the suite runs without a display; SDL_VIDEO_DRIVER in the
    // environment still wins, to watch the tests on a real one.
    static const bool initialised = [] {
        SDL_SetHint(SDL_HINT_VIDEO_DRIVER, "dummy");
        return SDL_Init(SDL_INIT_VIDEO);
    }();
    ASSERT_TRUE(initialised) << SDL_GetError();
}

SDL_Event key_event(SDL_EventType type, SDL_Keycode key, bool repeat) {
    SDL_Event event{};
    event.type = type;
    event.key.key = key;
    event.key.down = type == SDL_EVENT_KEY_DOWN;
    event.key.repeat = repeat;
    return event;
}

SDL_Event button_event(SDL_EventType type, Uint8 button) {
    SDL_Event event{};
    event.type = type;
    event.button.button = button;
    event.button.down = type == SDL_EVENT_MOUSE_BUTTON_DOWN;
    return event;
}

SDL_Texture* make_two_tone_texture(SDL_Renderer* renderer, int width, int height, Uint32 top,
                                   Uint32 bottom) {
    SDL_Texture* texture =
        SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, width, height);
    EXPECT_NE(texture, nullptr) << SDL_GetError();
    std::vector<Uint8> pixels;
    pixels.reserve(static_cast<std::size_t>(width * height * 4));
    for (int row = 0; row < height; ++row) {
        const Uint32 colour = row < height / 2 ? top : bottom;
        for (int column = 0; column < width; ++column) {
            for (int shift = 24; shift >= 0; shift -= 8) {
                pixels.push_back(static_cast<Uint8>(colour >> shift));
            }
        }
    }
    SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
    return texture;
}

OffscreenWindow::OffscreenWindow(int width, int height) {
    ensure_sdl_video();
    window = SDL_CreateWindow("test", width, height, 0);
    EXPECT_NE(window, nullptr) << SDL_GetError();
    renderer = SDL_CreateRenderer(window, "software");
    EXPECT_NE(renderer, nullptr) << SDL_GetError();
}

OffscreenWindow::~OffscreenWindow() {
    if (renderer) {
        SDL_DestroyRenderer(renderer);
    }
    if (window) {
        SDL_DestroyWindow(window);
    }
}

void OffscreenWindow::move_mouse(float x, float y) const { SDL_WarpMouseInWindow(window, x, y); }

void OffscreenWindow::clear() const {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
}

Uint32 OffscreenWindow::pixel(int x, int y) const {
    const SDL_Rect rect{x, y, 1, 1};
    SDL_Surface* surface = SDL_RenderReadPixels(renderer, &rect);
    if (!surface) {
        ADD_FAILURE() << SDL_GetError();
        return 0;
    }
    Uint8 r = 0;
    Uint8 g = 0;
    Uint8 b = 0;
    Uint8 a = 0;
    SDL_ReadSurfacePixel(surface, 0, 0, &r, &g, &b, &a);
    SDL_DestroySurface(surface);
    return static_cast<Uint32>(r) << 24 | static_cast<Uint32>(g) << 16 |
           static_cast<Uint32>(b) << 8 | a;
}

}  // namespace client_test
