#include "client/ui/pages/admin_menu/admin_menu.h"

#include <array>

#include <spdlog/spdlog.h>

#include "client/ui/pages/editor_support/editor_support.h"

namespace UI::AdminMenu {

namespace {

struct Request {
    const char* callback;
    UiEvent event;
};

// In the order the callbacks are bound; each logs "admin_menu: " and its name.
constexpr std::array<Request, 12> requests = {{
    {"on_close", UiEvent::Close},
    {"on_open_login", UiEvent::OpenLogin},
    {"on_open_match_finder", UiEvent::OpenMatchFinder},
    {"on_open_loading_match", UiEvent::OpenLoadingMatch},
    {"on_open_buy_loadout", UiEvent::OpenBuyLoadout},
    {"on_open_view_loadouts", UiEvent::OpenViewLoadouts},
    {"on_open_edit_loadout", UiEvent::OpenEditLoadout},
    {"on_open_ship_editor", UiEvent::OpenShipEditor},
    {"on_open_mount_editor", UiEvent::OpenMountEditor},
    {"on_open_projectile_editor", UiEvent::OpenProjectileEditor},
    {"on_open_server_browser", UiEvent::OpenServerBrowser},
    {"on_open_server_lobby", UiEvent::OpenServerLobby},
}};

}  // namespace

void Page::initialize(Rml::Context* context) {
    // The page keeps no handle: its callbacks mark nothing dirty.
    Rml::DataModelHandle unused_handle;
    document = EditorSupport::load_page(
        context, "admin_menu", document_path, unused_handle,
        [this](Rml::DataModelConstructor& constructor) {
            for (const Request& request : requests) {
                constructor.BindEventCallback(
                    request.callback,
                    [this, request](Rml::DataModelHandle, Rml::Event&, const Rml::VariantList&) {
                        SPDLOG_INFO("admin_menu: {}", request.callback);
                        ui_events.push_back(request.event);
                    });
            }
        });
}

void Page::show() { EditorSupport::show_document(document); }

void Page::hide() { EditorSupport::hide_document(document); }

std::vector<UiEvent> Page::drain_ui_events() {
    std::vector<UiEvent> drained;
    drained.swap(ui_events);
    return drained;
}

}  // namespace UI::AdminMenu
