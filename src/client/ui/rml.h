#pragma once

#include <SDL3/SDL.h>

// Stand-in for the user-interface manager until the toolkit and the pages
// arrive: it takes every event as unconsumed and draws nothing.
class RmlManager {
public:
    bool handle_event(SDL_Window*, SDL_Event&) { return true; }
    void render() {}
};

// Stand-in for the toolkit's debugger: only its visibility exists yet.
inline bool& ui_debugger_visible() {
    static bool visible = false;
    return visible;
}

inline void toggle_ui_debugger() { ui_debugger_visible() = !ui_debugger_visible(); }
