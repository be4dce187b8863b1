// Renders each editor over a stand-in game frame into build/snapshots for a look by eye:
// build/tests/client_tests --gtest_also_run_disabled_tests --gtest_filter='EditorPagesLook.*'
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"

namespace {

class EditorPagesLook : public ui_test::UiFixture {
protected:
    // In the checkout's build folder, not the scratch one.
    std::string snapshot(const std::string& name) const {
        const auto folder = scratch.checkout() / "build/snapshots";
        std::filesystem::create_directories(folder);
        return (folder / name).string();
    }

    // A dim grid so that the panel's translucency shows.
    void render_over_game() {
        window.clear();
        SDL_SetRenderDrawColor(window.renderer, 30, 60, 40, 255);
        for (float x = 0; x < 1280; x += 40) SDL_RenderLine(window.renderer, x, 0, x, 720);
        for (float y = 0; y < 720; y += 40) SDL_RenderLine(window.renderer, 0, y, 1280, y);
        context->Update();
        context->Render();
    }
};

TEST_F(EditorPagesLook, DISABLED_ShipEditor) {
    UI::ShipEditor::Page page;
    open_page(page, load_ship_configs());
    // Battleship Two with three slots more than its eight: the rows scroll.
    page.select_ship(11);
    for (int added = 0; added < 3; ++added) page.add_mount();
    page.vm.selected_mount_idx = 2;
    page.vm.status = "Not saved: range of slot 3 is not a number";
    page.vm.status_failed = true;
    page.data_model_handle.DirtyAllVariables();
    render_over_game();
    EXPECT_TRUE(save_png(snapshot("voidlance_ship_editor.png")));
    click(page.document->GetElementById("mount-type"));
    render_over_game();
    EXPECT_TRUE(save_png(snapshot("voidlance_ship_editor_open.png")));
}

TEST_F(EditorPagesLook, DISABLED_MountEditor) {
    UI::MountEditor::Page page;
    open_page(page, load_mount_configs());
    page.vm.status = "Saved Small One";
    page.data_model_handle.DirtyVariable("vm");
    render_over_game();
    EXPECT_TRUE(save_png(snapshot("voidlance_mount_editor.png")));
    click(page.document->GetElementById("projectile-type"));
    render_over_game();
    EXPECT_TRUE(save_png(snapshot("voidlance_mount_editor_open.png")));
}

TEST_F(EditorPagesLook, DISABLED_ProjectileEditor) {
    UI::ProjectileEditor::Page page;
    open_page(page, load_projectile_configs());
    render_over_game();
    EXPECT_TRUE(save_png(snapshot("voidlance_projectile_editor.png")));
}

}  // namespace
