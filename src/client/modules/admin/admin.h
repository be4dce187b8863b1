#pragma once

#include <vector>

#include <SDL3/SDL.h>

#include "client/input/input.h"
#include "client/ui/rml.h"
#include "core/engine/engine.h"

namespace Client {

// Decides which page is visible in client mode: the admin menu at start,
// toggled with Escape, and the three editors opened in its place on request.
// Its callbacks hold its address: it must outlive the engine's last step and
// never move.
class AdminModule {
public:
    struct UiState {
        bool is_admin_menu_visible = false;
    };

    // Registers the tick and render callbacks, then shows the admin menu.
    AdminModule(Engine* engine, RmlManager* rml_manager, SDL_Window* window);
    AdminModule(const AdminModule&) = delete;
    AdminModule& operator=(const AdminModule&) = delete;

    // Escape edges first, then the menu's drained requests.
    void tick(std::vector<SDL_Event> events);
    void render();

    Engine* engine;
    RmlManager* rml_manager;
    SDL_Window* window;
    Input input;
    UiState ui_state;

private:
    void toggle_admin_menu();
    void apply(UiEvent request);
    void show_instead_of_admin_menu(RmlView view);
    void hide_admin_menu();
};

}  // namespace Client
