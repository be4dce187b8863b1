#include "client/ui/rml.h"

#include <memory>

#include <spdlog/spdlog.h>

#include "client/ui/components/register_components.h"
#include "client/window/window.h"

namespace {

constexpr const char* text_font_path = "build/assets/fonts/LatoLatin-Regular.ttf";
// For the characters that Lato lacks.
constexpr const char* fallback_font_path = "build/assets/fonts/NotoEmoji-Regular.ttf";

// The toolkit may call the interfaces of every manager until the process ends,
// so they are kept here and destroyed only at exit. At namespace scope rather
// than in a function, this owner is made before the toolkit's own statics and
// so destroyed after them: nothing of the toolkit outlives the interfaces.
struct ToolkitInterfaces {
    std::vector<std::unique_ptr<SystemInterface_SDL>> system;
    std::vector<std::unique_ptr<RenderInterface_SDL>> render;
};
ToolkitInterfaces toolkit_interfaces;

}  // namespace

RmlManager::RmlManager(SDL_Window* window, SDL_Renderer* renderer,
                       std::unordered_map<ShipType, ShipConfig>& ship_configs,
                       std::unordered_map<MountType, MountConfig>& mount_configs,
                       std::unordered_map<ProjectileType, ProjectileConfig>& projectile_configs) {
    system_interface = toolkit_interfaces.system
                           .emplace_back(std::make_unique<SystemInterface_SDL>(window))
                           .get();
    render_interface = toolkit_interfaces.render
                           .emplace_back(std::make_unique<RenderInterface_SDL>(renderer))
                           .get();
    Rml::SetSystemInterface(system_interface);
    Rml::SetRenderInterface(render_interface);
    Rml::Initialise();

    const auto [width, height] = get_screen_size(window);
    SPDLOG_INFO("Initializing Rml context w, h: {} {}", width, height);
    context = Rml::CreateContext("main", {width, height});

    Rml::LoadFontFace(text_font_path, false, Rml::Style::FontWeight::Auto, 0);
    Rml::LoadFontFace(fallback_font_path, true, Rml::Style::FontWeight::Auto, 0);
    UI::register_component_instancers();
    initialize_pages(ship_configs, mount_configs, projectile_configs);
    if (!Rml::Debugger::Initialise(context)) {
        SPDLOG_WARN("Failed to initialize Rml::Debugger");
    }
}

void RmlManager::initialize_pages(
    std::unordered_map<ShipType, ShipConfig>& ship_configs,
    std::unordered_map<MountType, MountConfig>& mount_configs,
    std::unordered_map<ProjectileType, ProjectileConfig>& projectile_configs) {
    // Without a context there is nothing to load the pages into.
    if (!context) {
        return;
    }
    login.initialize(context);
    buy_loadout.initialize(context, ship_configs);
    view_loadouts.initialize(context, ship_configs);
    edit_loadout.initialize(context);
    match_finder.initialize(context);
    loading_match.initialize(context);
    // Copies: the editors' changes stay theirs.
    ship_editor.initialize(context, ship_configs);
    mount_editor.initialize(context, mount_configs);
    projectile_editor.initialize(context, projectile_configs);
    server_browser.initialize(context);
    server_lobby.initialize(context);
    admin_menu.initialize(context);
}

bool RmlManager::handle_event(SDL_Window* window, SDL_Event& event) {
    if (!context) {
        return true;
    }
    return RmlSDL::InputEventHandler(context, window, event);
}

void RmlManager::render() {
    if (!context) {
        return;
    }
    context->Update();
    // An added row exists only once the update made it; the second update scrolls to it.
    if (ship_editor.scroll_requested_row_into_view()) context->Update();
    context->Render();
}

void RmlManager::shutdown() {
    // A manager without an interface never set the toolkit up.
    if (!system_interface) {
        return;
    }
    Rml::Shutdown();
    context = nullptr;
    forget_documents();
}

template <typename Action>
void RmlManager::with_page(RmlView view, Action&& action) {
    switch (view) {
    case RmlView::login:
        action(login);
        break;
    case RmlView::buy_loadout:
        action(buy_loadout);
        break;
    case RmlView::view_loadouts:
        action(view_loadouts);
        break;
    case RmlView::edit_loadout:
        action(edit_loadout);
        break;
    case RmlView::match_finder:
        action(match_finder);
        break;
    case RmlView::loading_match:
        action(loading_match);
        break;
    case RmlView::ship_editor:
        action(ship_editor);
        break;
    case RmlView::mount_editor:
        action(mount_editor);
        break;
    case RmlView::projectile_editor:
        action(projectile_editor);
        break;
    case RmlView::server_browser:
        action(server_browser);
        break;
    case RmlView::server_lobby:
        action(server_lobby);
        break;
    case RmlView::admin_menu:
        action(admin_menu);
        break;
    default:
        break;
    }
}

void RmlManager::show_view(RmlView view) {
    with_page(view, [](auto& page) { page.show(); });
}

void RmlManager::hide_view(RmlView view) {
    with_page(view, [](auto& page) { page.hide(); });
}

std::vector<UiEvent> RmlManager::drain_ui_events() { return admin_menu.drain_ui_events(); }

void RmlManager::forget_documents() {
    for (RmlView view = RmlView::login; view <= RmlView::admin_menu;
         view = static_cast<RmlView>(static_cast<std::uint32_t>(view) + 1)) {
        with_page(view, [](auto& page) { page.document = nullptr; });
    }
}
