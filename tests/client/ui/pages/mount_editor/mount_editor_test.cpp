#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "client/ui/pages/mount_editor/mount_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "core/projectile_type/projectile_type.h"
#include "support/log_capture.h"

namespace {

using ui_test::shown_with_class;
using ui_test::six_decimals;
using ui_test::text_of;

class MountEditorPage : public ui_test::UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        configs = load_mount_configs();
        open_page(page, configs);
    }

    const MountConfig& mount(int index) { return configs.at(ordered_mount_types[static_cast<std::size_t>(index)]); }
    std::string display_value() { return function_value("mount_editor", "get_selected_projectile_type_display_value"); }

    test_support::LogCapture log;
    std::unordered_map<MountType, MountConfig> configs;
    UI::MountEditor::Page page;
};

TEST_F(MountEditorPage, StartsOnSmallOneWithItsProjectileTypeAndNumbers) {
    EXPECT_EQ(page.vm.mount_name.size(), 9u);
    EXPECT_EQ(page.vm.mount_name[0], "Small One");
    EXPECT_EQ(page.vm.projectile_types.size(), 9u);
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_EQ(page.vm.mount_image, "../../../../" + mount(0).image_path);
    EXPECT_EQ(page.vm.projectile_type, static_cast<int>(mount(0).projectile_type));
    EXPECT_EQ(display_value(), to_string(static_cast<ProjectileType>(mount(0).projectile_type)));
    EXPECT_FALSE(display_value().empty());
    EXPECT_EQ(page.vm.cooldown, six_decimals(mount(0).cooldown));
    EXPECT_EQ(page.vm.scale, six_decimals(mount(0).scale));
    EXPECT_EQ(page.vm.ang_vel, six_decimals(mount(0).rot_ang_vel));
    EXPECT_EQ(text_of(page.document->GetElementById("projectile-type")->GetChild(0)), display_value());
}

TEST_F(MountEditorPage, AProjectileTypeChangeStoresTheNumberAsGiven) {
    fire("mount_editor", "on_projectile_type_change", "3101");
    EXPECT_EQ(page.vm.projectile_type, 3101);
    EXPECT_TRUE(log.contains(spdlog::level::info, "Selected projectile type: 3101"));
    EXPECT_EQ(display_value(), "Medium Two");
    fire("mount_editor", "on_projectile_type_change", "4");
    EXPECT_EQ(page.vm.projectile_type, 4);
    EXPECT_EQ(display_value(), "");
    fire("mount_editor", "on_projectile_type_change", "heavy");
    EXPECT_EQ(page.vm.projectile_type, 4);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "on_projectile_type_change: value 'heavy' is not a number; ignored"));
}

TEST_F(MountEditorPage, TheDocumentsOptionsCarryProjectileTypeNumbers) {
    Rml::Element* select = page.document->GetElementById("projectile-type");
    click(select->GetChild(0));
    render_frame();
    const auto options = shown_with_class(page.document, "field-select-option");
    ASSERT_EQ(options.size(), 9u);
    for (std::size_t i = 0; i < options.size(); ++i) {
        click(options[i]);
        EXPECT_EQ(page.vm.projectile_type, static_cast<int>(ordered_projectile_types[i]));
        click(select->GetChild(0));
    }
    render_frame();
    EXPECT_EQ(text_of(select->GetChild(0)), "Large Three");
    EXPECT_TRUE(options[8]->IsClassSet("selected"));
    EXPECT_FALSE(options[0]->IsClassSet("selected"));
}

TEST_F(MountEditorPage, SelectingAMountInTheListShowsIt) {
    click(shown_with_class(page.document, "list-entry").at(4));
    render_frame();
    EXPECT_EQ(page.vm.selected_mount_idx, 4);
    EXPECT_EQ(page.vm.mount_image, "../../../../" + mount(4).image_path);
    EXPECT_EQ(page.vm.cooldown, six_decimals(mount(4).cooldown));
    EXPECT_EQ(text_of(page.document->GetElementById("projectile-type")->GetChild(0)), display_value());
    fire("mount_editor", "on_select_mount", "", {Rml::Variant(9)});
    fire("mount_editor", "on_select_mount", "", {});
    EXPECT_EQ(page.vm.selected_mount_idx, 4);
}

TEST_F(MountEditorPage, SavingACooldownWritesBothCopiesAndLeavesTheGameAlone) {
    int index = 0;
    while (index < 9 && mount(index).cooldown == 0.25f) ++index;
    ASSERT_LT(index, 9);
    const std::string file = mount(index).build_path.substr(std::string("build/assets/").size());
    ui_test::ScopedAssetTree tree({file});
    page.select_mount(index);
    render_frame();
    Rml::Element* input = page.document->GetElementById("cooldown")->GetChild(0);
    input->DispatchEvent("change", {{"value", Rml::Variant("0.25")}});
    click(page.document->GetElementById("save"));
    const std::string source = tree.read("src/assets/" + file);
    EXPECT_EQ(source, tree.read("build/assets/" + file));
    const nlohmann::json saved = nlohmann::json::parse(source);
    EXPECT_EQ(saved["cooldown"], 0.25);
    EXPECT_EQ(saved["projectile_type"], mount(index).projectile_type);
    EXPECT_NE(configs.at(ordered_mount_types[static_cast<std::size_t>(index)]).cooldown, 0.25f);
    EXPECT_EQ(page.vm.status, "Saved " + ordered_mount_type_names[static_cast<std::size_t>(index)]);
    page.select_mount(0);
    page.select_mount(index);
    EXPECT_EQ(page.vm.cooldown, "0.250000");
}

TEST_F(MountEditorPage, ASaveWithATextThatIsNotANumberChangesNothing) {
    const std::string file = "mounts/mount_small_one/mount_small_one.json";
    ui_test::ScopedAssetTree tree({file});
    const std::string before = tree.read("src/assets/" + file);
    page.vm.cooldown = "2";
    page.vm.projectile_type = 3202;
    page.vm.ang_vel = "quick";
    page.save_mount();
    EXPECT_EQ(page.vm.status, "Not saved: Turn speed is not a number");
    EXPECT_EQ(tree.read("src/assets/" + file), before);
    EXPECT_EQ(tree.read("build/assets/" + file), before);
    EXPECT_EQ(page.ordered_mount_configs[0].cooldown, mount(0).cooldown);
    EXPECT_EQ(page.ordered_mount_configs[0].projectile_type, mount(0).projectile_type);

    for (const auto& [field, text, status] :
         {std::tuple{&UI::MountEditor::ViewModel::cooldown, "3601",
                     "Not saved: Cooldown (seconds) must be at least 0 and at most 3600"},
          std::tuple{&UI::MountEditor::ViewModel::scale, "1e-45",
                     "Not saved: Scale must be at least 0.01 and at most 16"},
          std::tuple{&UI::MountEditor::ViewModel::ang_vel, "-1",
                     "Not saved: Turn speed must be at least 0 and at most 1000"}}) {
        page.select_mount(0);
        page.vm.*field = text;
        page.save_mount();
        EXPECT_EQ(page.vm.status, status);
    }
    // An option value that names no projectile type would stop the next start.
    page.select_mount(0);
    page.vm.projectile_type = 4;
    page.save_mount();
    EXPECT_EQ(page.vm.status, "Not saved: Projectile type must be one of the listed types");
    EXPECT_EQ(tree.read("src/assets/" + file), before);
    EXPECT_EQ(tree.read("build/assets/" + file), before);
    EXPECT_EQ(nlohmann::json(page.ordered_mount_configs[0]), nlohmann::json(mount(0)));
}

TEST_F(MountEditorPage, SavingWithoutChangesKeepsEveryFilesBytes) {
    test_support::AssetTree tree;
    for (int i = 0; i < 9; ++i) {
        page.select_mount(i);
        const std::string before = test_support::read_file(mount(i).build_path);
        page.save_mount();
        EXPECT_EQ(test_support::read_file(mount(i).src_path), before) << mount(i).src_path;
        EXPECT_EQ(test_support::read_file(mount(i).build_path), before) << mount(i).build_path;
    }
    // A value that six decimals cannot show is kept whole too.
    page.ordered_mount_configs[0].rot_ang_vel = 0.12345678f;
    page.select_mount(0);
    page.save_mount();
    EXPECT_EQ(nlohmann::json::parse(test_support::read_file(mount(0).build_path))["rot_ang_vel"], 0.12345678f);
}

TEST_F(MountEditorPage, ASaveThatCouldNotWriteItsFilesSaysSo) {
    const std::string file = "mounts/mount_small_one/mount_small_one.json";
    ui_test::ScopedAssetTree tree({file});
    // A directory where the build copy should be cannot be opened for writing.
    std::filesystem::remove(tree.root() / "build/assets" / file);
    std::filesystem::create_directories(tree.root() / "build/assets" / file / "occupied");
    page.vm.cooldown = "2";
    page.save_mount();
    EXPECT_EQ(page.vm.status, "Could not save Small One; see the log");
}

TEST_F(MountEditorPage, ShowAndHideActOnlyOnALoadedDocument) {
    EXPECT_TRUE(page.document->IsShown());
    page.hide();
    EXPECT_FALSE(page.document->IsShown());
    UI::MountEditor::Page refused;
    refused.initialize(context, configs);
    EXPECT_EQ(refused.document, nullptr);
    refused.show();
    refused.hide();
}

}  // namespace
