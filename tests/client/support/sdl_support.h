#pragma once

#include <SDL3/SDL.h>

namespace client_test {

// SDL video on the dummy driver (unless the environment names another) for
// the whole test run.
void ensure_sdl_video();

SDL_Event key_event(SDL_EventType type, SDL_Keycode key, bool repeat = false);
SDL_Event button_event(SDL_EventType type, Uint8 button);

// A texture of the given size whose top half is `top` and bottom half `bottom`
// (0xRRGGBBAA each), so that its orientation shows in the drawn pixels.
SDL_Texture* make_two_tone_texture(SDL_Renderer* renderer, int width, int height, Uint32 top,
                                   Uint32 bottom);

// An offscreen window with the software renderer, destroyed with the object.
struct OffscreenWindow {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;

    explicit OffscreenWindow(int width = 1280, int height = 720);
    OffscreenWindow(const OffscreenWindow&) = delete;
    OffscreenWindow& operator=(const OffscreenWindow&) = delete;
    ~OffscreenWindow();

    // Puts the mouse at this window pixel.
    void move_mouse(float x, float y) const;
    // Clears the frame to opaque black.
    void clear() const;
    // The colour of one pixel of the current frame (0xRRGGBBAA).
    Uint32 pixel(int x, int y) const;
};

}  // namespace client_test
