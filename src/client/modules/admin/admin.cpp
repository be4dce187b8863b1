#include "client/modules/admin/admin.h"

#include <utility>

namespace Client {

AdminModule::AdminModule(Engine* engine, RmlManager* rml_manager, SDL_Window* window)
    : engine(engine), rml_manager(rml_manager), window(window) {
    engine->bind_tick([this](std::vector<SDL_Event>& events) { tick(events); });
    engine->bind_render([this] { render(); });
    rml_manager->show_view(RmlView::admin_menu);
    ui_state.is_admin_menu_visible = true;
}

void AdminModule::tick(std::vector<SDL_Event> events) {
    // No manager: the capture-the-flag module already hands this tick's
    // events to the interface, and a second hand-over would toggle the
    // debugger twice per F8. Only the Escape edges matter here, so the camera
    // stays at the origin.
    const std::vector<InputEvent> edges = input.read(nullptr, window, std::move(events), 0, 0);
    for (const InputEvent& edge : edges) {
        if (edge.type == InputEventType::Pressed && edge.sdl_key_code == SDLK_ESCAPE) {
            toggle_admin_menu();
        }
    }
    for (const UiEvent request : rml_manager->drain_ui_events()) {
        apply(request);
    }
}

void AdminModule::render() {}

void AdminModule::toggle_admin_menu() {
    if (ui_state.is_admin_menu_visible) {
        hide_admin_menu();
        return;
    }
    rml_manager->hide_view(RmlView::ship_editor);
    rml_manager->hide_view(RmlView::mount_editor);
    rml_manager->hide_view(RmlView::projectile_editor);
    rml_manager->show_view(RmlView::admin_menu);
    ui_state.is_admin_menu_visible = true;
}

// The match-flow requests are dropped: those pages stay hidden in this game.
void AdminModule::apply(UiEvent request) {
    switch (request) {
    case UiEvent::Close:
        hide_admin_menu();
        break;
    case UiEvent::OpenShipEditor:
        show_instead_of_admin_menu(RmlView::ship_editor);
        break;
    case UiEvent::OpenMountEditor:
        show_instead_of_admin_menu(RmlView::mount_editor);
        break;
    case UiEvent::OpenProjectileEditor:
        show_instead_of_admin_menu(RmlView::projectile_editor);
        break;
    default:
        break;
    }
}

void AdminModule::show_instead_of_admin_menu(RmlView view) {
    rml_manager->show_view(view);
    hide_admin_menu();
}

void AdminModule::hide_admin_menu() {
    rml_manager->hide_view(RmlView::admin_menu);
    ui_state.is_admin_menu_visible = false;
}

}  // namespace Client
