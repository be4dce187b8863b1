#pragma once

#include <unordered_map>

#include <SDL3/SDL.h>

#include "lib/rml/system_interface/system_interface.h"

// The toolkit's platform on an SDL window: time, clipboard, cursors and text
// input; logging goes into spdlog as the base interface does.
class SystemInterface_SDL : public Rml::SystemInterface {
public:
    explicit SystemInterface_SDL(SDL_Window* window = nullptr);
    ~SystemInterface_SDL() override;
    SystemInterface_SDL(const SystemInterface_SDL&) = delete;
    SystemInterface_SDL& operator=(const SystemInterface_SDL&) = delete;

    void SetWindow(SDL_Window* window) { window_ = window; }

    double GetElapsedTime() override;
    void SetMouseCursor(const Rml::String& cursor_name) override;
    void SetClipboardText(const Rml::String& text) override;
    void GetClipboardText(Rml::String& text) override;
    void ActivateKeyboard(Rml::Vector2f caret_position, float line_height) override;
    void DeactivateKeyboard() override;

private:
    SDL_Window* window_;
    std::unordered_map<int, SDL_Cursor*> cursors_;
};
