#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "client/ui/pages/projectile_editor/projectile_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "support/log_capture.h"

namespace {

using ui_test::shown_with_class;
using ui_test::six_decimals;

class ProjectileEditorPage : public ui_test::UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        configs = load_projectile_configs();
        open_page(page, configs);
    }

    const ProjectileConfig& projectile(int index) {
        return configs.at(ordered_projectile_types[static_cast<std::size_t>(index)]);
    }

    test_support::LogCapture log;
    std::unordered_map<ProjectileType, ProjectileConfig> configs;
    UI::ProjectileEditor::Page page;
};

TEST_F(ProjectileEditorPage, StartsOnTheFirstProjectileWithItsNumbersAsText) {
    EXPECT_EQ(page.vm.projectile_name.size(), 9u);
    EXPECT_EQ(page.vm.projectile_name[8], "Large Three");
    EXPECT_EQ(page.vm.selected_projectile_idx, 0);
    EXPECT_EQ(page.vm.projectile_image, "../../../../" + projectile(0).image_path);
    EXPECT_EQ(page.vm.scale, six_decimals(projectile(0).scale));
    EXPECT_EQ(page.vm.speed, six_decimals(projectile(0).speed));
    EXPECT_EQ(page.document->GetElementById("speed")->GetChild(0)->GetAttribute<std::string>("value", ""),
              page.vm.speed);
}

TEST_F(ProjectileEditorPage, SelectingLargeThreeShowsItsImageAndNumbers) {
    click(shown_with_class(page.document, "list-entry").at(8));
    render_frame();
    EXPECT_EQ(page.vm.selected_projectile_idx, 8);
    EXPECT_EQ(page.vm.projectile_image, "../../../../" + projectile(8).image_path);
    EXPECT_EQ(page.vm.scale, six_decimals(projectile(8).scale));
    EXPECT_EQ(page.vm.speed, six_decimals(projectile(8).speed));
    EXPECT_EQ(page.document->GetElementById("projectile-image")->GetAttribute<std::string>("src", ""),
              page.vm.projectile_image);
    fire("projectile_editor", "on_select_projectile", "", {Rml::Variant(9)});
    fire("projectile_editor", "on_select_projectile", "", {Rml::Variant(-1)});
    EXPECT_EQ(page.vm.selected_projectile_idx, 8);
}

TEST_F(ProjectileEditorPage, SavingASpeedWritesBothCopiesAndLeavesTheGameAlone) {
    const std::string file = "projectiles/projectile_small_one/projectile_small_one.json";
    ui_test::ScopedAssetTree tree({file});
    page.document->GetElementById("speed")->GetChild(0)->DispatchEvent("change", {{"value", Rml::Variant("900")}});
    click(page.document->GetElementById("save"));
    const std::string source = tree.read("src/assets/" + file);
    EXPECT_EQ(source, tree.read("build/assets/" + file));
    EXPECT_NE(source.find("\"speed\": 900.0"), std::string::npos) << source;
    EXPECT_EQ(nlohmann::json::parse(source)["scale"], projectile(0).scale);
    EXPECT_EQ(configs.at(ProjectileType::SmallOne).speed, projectile(0).speed);
    EXPECT_NE(projectile(0).speed, 900.0f);
    EXPECT_EQ(page.ordered_projectile_configs[0].speed, 900.0f);
    EXPECT_TRUE(log.contains(spdlog::level::info, "save_projectile_config: wrote 'build/assets/" + file + "'"));
    EXPECT_EQ(page.vm.status, "Saved Small One");
}

TEST_F(ProjectileEditorPage, ASaveWithASpeedThatIsNotANumberKeepsTheScaleToo) {
    const std::string file = "projectiles/projectile_small_one/projectile_small_one.json";
    ui_test::ScopedAssetTree tree({file});
    const std::string before = tree.read("build/assets/" + file);
    page.vm.scale = "2";
    page.vm.speed = "quick";
    page.save_projectile();
    EXPECT_EQ(page.vm.status, "Not saved: Speed is not a number");
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Not saving Small One: Speed is not a number"));
    EXPECT_EQ(page.ordered_projectile_configs[0].scale, projectile(0).scale);
    EXPECT_EQ(tree.read("build/assets/" + file), before);
    EXPECT_EQ(tree.read("src/assets/" + file), before);

    for (const auto& [field, text, status] :
         {std::tuple{&UI::ProjectileEditor::ViewModel::scale, "16.5",
                     "Not saved: Scale must be at least 0.01 and at most 16"},
          std::tuple{&UI::ProjectileEditor::ViewModel::speed, "-1",
                     "Not saved: Speed must be at least 0 and at most 100000"},
          std::tuple{&UI::ProjectileEditor::ViewModel::speed, "100001",
                     "Not saved: Speed must be at least 0 and at most 100000"}}) {
        page.select_projectile(0);
        page.vm.*field = text;
        page.save_projectile();
        EXPECT_EQ(page.vm.status, status);
    }
    // The outline bounds the scale too, so what is saved loads again.
    page.ordered_projectile_configs[0].src_polygons = {{{0, 0}, {300, 0}, {300, 300}, {0, 300}}};
    page.select_projectile(0);
    page.vm.scale = "16";
    page.save_projectile();
    EXPECT_EQ(page.vm.status, "Not saved: Scale must be at least 0.01 and at most 9.42");
    page.ordered_projectile_configs[0].src_polygons = projectile(0).src_polygons;
    EXPECT_EQ(tree.read("build/assets/" + file), before);
    EXPECT_EQ(tree.read("src/assets/" + file), before);
    EXPECT_EQ(nlohmann::json(page.ordered_projectile_configs[0]), nlohmann::json(projectile(0)));
    page.select_projectile(1);
    EXPECT_EQ(page.vm.status, "");
}

TEST_F(ProjectileEditorPage, SavingWithoutChangesKeepsEveryFilesBytes) {
    test_support::AssetTree tree;
    for (int i = 0; i < 9; ++i) {
        page.select_projectile(i);
        const std::string before = test_support::read_file(projectile(i).build_path);
        page.save_projectile();
        EXPECT_EQ(test_support::read_file(projectile(i).src_path), before) << projectile(i).src_path;
        EXPECT_EQ(test_support::read_file(projectile(i).build_path), before) << projectile(i).build_path;
    }
    // A value that six decimals cannot show is kept whole too.
    page.ordered_projectile_configs[0].speed = 0.12345678f;
    page.select_projectile(0);
    page.save_projectile();
    EXPECT_EQ(nlohmann::json::parse(test_support::read_file(projectile(0).build_path))["speed"], 0.12345678f);
}

TEST_F(ProjectileEditorPage, ASaveThatCouldNotWriteItsFilesSaysSo) {
    const std::string file = "projectiles/projectile_small_one/projectile_small_one.json";
    ui_test::ScopedAssetTree tree({file});
    // A directory where the build copy should be cannot be opened for writing.
    std::filesystem::remove(tree.root() / "build/assets" / file);
    std::filesystem::create_directories(tree.root() / "build/assets" / file / "occupied");
    page.vm.speed = "900";
    page.save_projectile();
    EXPECT_EQ(page.vm.status, "Could not save Small One; see the log");
}

TEST_F(ProjectileEditorPage, ShowAndHideActOnlyOnALoadedDocument) {
    page.hide();
    EXPECT_FALSE(page.document->IsShown());
    page.show();
    EXPECT_TRUE(page.document->IsShown());
    UI::ProjectileEditor::Page never_initialised;
    never_initialised.show();
    never_initialised.hide();
}

}  // namespace
