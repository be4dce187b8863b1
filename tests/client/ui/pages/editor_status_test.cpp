#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "client/ui/pages/editor_support/editor_support.h"
#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"

// The status line of each editor: a row of its own under the header, drawn
// in the error colour when it tells of a refusal or a failed save.
namespace {

using testing::StartsWith;
using ui_test::text_of;

class EditorStatusLine : public ui_test::UiFixture {
protected:
    // Refuses a save with a long reason, then shows each outcome a saver can have.
    template <typename Page, typename Configs, typename Refuse>
    void check(Page& page, const Configs& configs, const std::string& name, Refuse refuse) {
        open_page(page, configs);
        Rml::Element* save = page.document->GetElementById("save");
        Rml::Element* status = page.document->GetElementById("status");
        const float save_height = save->GetOffsetHeight();
        refuse();
        page.data_model_handle.DirtyVariable("vm");
        render_frame();
        EXPECT_THAT(text_of(status), StartsWith("Not saved: "));
        EXPECT_EQ(save->GetOffsetHeight(), save_height);
        EXPECT_GE(status->GetAbsoluteTop(), save->GetAbsoluteTop() + save_height);
        EXPECT_TRUE(status->IsClassSet("failed"));

        const struct {
            SavedCopies saved;
            std::string text;
            bool failed;
        } outcomes[] = {
            {{true, true}, "Saved " + name, false},
            {{false, false}, "Could not save " + name + "; see the log", true},
            {{true, false}, "Saved " + name + " to src/assets only; build/assets keeps the old file", true},
        };
        for (const auto& outcome : outcomes) {
            UI::EditorSupport::show_saved(page.vm, name, outcome.saved);
            page.data_model_handle.DirtyVariable("vm");
            render_frame();
            EXPECT_EQ(text_of(status), outcome.text);
            EXPECT_EQ(status->IsClassSet("failed"), outcome.failed) << outcome.text;
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
        EXPECT_EQ(mount.vm.status, "Not saved: Cooldown (seconds) is too large; it must be at least 0 and at most 3600");
    });
    UI::ProjectileEditor::Page projectile;
    check(projectile, load_projectile_configs(), "Small One", [&] {
        projectile.vm.speed = "-" + std::string(400, '9');
        projectile.save_projectile();
        EXPECT_EQ(projectile.vm.status, "Not saved: Speed is too small; it must be at least 0 and at most 100000");
    });
}

}  // namespace
