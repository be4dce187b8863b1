#include "client/ui/pages/admin_menu/admin_menu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/ui/support/ui_support.h"

namespace {

using spdlog::level::info;

struct MenuButton {
    const char* id;
    const char* log_text;
    UiEvent request;
};

const std::vector<MenuButton> menu_buttons = {
    {"close", "admin_menu: on_close", UiEvent::Close},
    {"open-login", "admin_menu: on_open_login", UiEvent::OpenLogin},
    {"open-match-finder", "admin_menu: on_open_match_finder", UiEvent::OpenMatchFinder},
    {"open-loading-match", "admin_menu: on_open_loading_match", UiEvent::OpenLoadingMatch},
    {"open-buy-loadout", "admin_menu: on_open_buy_loadout", UiEvent::OpenBuyLoadout},
    {"open-view-loadouts", "admin_menu: on_open_view_loadouts", UiEvent::OpenViewLoadouts},
    {"open-edit-loadout", "admin_menu: on_open_edit_loadout", UiEvent::OpenEditLoadout},
    {"open-ship-editor", "admin_menu: on_open_ship_editor", UiEvent::OpenShipEditor},
    {"open-mount-editor", "admin_menu: on_open_mount_editor", UiEvent::OpenMountEditor},
    {"open-projectile-editor", "admin_menu: on_open_projectile_editor",
     UiEvent::OpenProjectileEditor},
    {"open-server-browser", "admin_menu: on_open_server_browser", UiEvent::OpenServerBrowser},
    {"open-server-lobby", "admin_menu: on_open_server_lobby", UiEvent::OpenServerLobby},
};

class AdminMenuTest : public ui_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        manager->show_view(RmlView::admin_menu);
        draw_frame();
    }

    void click_button(const char* id) { click(element(manager->admin_menu.document, id)); }
};

TEST_F(AdminMenuTest, EveryButtonLogsAndQueuesItsRequestInClickOrder) {
    std::vector<UiEvent> expected;
    // Backwards, so that click order differs from the order of the requests' numbers.
    for (auto button = menu_buttons.rbegin(); button != menu_buttons.rend(); ++button) {
        click_button(button->id);
        expected.push_back(button->request);
        EXPECT_EQ(log.count(info, button->log_text), 1) << button->id;
    }
    EXPECT_EQ(manager->drain_ui_events(), expected);
    EXPECT_TRUE(manager->drain_ui_events().empty());
}

TEST_F(AdminMenuTest, TwoClicksOnOneButtonQueueTwoEqualRequests) {
    click_button("open-login");
    click_button("open-ship-editor");
    click_button("open-login");
    EXPECT_EQ(manager->drain_ui_events(),
              (std::vector<UiEvent>{UiEvent::OpenLogin, UiEvent::OpenShipEditor,
                                    UiEvent::OpenLogin}));
}

TEST_F(AdminMenuTest, AHiddenMenuTakesNoClicks) {
    const SDL_FPoint at = ui_test::centre_of(element(manager->admin_menu.document, "close"));
    manager->hide_view(RmlView::admin_menu);
    draw_frame();
    click_at(at);
    EXPECT_TRUE(manager->drain_ui_events().empty());
}

// A context that already holds the model refuses it: no callbacks, no document.
TEST_F(AdminMenuTest, ARefusedModelLeavesThePageWithoutDocument) {
    UI::AdminMenu::Page page;
    page.initialize(manager->context);
    EXPECT_EQ(page.document, nullptr);
    page.show();
    page.hide();
    EXPECT_TRUE(page.drain_ui_events().empty());
}

}  // namespace
