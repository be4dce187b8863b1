#pragma once

#include <SDL3/SDL.h>

#include "lib/rml/input/input.h"

namespace Rml {
class Context;
}

namespace RmlSDL {

// Feeds one SDL event (mouse, wheel, keys, text, window) to the context;
// true when the interface did not consume it.
bool InputEventHandler(Rml::Context* context, SDL_Window* window, SDL_Event& event);

Rml::Input::KeyIdentifier ConvertKey(SDL_Keycode key);
int ConvertModifiers(SDL_Keymod modifiers);

}  // namespace RmlSDL
