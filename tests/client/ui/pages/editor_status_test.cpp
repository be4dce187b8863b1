#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "client/ui/pages/editor_support/editor_support.h"
#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"

// Each editor's status line: a row of its own under the header, which keeps
// its one line, and the error colour for a refusal or a failed save only.
// The saves are real, through the page's Save button, in the fixture's
// scratch copy of the assets.
namespace {

// Told by hue, not by exact colour: red for a failure, green for a save.
bool in_error_colour(Rml::Element* status) {
    const Rml::Colourb colour = status->GetComputedValues().color;
    return colour.red > colour.green;
}
bool in_saved_colour(Rml::Element* status) {
    const Rml::Colourb colour = status->GetComputedValues().color;
    return colour.green > colour.red;
}

class EditorStatusLine : public ui_test::UiFixture {
protected:
    // `refuse` gives a field a text the page refuses with a long `refusal`, `mend` a text it saves.
    template <typename Page, typename Configs>
    void check(Page& page, const Configs& configs, const std::string& name, const std::string& build_copy,
               const std::string& refusal, const std::function<void()>& refuse, const std::function<void()>& mend) {
        open_page(page, configs);
        Rml::Element* save = page.document->GetElementById("save");
        Rml::Element* status = page.document->GetElementById("status");
        const float save_height = save->GetOffsetHeight();
        const auto press_save = [&] {
            click(save);
            render_frame();
        };

        refuse();
        press_save();
        EXPECT_EQ(ui_test::text_of(status), refusal);
        EXPECT_EQ(save->GetOffsetHeight(), save_height);
        EXPECT_GE(status->GetAbsoluteTop(), save->GetAbsoluteTop() + save_height);
        EXPECT_TRUE(in_error_colour(status)) << name;

        mend();
        press_save();
        EXPECT_EQ(ui_test::text_of(status), "Saved " + name);
        EXPECT_TRUE(in_saved_colour(status)) << name;

        // A directory in the build copy's place cannot be opened for writing: neither copy changes.
        std::filesystem::remove(scratch.path() / build_copy);
        std::filesystem::create_directories(scratch.path() / build_copy / "occupied");
        press_save();
        EXPECT_EQ(ui_test::text_of(status), "Could not save " + name + "; see the log");
        EXPECT_TRUE(in_error_colour(status)) << name;

        // Only when putting the source copy back fails too; the savers' own tests make that happen.
        UI::EditorSupport::show_saved(page.vm, name, SavedCopies{true, false});
        page.data_model_handle.DirtyVariable("vm");
        render_frame();
        EXPECT_EQ(ui_test::text_of(status),
                  "Saved " + name + " to src/assets only; build/assets keeps the old file");
        EXPECT_TRUE(in_error_colour(status)) << name;
    }
};

TEST_F(EditorStatusLine, HasARowOfItsOwnAndTheErrorColourForFailures) {
    UI::ShipEditor::Page ship;
    check(ship, load_ship_configs(), "Frigate One", "build/assets/ships/frigate_one/frigate_one.json",
          "Not saved: neutral angle of slot 1 is too large; it must be a number a float can hold",
          [&] { ship.vm.mount_rot_neut[0] = "1e39"; }, [&] { ship.vm.mount_rot_neut[0] = "1"; });
    UI::MountEditor::Page mount;
    check(mount, load_mount_configs(), "Small One", "build/assets/mounts/mount_small_one/mount_small_one.json",
          "Not saved: Cooldown (seconds) is too large; it must be at least 0 and at most 3600",
          [&] { mount.vm.cooldown = "1e400"; }, [&] { mount.vm.cooldown = "2"; });
    UI::ProjectileEditor::Page projectile;
    check(projectile, load_projectile_configs(), "Small One",
          "build/assets/projectiles/projectile_small_one/projectile_small_one.json",
          "Not saved: Speed is too small; it must be at least 0 and at most 100000",
          [&] { projectile.vm.speed = "-" + std::string(400, '9'); }, [&] { projectile.vm.speed = "900"; });
}

}  // namespace
