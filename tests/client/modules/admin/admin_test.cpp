#include "client/modules/admin/admin.h"

#include <gtest/gtest.h>

#include <vector>

#include "client/modules/capture_the_flag/capture_the_flag.h"
#include "client/network/network.h"
#include "client/ui/support/ui_support.h"
#include "core/store/store.h"

namespace {

using client_test::key_event;
using ui_test::shown;

class AdminModuleTest : public ui_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        engine = std::make_unique<Engine>(config);
        admin = std::make_unique<Client::AdminModule>(engine.get(), manager.get(), screen.window);
        draw_frame();
    }

    void TearDown() override {
        admin.reset();
        ManagerTest::TearDown();
    }

    void press_escape() { admin->tick({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE)}); }
    void release_escape() { admin->tick({key_event(SDL_EVENT_KEY_UP, SDLK_ESCAPE)}); }
    void tap_escape() {
        press_escape();
        release_escape();
    }

    // A click on one of the menu's buttons, then the module's tick that drains it.
    void request(const char* button_id) {
        draw_frame();
        click(element(manager->admin_menu.document, button_id));
        admin->tick({});
    }

    bool menu_visible() const {
        const bool flag = admin->ui_state.is_admin_menu_visible;
        EXPECT_EQ(flag, shown(manager->admin_menu.document)) << "flag and page disagree";
        return flag;
    }

    std::unique_ptr<Engine> engine;
    std::unique_ptr<Client::AdminModule> admin;
};

TEST_F(AdminModuleTest, RegistersOneTickAndOneRenderAndShowsTheMenu) {
    EXPECT_EQ(engine->on_tick_callbacks.size(), 1u);
    EXPECT_EQ(engine->on_render_callbacks.size(), 1u);
    EXPECT_TRUE(engine->on_fixed_tick_callbacks.empty());
    EXPECT_TRUE(engine->on_net_send_callbacks.empty());
    EXPECT_TRUE(menu_visible());
    EXPECT_FALSE(shown(manager->login.document));
}

TEST_F(AdminModuleTest, EscapeTogglesTheMenuOnEachPress) {
    tap_escape();
    EXPECT_FALSE(menu_visible());
    tap_escape();
    EXPECT_TRUE(menu_visible());
}

TEST_F(AdminModuleTest, EngineTickCallbackReadsTheFramesEvents) {
    std::vector<SDL_Event> events = {key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE)};
    engine->on_tick_callbacks.begin()->second(events);
    EXPECT_FALSE(menu_visible());
    // The engine's buffer is the module's to read, not to change.
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(AdminModuleTest, HeldEscapeTogglesOnce) {
    admin->tick({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE),
                 key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE, true)});
    admin->tick({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE, true)});
    EXPECT_FALSE(menu_visible());
    // The release is no press.
    release_escape();
    EXPECT_FALSE(menu_visible());
}

TEST_F(AdminModuleTest, TwoPressesInOneTickToggleTwice) {
    admin->tick({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE),
                 key_event(SDL_EVENT_KEY_UP, SDLK_ESCAPE),
                 key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE)});
    EXPECT_TRUE(menu_visible());
}

TEST_F(AdminModuleTest, CloseHidesTheMenuAndAgainWhileHiddenChangesNothing) {
    request("close");
    EXPECT_FALSE(menu_visible());
    // A Close left in the queue while the menu is hidden keeps it hidden.
    manager->show_view(RmlView::admin_menu);
    draw_frame();
    click(element(manager->admin_menu.document, "close"));
    manager->hide_view(RmlView::admin_menu);
    admin->tick({});
    EXPECT_FALSE(menu_visible());
    tap_escape();
    EXPECT_TRUE(menu_visible());
}

TEST_F(AdminModuleTest, EachEditorRequestShowsItsEditorInTheMenusPlace) {
    const std::vector<std::pair<const char*, const Rml::ElementDocument*>> editors = {
        {"open-ship-editor", manager->ship_editor.document},
        {"open-mount-editor", manager->mount_editor.document},
        {"open-projectile-editor", manager->projectile_editor.document}};
    for (const auto& [button, editor] : editors) {
        request(button);
        EXPECT_FALSE(menu_visible()) << button;
        EXPECT_TRUE(shown(editor)) << button;
        // Escape hides every editor and brings the menu back.
        tap_escape();
        EXPECT_TRUE(menu_visible()) << button;
        EXPECT_FALSE(shown(editor)) << button;
    }
}

TEST_F(AdminModuleTest, EscapeHidingTheMenuLeavesAnOpenEditorOpen) {
    manager->show_view(RmlView::mount_editor);
    tap_escape();
    EXPECT_FALSE(menu_visible());
    EXPECT_TRUE(shown(manager->mount_editor.document));
    tap_escape();
    EXPECT_TRUE(menu_visible());
    EXPECT_FALSE(shown(manager->mount_editor.document));
}

TEST_F(AdminModuleTest, MatchFlowRequestsChangeNothing) {
    for (const char* id : {"open-login", "open-match-finder", "open-loading-match",
                           "open-buy-loadout", "open-view-loadouts", "open-edit-loadout",
                           "open-server-browser", "open-server-lobby"}) {
        request(id);
        EXPECT_TRUE(menu_visible()) << id;
    }
    EXPECT_FALSE(shown(manager->login.document));
    EXPECT_FALSE(shown(manager->buy_loadout.document));
    EXPECT_FALSE(shown(manager->view_loadouts.document));
    EXPECT_FALSE(shown(manager->edit_loadout.document));
    EXPECT_FALSE(shown(manager->match_finder.document));
    EXPECT_FALSE(shown(manager->loading_match.document));
    EXPECT_FALSE(shown(manager->server_browser.document));
    EXPECT_FALSE(shown(manager->server_lobby.document));
}

// The escape edges of a tick come before its drained requests.
TEST_F(AdminModuleTest, EscapeOfATickActsBeforeItsRequests) {
    draw_frame();
    click(element(manager->admin_menu.document, "close"));
    // Escape hides the menu, then Close keeps it hidden; the other order would show it.
    admin->tick({key_event(SDL_EVENT_KEY_DOWN, SDLK_ESCAPE)});
    EXPECT_FALSE(menu_visible());
}

// The capture-the-flag module hands every event to the interface; this module
// does not, so a click or F8 that reaches the module alone does nothing there.
TEST_F(AdminModuleTest, ReadsItsInputWithoutHandingEventsToTheInterface) {
    const bool debugger_before = Rml::Debugger::IsVisible();
    const SDL_FPoint at = ui_test::centre_of(element(manager->admin_menu.document, "close"));
    admin->tick({ui_test::mouse_motion(at.x, at.y),
                 ui_test::mouse_button(SDL_EVENT_MOUSE_BUTTON_DOWN, at.x, at.y),
                 ui_test::mouse_button(SDL_EVENT_MOUSE_BUTTON_UP, at.x, at.y),
                 key_event(SDL_EVENT_KEY_DOWN, SDLK_F8)});
    EXPECT_TRUE(menu_visible());
    EXPECT_EQ(Rml::Debugger::IsVisible(), debugger_before);
    EXPECT_TRUE(manager->drain_ui_events().empty());
}

// Both client modules read every tick's events; only the capture-the-flag
// module forwards them, so one F8 press is one toggle and one click one request.
TEST_F(AdminModuleTest, BesideTheGameModuleEachEventReachesTheInterfaceOnce) {
    Client::Network network;
    Store store;
    Client::CaptureTheFlagModule game(&config, engine.get(), &network, screen.window,
                                      screen.renderer, manager.get(), &store);
    const bool debugger_before = Rml::Debugger::IsVisible();
    const SDL_FPoint at = ui_test::centre_of(element(manager->admin_menu.document, "open-login"));
    std::vector<SDL_Event> events = {
        ui_test::mouse_motion(at.x, at.y),
        ui_test::mouse_button(SDL_EVENT_MOUSE_BUTTON_DOWN, at.x, at.y),
        ui_test::mouse_button(SDL_EVENT_MOUSE_BUTTON_UP, at.x, at.y),
        key_event(SDL_EVENT_KEY_DOWN, SDLK_F8)};
    ASSERT_EQ(engine->on_tick_callbacks.size(), 2u);
    for (auto& [handle, tick] : engine->on_tick_callbacks) {
        tick(events);
    }
    EXPECT_EQ(Rml::Debugger::IsVisible(), !debugger_before);
    EXPECT_EQ(log.count("admin_menu: on_open_login"), 1);
    Rml::Debugger::SetVisible(debugger_before);
}

}  // namespace
