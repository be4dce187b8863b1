#pragma once

#include <cstdint>
#include <vector>

#include <SDL3/SDL.h>

#include "client/ui/rml.h"

enum class InputEventType : std::uint32_t {
    Pressed = 0,
    Released = 1,
};

// A key edge; only Escape is ever reported.
struct InputEvent {
    InputEventType type = InputEventType::Pressed;
    SDL_Keycode sdl_key_code = 0;

    bool operator==(const InputEvent&) const = default;
};

// The player's held keys and the mouse in world coordinates, as read from
// one tick's SDL events.
class Input {
public:
    // Every event goes to `rml_manager` first, and F8 toggles the UI debugger.
    // With a null manager nothing is forwarded and F8 does nothing, so a second
    // reader of the same events does not hand them to the interface twice.
    // (`camera_x`, `camera_y`) is the world point at the window's centre.
    std::vector<InputEvent> read(RmlManager* rml_manager, SDL_Window* window,
                                 std::vector<SDL_Event> events, float camera_x, float camera_y);

    bool up = false;
    bool down = false;
    bool right = false;
    bool left = false;
    bool fire = false;
    bool quit = false;
    bool escape = false;
    bool shift = false;
    bool c = false;
    float mouse_dir_x = 0;
    float mouse_dir_y = 0;
    float mouse_world_x = 0;
    float mouse_world_y = 0;

private:
    void read_key_down(SDL_Keycode key, bool forwards_to_ui, std::vector<InputEvent>& edges);
    void read_key_up(SDL_Keycode key, std::vector<InputEvent>& edges);
    bool* held_flag(SDL_Keycode key);
    void read_mouse(SDL_Window* window, float camera_x, float camera_y);
};
