#include "client/input/input.h"

#include <spdlog/spdlog.h>

#include "client/window/window.h"
#include "lib/rml/debugger/debugger.h"

std::vector<InputEvent> Input::read(RmlManager* rml_manager, SDL_Window* window,
                                    std::vector<SDL_Event> events, float camera_x,
                                    float camera_y) {
    std::vector<InputEvent> edges;
    for (SDL_Event& event : events) {
        if (rml_manager) {
            // Whether the interface used the event does not matter: the game reads it too.
            rml_manager->handle_event(window, event);
        }
        switch (event.type) {
        case SDL_EVENT_KEY_DOWN:
            read_key_down(event.key.key, rml_manager != nullptr, edges);
            break;
        case SDL_EVENT_KEY_UP:
            read_key_up(event.key.key, edges);
            break;
        case SDL_EVENT_MOUSE_BUTTON_DOWN:
            if (event.button.button == SDL_BUTTON_LEFT) {
                SPDLOG_INFO("Setting fire = true");
                fire = true;
            }
            break;
        case SDL_EVENT_MOUSE_BUTTON_UP:
            if (event.button.button == SDL_BUTTON_LEFT) {
                SPDLOG_INFO("Setting fire = false");
                fire = false;
            }
            break;
        default:
            break;
        }
    }
    read_mouse(window, camera_x, camera_y);
    return edges;
}

void Input::read_key_down(SDL_Keycode key, bool forwards_to_ui, std::vector<InputEvent>& edges) {
    if (key == SDLK_ESCAPE) {
        // Auto-repeats of a held Escape make no new edge.
        if (!escape) {
            edges.push_back({InputEventType::Pressed, SDLK_ESCAPE});
        }
        escape = true;
    } else if (key == SDLK_F8) {
        if (forwards_to_ui) {
            Rml::Debugger::SetVisible(!Rml::Debugger::IsVisible());
        }
    } else if (bool* flag = held_flag(key)) {
        *flag = true;
    }
}

void Input::read_key_up(SDL_Keycode key, std::vector<InputEvent>& edges) {
    if (key == SDLK_ESCAPE) {
        if (escape) {
            edges.push_back({InputEventType::Released, SDLK_ESCAPE});
        }
        escape = false;
    } else if (bool* flag = held_flag(key)) {
        *flag = false;
    }
}

bool* Input::held_flag(SDL_Keycode key) {
    switch (key) {
    case SDLK_W:
        return &up;
    case SDLK_S:
        return &down;
    case SDLK_A:
        return &left;
    case SDLK_D:
        return &right;
    case SDLK_C:
        return &c;
    case SDLK_LSHIFT:
        return &shift;
    default:
        return nullptr;
    }
}

// Integer half sizes, unlike the drawing code: 640 for a width of 1281.
void Input::read_mouse(SDL_Window* window, float camera_x, float camera_y) {
    float mouse_x = 0;
    float mouse_y = 0;
    SDL_GetMouseState(&mouse_x, &mouse_y);
    const auto [width, height] = get_screen_size(window);
    const auto half_width = static_cast<float>(width / 2);
    const auto half_height = static_cast<float>(height / 2);
    // The screen's y points down and the world's up.
    mouse_world_x = (mouse_x - half_width) + camera_x;
    mouse_world_y = camera_y - (mouse_y - half_height);
    mouse_dir_x = mouse_world_x - camera_x;
    mouse_dir_y = mouse_world_y - camera_y;
}
