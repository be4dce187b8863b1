#include <gtest/gtest.h>

#include <string>

#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"
#include "support/file_limits_linux.h"

// Each editor under a file-size limit, which only Linux has: a write that
// stops part-way on an existing file must not be reported as saved.
namespace {

class EditorsUnderAFileSizeLimit : public ui_test::UiFixture {
protected:
    // Saves with files limited to 16 bytes; checks the page's word and that
    // both copies kept their bytes.
    template <typename Save>
    void expect_refused_save(const std::string& file, const std::string& name, Save save, const std::string& status) {
        ui_test::ScopedAssetTree tree({file});
        const std::string before = tree.read("build/assets/" + file);
        {
            test_support::FileSizeLimit limit(16);
            save();
        }
        EXPECT_EQ(status, "Could not save " + name + "; see the log");
        EXPECT_EQ(tree.read("src/assets/" + file), before);
        EXPECT_EQ(tree.read("build/assets/" + file), before);
    }
};

TEST_F(EditorsUnderAFileSizeLimit, SayTheyCouldNotSave) {
    const auto ship_configs = load_ship_configs();
    UI::ShipEditor::Page ship;
    open_page(ship, ship_configs);
    ship.vm.max_speed = "300";
    expect_refused_save("ships/frigate_one/frigate_one.json", "Frigate One", [&] { ship.save_ship(); }, ship.vm.status);

    const auto mount_configs = load_mount_configs();
    UI::MountEditor::Page mount;
    open_page(mount, mount_configs);
    mount.vm.cooldown = "2";
    expect_refused_save("mounts/mount_small_one/mount_small_one.json", "Small One", [&] { mount.save_mount(); },
                        mount.vm.status);

    const auto projectile_configs = load_projectile_configs();
    UI::ProjectileEditor::Page projectile;
    open_page(projectile, projectile_configs);
    projectile.vm.speed = "900";
    expect_refused_save("projectiles/projectile_small_one/projectile_small_one.json", "Small One",
                        [&] { projectile.save_projectile(); }, projectile.vm.status);
}

}  // namespace
