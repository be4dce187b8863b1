#include "lib/rml/system_interface_sdl/system_interface_sdl.h"

#include <cmath>

#include "lib/rml/string_utilities/string_utilities.h"

namespace {

SDL_SystemCursor CursorFor(const Rml::String& name) {
    const Rml::String lower = Rml::StringUtilities::ToLower(name);
    if (lower == "pointer" || lower == "hand") return SDL_SYSTEM_CURSOR_POINTER;
    if (lower == "text") return SDL_SYSTEM_CURSOR_TEXT;
    if (lower == "move") return SDL_SYSTEM_CURSOR_MOVE;
    if (lower == "wait") return SDL_SYSTEM_CURSOR_WAIT;
    if (lower == "progress") return SDL_SYSTEM_CURSOR_PROGRESS;
    if (lower == "crosshair") return SDL_SYSTEM_CURSOR_CROSSHAIR;
    if (lower == "not-allowed" || lower == "unavailable") return SDL_SYSTEM_CURSOR_NOT_ALLOWED;
    if (lower == "ew-resize" || lower == "col-resize") return SDL_SYSTEM_CURSOR_EW_RESIZE;
    if (lower == "ns-resize" || lower == "row-resize") return SDL_SYSTEM_CURSOR_NS_RESIZE;
    return SDL_SYSTEM_CURSOR_DEFAULT;
}

}  // namespace

SystemInterface_SDL::SystemInterface_SDL(SDL_Window* window) : window_(window) {}

SystemInterface_SDL::~SystemInterface_SDL() {
    for (auto& [id, cursor] : cursors_) {
        if (cursor) SDL_DestroyCursor(cursor);
    }
}

double SystemInterface_SDL::GetElapsedTime() { return static_cast<double>(SDL_GetTicksNS()) / 1e9; }

void SystemInterface_SDL::SetMouseCursor(const Rml::String& cursor_name) {
    const SDL_SystemCursor id = CursorFor(cursor_name);
    auto [it, inserted] = cursors_.try_emplace(static_cast<int>(id), nullptr);
    if (inserted) it->second = SDL_CreateSystemCursor(id);
    if (it->second) SDL_SetCursor(it->second);
}

void SystemInterface_SDL::SetClipboardText(const Rml::String& text) { SDL_SetClipboardText(text.c_str()); }

void SystemInterface_SDL::GetClipboardText(Rml::String& text) {
    char* clipboard = SDL_GetClipboardText();
    text = clipboard ? clipboard : "";
    SDL_free(clipboard);
}

void SystemInterface_SDL::ActivateKeyboard(Rml::Vector2f caret_position, float line_height) {
    if (!window_) return;
    const SDL_Rect area{Rml::ClampToInt(caret_position.x), Rml::ClampToInt(caret_position.y), 1,
                        Rml::ClampToInt(std::ceil(line_height))};
    SDL_SetTextInputArea(window_, &area, 0);
    if (!SDL_TextInputActive(window_)) SDL_StartTextInput(window_);
}

void SystemInterface_SDL::DeactivateKeyboard() {
    if (window_ && SDL_TextInputActive(window_)) SDL_StopTextInput(window_);
}
