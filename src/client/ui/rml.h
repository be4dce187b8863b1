#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include <SDL3/SDL.h>

#include "client/ui/pages/admin_menu/admin_menu.h"
#include "client/ui/pages/buy_loadout/buy_loadout.h"
#include "client/ui/pages/edit_loadout/edit_loadout.h"
#include "client/ui/pages/loading_match/loading_match.h"
#include "client/ui/pages/login/login.h"
#include "client/ui/pages/match_finder/match_finder.h"
#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/server_browser/server_browser.h"
#include "client/ui/pages/server_lobby/server_lobby.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/pages/view_loadouts/view_loadouts.h"
#include "client/ui/ui_event/ui_event.h"
#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"
#include "lib/rml/rml.h"

// The pages by number, as the admin module shows and hides them.
enum class RmlView : std::uint32_t {
    none = 0,
    login = 1,
    buy_loadout = 2,
    view_loadouts = 3,
    edit_loadout = 4,
    match_finder = 5,
    loading_match = 6,
    ship_editor = 7,
    mount_editor = 8,
    projectile_editor = 9,
    server_browser = 10,
    server_lobby = 11,
    admin_menu = 12,
};

// The client's user interface: the toolkit on the game window and renderer,
// the one context "main" with every page loaded hidden, event forwarding,
// showing and hiding pages, the admin menu's requests and the frame's drawing.
// The pages' callbacks hold their addresses, so the manager never moves.
class RmlManager {
public:
    // No interface at all: no context and no pages; every event passes
    // through and nothing is drawn.
    RmlManager() = default;
    // Sets the toolkit up and loads the pages. The editors get copies of the
    // maps, so their edits never reach the game's configuration.
    RmlManager(SDL_Window* window, SDL_Renderer* renderer,
               std::unordered_map<ShipType, ShipConfig>& ship_configs,
               std::unordered_map<MountType, MountConfig>& mount_configs,
               std::unordered_map<ProjectileType, ProjectileConfig>& projectile_configs);
    RmlManager(const RmlManager&) = delete;
    RmlManager& operator=(const RmlManager&) = delete;

    // True while the interface did not consume the event (always, without a context).
    bool handle_event(SDL_Window* window, SDL_Event& event);
    // Updates and draws the context over the frame; nothing without a context.
    void render();
    // Ends the toolkit, which destroys the context and its documents; the
    // manager then acts as one without a context.
    void shutdown();
    // none and numbers outside 1 to 12 do nothing, as does a page whose
    // document did not load.
    void show_view(RmlView view);
    void hide_view(RmlView view);
    // The admin menu's requests since the last drain, in click order.
    std::vector<UiEvent> drain_ui_events();

    Rml::Context* context = nullptr;
    UI::Login::Page login;
    UI::BuyLoadout::Page buy_loadout;
    UI::ViewLoadouts::Page view_loadouts;
    UI::EditLoadout::Page edit_loadout;
    UI::MatchFinder::Page match_finder;
    UI::LoadingMatch::Page loading_match;
    UI::AdminMenu::Page admin_menu;
    UI::ShipEditor::Page ship_editor;
    UI::MountEditor::Page mount_editor;
    UI::ProjectileEditor::Page projectile_editor;
    UI::ServerBrowser::Page server_browser;
    UI::ServerLobby::Page server_lobby;
    // Made by the constructor and released only at process exit: the toolkit
    // may use them until the process ends.
    SystemInterface_SDL* system_interface = nullptr;
    RenderInterface_SDL* render_interface = nullptr;

private:
    void initialize_pages(std::unordered_map<ShipType, ShipConfig>& ship_configs,
                          std::unordered_map<MountType, MountConfig>& mount_configs,
                          std::unordered_map<ProjectileType, ProjectileConfig>& projectile_configs);
    // Calls `action` with the page of `view`; nothing for none or an unknown number.
    template <typename Action>
    void with_page(RmlView view, Action&& action);
    void forget_documents();
};
