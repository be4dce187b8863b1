#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

#include "client/ui/pages/editor_support/editor_support.h"
#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"

// Each editor's status line: a row of its own under the header, which keeps
// its one line, and the error colour for a refusal or a failed save only.
namespace {

class EditorStatusLine : public ui_test::UiFixture {
protected:
    // `refuse` makes the page refuse a save with a long reason.
    template <typename Page, typename Configs>
    void check(Page& page, const Configs& configs, const std::string& name,
               const std::function<void()>& refuse) {
        open_page(page, configs);
        Rml::Element* save = page.document->GetElementById("save");
        Rml::Element* status = page.document->GetElementById("status");
        const float save_height = save->GetOffsetHeight();
        refuse();
        page.data_model_handle.DirtyVariable("vm");
        render_frame();
        EXPECT_THAT(ui_test::text_of(status), testing::StartsWith("Not saved: "));
        EXPECT_EQ(save->GetOffsetHeight(), save_height);
        EXPECT_GE(status->GetAbsoluteTop(), save->GetAbsoluteTop() + save_height);
        EXPECT_TRUE(status->IsClassSet("failed"));
        for (const auto& [saved, text, failed] :
             {std::tuple{SavedCopies{true, true}, "Saved " + name, false},
              std::tuple{SavedCopies{}, "Could not save " + name + "; see the log", true},
              std::tuple{SavedCopies{true, false},
                         "Saved " + name + " to src/assets only; build/assets keeps the old file", true}}) {
            UI::EditorSupport::show_saved(page.vm, name, saved);
            page.data_model_handle.DirtyVariable("vm");
            render_frame();
            EXPECT_EQ(ui_test::text_of(status), text);
            EXPECT_EQ(status->IsClassSet("failed"), failed) << text;
        }
    }
};

TEST_F(EditorStatusLine, HasARowOfItsOwnAndTheErrorColourForFailures) {
    UI::ShipEditor::Page ship;
    check(ship, load_ship_configs(), "Frigate One", [&] {
        ship.vm.mount_rot_neut[0] = "1e39";
        ship.save_ship();
        EXPECT_EQ(ship.vm.status,
                  "Not saved: neutral angle of slot 1 is too large; it must be a number a float can hold");
    });
    UI::MountEditor::Page mount;
    check(mount, load_mount_configs(), "Small One", [&] {
        mount.vm.cooldown = "1e400";
        mount.save_mount();
        EXPECT_EQ(mount.vm.status,
                  "Not saved: Cooldown (seconds) is too large; it must be at least 0 and at most 3600");
    });
    UI::ProjectileEditor::Page projectile;
    check(projectile, load_projectile_configs(), "Small One", [&] {
        projectile.vm.speed = "-" + std::string(400, '9');
        projectile.save_projectile();
        EXPECT_EQ(projectile.vm.status, "Not saved: Speed is too small; it must be at least 0 and at most 100000");
    });
}

}  // namespace
