#include "lib/rml/sdl_input/sdl_input.h"

#include <cmath>

#include "lib/rml/context/context.h"

namespace RmlSDL {

namespace {

int ConvertButton(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return button - 1;
    }
}

float PixelDensity(SDL_Window* window) {
    const float density = window ? SDL_GetWindowPixelDensity(window) : 1.f;
    return density > 0 ? density : 1.f;
}

int ToPixels(float coordinate, float density) { return static_cast<int>(std::lround(coordinate * density)); }

// A button event says where it happened: the pointer moves there first. Gives the modifier keys.
int MoveToButton(Rml::Context& context, const SDL_MouseButtonEvent& button, float density) {
    const int modifiers = ConvertModifiers(SDL_GetModState());
    context.ProcessMouseMove(ToPixels(button.x, density), ToPixels(button.y, density), modifiers);
    return modifiers;
}

}  // namespace

Rml::Input::KeyIdentifier ConvertKey(SDL_Keycode key) {
    using namespace Rml::Input;
    if (key >= SDLK_A && key <= SDLK_Z) return static_cast<KeyIdentifier>(KI_A + (key - SDLK_A));
    if (key >= SDLK_0 && key <= SDLK_9) return static_cast<KeyIdentifier>(KI_0 + (key - SDLK_0));
    if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<KeyIdentifier>(KI_F1 + (key - SDLK_F1));
    switch (key) {
        case SDLK_SPACE: return KI_SPACE;
        case SDLK_BACKSPACE: return KI_BACK;
        case SDLK_TAB: return KI_TAB;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return KI_RETURN;
        case SDLK_ESCAPE: return KI_ESCAPE;
        case SDLK_PAGEUP: return KI_PRIOR;
        case SDLK_PAGEDOWN: return KI_NEXT;
        case SDLK_END: return KI_END;
        case SDLK_HOME: return KI_HOME;
        case SDLK_LEFT: return KI_LEFT;
        case SDLK_UP: return KI_UP;
        case SDLK_RIGHT: return KI_RIGHT;
        case SDLK_DOWN: return KI_DOWN;
        case SDLK_INSERT: return KI_INSERT;
        case SDLK_DELETE: return KI_DELETE;
        case SDLK_LSHIFT: return KI_LSHIFT;
        case SDLK_RSHIFT: return KI_RSHIFT;
        case SDLK_LCTRL: return KI_LCONTROL;
        case SDLK_RCTRL: return KI_RCONTROL;
        case SDLK_LALT: return KI_LMENU;
        case SDLK_RALT: return KI_RMENU;
        case SDLK_LGUI: return KI_LMETA;
        case SDLK_RGUI: return KI_RMETA;
        default: return KI_UNKNOWN;
    }
}

int ConvertModifiers(SDL_Keymod modifiers) {
    int out = 0;
    if (modifiers & SDL_KMOD_CTRL) out |= Rml::Input::KM_CTRL;
    if (modifiers & SDL_KMOD_SHIFT) out |= Rml::Input::KM_SHIFT;
    if (modifiers & SDL_KMOD_ALT) out |= Rml::Input::KM_ALT;
    if (modifiers & SDL_KMOD_GUI) out |= Rml::Input::KM_META;
    if (modifiers & SDL_KMOD_CAPS) out |= Rml::Input::KM_CAPSLOCK;
    if (modifiers & SDL_KMOD_NUM) out |= Rml::Input::KM_NUMLOCK;
    if (modifiers & SDL_KMOD_SCROLL) out |= Rml::Input::KM_SCROLLLOCK;
    return out;
}

bool InputEventHandler(Rml::Context* context, SDL_Window* window, SDL_Event& event) {
    if (!context) return true;
    const float density = PixelDensity(window);
    switch (event.type) {
        case SDL_EVENT_MOUSE_MOTION:
            return context->ProcessMouseMove(ToPixels(event.motion.x, density), ToPixels(event.motion.y, density),
                                             ConvertModifiers(SDL_GetModState()));
        case SDL_EVENT_MOUSE_BUTTON_DOWN: {
            const int modifiers = MoveToButton(*context, event.button, density);
            return context->ProcessMouseButtonDown(ConvertButton(event.button.button), modifiers, event.button.clicks);
        }
        case SDL_EVENT_MOUSE_BUTTON_UP: {
            const int modifiers = MoveToButton(*context, event.button, density);
            return context->ProcessMouseButtonUp(ConvertButton(event.button.button), modifiers);
        }
        case SDL_EVENT_MOUSE_WHEEL: {
            const float flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.f : 1.f;
            return context->ProcessMouseWheel(Rml::Vector2f{event.wheel.x * flip, -event.wheel.y * flip},
                                              ConvertModifiers(SDL_GetModState()));
        }
        case SDL_EVENT_KEY_DOWN:
            return context->ProcessKeyDown(ConvertKey(event.key.key), ConvertModifiers(event.key.mod));
        case SDL_EVENT_KEY_UP: return context->ProcessKeyUp(ConvertKey(event.key.key), ConvertModifiers(event.key.mod));
        case SDL_EVENT_TEXT_INPUT: return context->ProcessTextInput(event.text.text ? event.text.text : "");
        case SDL_EVENT_WINDOW_MOUSE_LEAVE: return context->ProcessMouseLeave();
        case SDL_EVENT_WINDOW_PIXEL_SIZE_CHANGED:
            context->SetDimensions({event.window.data1, event.window.data2});
            return true;
        default: return true;
    }
}

}  // namespace RmlSDL
