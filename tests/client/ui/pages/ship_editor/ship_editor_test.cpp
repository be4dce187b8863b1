#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

#include "client/ui/pages/ship_editor/ship_editor.h"
#include "client/ui/ui_fixture.h"
#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "support/log_capture.h"

namespace {

using ui_test::shown_with_class;
using ui_test::six_decimals;
using ui_test::text_of;

// The marker's place in the image box, worked out independently of the page.
Rml::Vector2f expected_marker(const ShipConfig& ship, float x, float y) {
    const float ratio = 400.0f / ship.image_width;
    const float shown_height = ratio * ship.image_height;
    return {ship.centroid_ratio.first * 400.0f + ratio * x - 10.0f,
            ship.centroid_ratio.second * shown_height - ratio * y - 10.0f};
}

using UI::ShipEditor::ViewModel;

// A number the game cannot run with, typed into a statistic or into slot 1.
struct BadField {
    int ship;
    std::string ViewModel::*statistic;
    std::vector<std::string> ViewModel::*slot_column;
    const char* text;
    const char* status;
};

const std::string four_hundred_digits(400, '9');

const BadField bad_fields[] = {
    {0, &ViewModel::scale, nullptr, "0", "Not saved: Scale must be at least 0.01 and at most 16"},
    {0, &ViewModel::scale, nullptr, "-0", "Not saved: Scale must be at least 0.01 and at most 16"},
    {0, &ViewModel::scale, nullptr, "-1", "Not saved: Scale must be at least 0.01 and at most 16"},
    {0, &ViewModel::scale, nullptr, "0.0099", "Not saved: Scale must be at least 0.01 and at most 16"},
    {0, &ViewModel::scale, nullptr, "2000", "Not saved: Scale must be at least 0.01 and at most 16"},
    // Battleship Two's outline allows less.
    {11, &ViewModel::scale, nullptr, "5.65", "Not saved: Scale must be at least 0.01 and at most 5.64"},
    {0, &ViewModel::max_speed, nullptr, "-1", "Not saved: Top speed must be at least 0 and at most 100000"},
    {0, &ViewModel::max_acc, nullptr, "100000.01", "Not saved: Acceleration must be at least 0 and at most 100000"},
    {0, &ViewModel::max_ang_vel, nullptr, "1000.5", "Not saved: Turn rate must be at least 0 and at most 1000"},
    {0, &ViewModel::max_ang_acc, nullptr, "-0.001", "Not saved: Turn accel. must be at least 0 and at most 10000"},
    {0, nullptr, &ViewModel::mount_x, "10001", "Not saved: x of slot 1 must be at least -10000 and at most 10000"},
    {0, nullptr, &ViewModel::mount_y, "-10000.5", "Not saved: y of slot 1 must be at least -10000 and at most 10000"},
    // Beyond a float: too large or too small, not "not a number".
    {0, &ViewModel::max_speed, nullptr, "1e400",
     "Not saved: Top speed is too large; it must be at least 0 and at most 100000"},
    {0, &ViewModel::scale, nullptr, four_hundred_digits.c_str(),
     "Not saved: Scale is too large; it must be at least 0.01 and at most 16"},
    {0, nullptr, &ViewModel::mount_x, " -1e39 ",
     "Not saved: x of slot 1 is too small; it must be at least -10000 and at most 10000"},
};

class ShipEditorPage : public ui_test::UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        configs = load_ship_configs();
        open_page(page, configs);
    }

    const ShipConfig& ship(int index) { return configs.at(ordered_ship_types[static_cast<std::size_t>(index)]); }
    int ship_with_slots(std::size_t count) {
        for (int i = 0; i < 12; ++i) {
            if (ship(i).mounts.size() == count) return i;
        }
        ADD_FAILURE() << "no ship with " << count << " slots";
        return 0;
    }
    Rml::Element* cell_input(int row, int column) {
        const auto rows = shown_with_class(page.document, "slot-row");
        EXPECT_LT(static_cast<std::size_t>(row), rows.size());
        return rows.at(static_cast<std::size_t>(row))->GetChild(1 + column)->GetChild(0);
    }
    void change(Rml::Element* input, const std::string& value) {
        input->DispatchEvent("change", {{"value", Rml::Variant(value)}});
        render_frame();
    }
    void select_ship_in_list(int index) {
        click(shown_with_class(page.document, "list-entry").at(static_cast<std::size_t>(index)));
        render_frame();
    }
    std::string display_value() { return function_value("ship_editor", "get_selected_mount_type_display_value"); }

    test_support::LogCapture log;
    std::unordered_map<ShipType, ShipConfig> configs;
    UI::ShipEditor::Page page;
};

TEST_F(ShipEditorPage, StartsOnTheFirstShipWithItsStatisticsAndSlotsAsText) {
    const ShipConfig& first = ship(0);
    EXPECT_EQ(page.vm.ship_name.size(), 12u);
    EXPECT_EQ(page.vm.ship_name[0], first.display_name);
    EXPECT_EQ(page.vm.ship_name[11], ship(11).display_name);
    EXPECT_EQ(page.vm.selected_ship_idx, 0);
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_EQ(page.vm.ship_image, "../../../../" + first.image_path);
    EXPECT_EQ(page.vm.max_speed, six_decimals(first.max_speed));
    EXPECT_EQ(page.vm.max_acc, six_decimals(first.max_acc));
    EXPECT_EQ(page.vm.max_ang_vel, six_decimals(first.max_ang_vel));
    EXPECT_EQ(page.vm.max_ang_acc, six_decimals(first.max_ang_acc));
    EXPECT_EQ(page.vm.scale, six_decimals(first.scale));
    ASSERT_EQ(page.num_mounts(), static_cast<int>(first.mounts.size()));
    EXPECT_EQ(page.vm.mount_x[0], six_decimals(first.mounts[0].pos_x_src));
    EXPECT_EQ(page.vm.mount_y[0], six_decimals(first.mounts[0].pos_y_src));
    EXPECT_EQ(page.vm.mount_type[0], static_cast<int>(first.mounts[0].mount_type));
    EXPECT_EQ(page.vm.mount_types.size(), 9u);
    EXPECT_EQ(page.vm.mount_types[4], "Medium Two");
    EXPECT_TRUE(log.contains(spdlog::level::info,
                             fmt::format("Loading mount type into UI: {}",
                                         static_cast<std::uint32_t>(first.mounts[0].mount_type))));
    // The document shows the same.
    EXPECT_EQ(page.document->GetElementById("max-speed")->GetChild(0)->GetAttribute<std::string>("value", ""),
              page.vm.max_speed);
    EXPECT_EQ(shown_with_class(page.document, "slot-row").size(), first.mounts.size());
    EXPECT_EQ(display_value(), to_string(first.mounts[0].mount_type));
    EXPECT_EQ(text_of(page.document->GetElementById("mount-type")->GetChild(0)), display_value());
}

TEST_F(ShipEditorPage, SelectingAShipShowsItsImageStatisticsAndMarkers) {
    page.vm.selected_mount_idx = 1;
    select_ship_in_list(3);
    const ShipConfig& chosen = ship(3);
    EXPECT_EQ(page.vm.selected_ship_idx, 3);
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_EQ(page.vm.ship_image, "../../../../" + chosen.image_path);
    EXPECT_EQ(page.vm.max_speed, six_decimals(chosen.max_speed));
    ASSERT_EQ(page.vm.mount_style.size(), chosen.mounts.size());
    const auto markers = shown_with_class(page.document, "mount-marker");
    ASSERT_EQ(markers.size(), chosen.mounts.size());
    const Rml::Vector2f image_box = page.document->GetElementById("ship-image-box")->GetAbsoluteOffset();
    for (std::size_t i = 0; i < chosen.mounts.size(); ++i) {
        const MountStats& slot = chosen.mounts[i];
        const Rml::Vector2f expected = expected_marker(chosen, slot.pos_x_src, slot.pos_y_src);
        EXPECT_EQ(page.vm.mount_style[i], fmt::format("left: {}px; top: {}px", expected.x, expected.y));
        // Each marker is drawn where its style puts it inside the image box.
        const Rml::Vector2f at = markers[i]->GetAbsoluteOffset() - image_box;
        EXPECT_NEAR(at.x, expected.x, 0.01f);
        EXPECT_NEAR(at.y, expected.y, 0.01f);
        EXPECT_EQ(markers[i]->GetOffsetWidth(), 20.0f);
        EXPECT_EQ(markers[i]->GetOffsetHeight(), 20.0f);
    }
}

TEST_F(ShipEditorPage, MarkersSitAtTheCentroidMovedByTheScaledSlotPosition) {
    ShipConfig square;
    square.display_name = "Square";
    square.image_width = 200;
    square.image_height = 200;
    square.centroid_ratio = {0.5f, 0.5f};
    square.mounts = {MountStats{.pos_x_src = 10, .pos_y_src = 20}, MountStats{}};
    ShipConfig tall = square;
    tall.image_height = 400;
    UI::ShipEditor::Page offline;
    offline.initialize(nullptr, {{ShipType::FrigateOne, square}, {ShipType::FrigateTwo, tall}});
    EXPECT_EQ(offline.vm.mount_style[0], "left: 210px; top: 150px");
    EXPECT_EQ(offline.vm.mount_style[1], "left: 190px; top: 190px");
    EXPECT_EQ(offline.compute_mount_style(0.25f, 0), "left: 190.5px; top: 190px");
    // A tall image: the centroid's height ratio applies to the shown height (800 px).
    offline.select_ship(1);
    EXPECT_EQ(offline.vm.mount_style[1], "left: 190px; top: 390px");
    EXPECT_EQ(offline.document, nullptr);
}

TEST_F(ShipEditorPage, ASlotPositionThatIsNotANumberKeepsItsTextAndItsMarker) {
    select_ship_in_list(ship_with_slots(3));
    const std::string style = page.vm.mount_style[1];
    change(cell_input(1, 0), "abc");
    EXPECT_EQ(page.vm.mount_x[1], "abc");
    EXPECT_EQ(page.vm.mount_style[1], style);
    change(cell_input(1, 1), "7");
    EXPECT_EQ(page.vm.mount_y[1], "7");
    EXPECT_EQ(page.vm.mount_style[1], style);
    change(cell_input(1, 0), "5");
    EXPECT_EQ(page.vm.mount_style[1], page.compute_mount_style(5, 7));
    change(cell_input(1, 2), "1.5");
    change(cell_input(1, 3), "oops");
    EXPECT_EQ(page.vm.mount_rot_neut[1], "1.5");
    EXPECT_EQ(page.vm.mount_rot_range[1], "oops");
}

TEST_F(ShipEditorPage, TypingIntoAStatisticStoresTheText) {
    const std::string before = page.vm.max_speed;
    Rml::Element* input = page.document->GetElementById("max-speed")->GetChild(0);
    click(input);
    context->ProcessKeyDown(Rml::Input::KI_END, 0);
    type("5");
    EXPECT_EQ(page.vm.max_speed, before + "5");
    for (const char* id : {"max-acc", "max-ang-vel", "max-ang-acc", "scale"}) {
        change(page.document->GetElementById(id)->GetChild(0), std::string(id) + "!");
    }
    EXPECT_EQ(page.vm.max_acc, "max-acc!");
    EXPECT_EQ(page.vm.max_ang_vel, "max-ang-vel!");
    EXPECT_EQ(page.vm.max_ang_acc, "max-ang-acc!");
    EXPECT_EQ(page.vm.scale, "scale!");
}

TEST_F(ShipEditorPage, TypingIntoASlotFieldSelectsTheRowAndKeepsTheFieldFocused) {
    select_ship_in_list(ship_with_slots(3));
    const std::string before = page.vm.mount_x[2];
    click(cell_input(2, 0));
    render_frame();
    EXPECT_EQ(page.vm.selected_mount_idx, 2);
    context->ProcessKeyDown(Rml::Input::KI_END, 0);
    type("5");
    render_frame();
    type("6");
    render_frame();
    EXPECT_EQ(page.vm.mount_x[2], before + "56");
    EXPECT_EQ(page.vm.mount_style[2], page.compute_mount_style(std::stof(before + "56"), std::stof(page.vm.mount_y[2])));
}

TEST_F(ShipEditorPage, AddingASlotAppendsASmallOneOnTheCentroid) {
    const int rows = page.num_mounts();
    page.vm.selected_mount_idx = rows - 1;
    click(page.document->GetElementById("add-slot"));
    render_frame();
    ASSERT_EQ(page.num_mounts(), rows + 1);
    EXPECT_EQ(page.vm.mount_type.back(), 2000);
    EXPECT_EQ(page.vm.mount_x.back(), "0");
    EXPECT_EQ(page.vm.mount_y.back(), "0");
    EXPECT_EQ(page.vm.mount_rot_neut.back(), "0");
    EXPECT_EQ(page.vm.mount_rot_range.back(), "0");
    EXPECT_EQ(page.vm.mount_style.back(), page.compute_mount_style(0, 0));
    EXPECT_EQ(page.vm.selected_mount_idx, rows - 1);
    EXPECT_EQ(shown_with_class(page.document, "slot-row").size(), static_cast<std::size_t>(rows + 1));
    EXPECT_EQ(shown_with_class(page.document, "mount-marker").size(), static_cast<std::size_t>(rows + 1));
    // No more slots than the mount ids of a full server allow.
    for (int row = page.num_mounts(); row < 49; ++row) EXPECT_TRUE(page.add_mount());
    click(page.document->GetElementById("add-slot"));
    render_frame();
    EXPECT_EQ(page.num_mounts(), 49);
    EXPECT_EQ(page.vm.status, "Not added: a ship has at most 49 slots");
    EXPECT_TRUE(page.vm.status_failed);
}

// Battleship Two's eight rows and three added ones outgrow the panel: the rows
// scroll inside it, and an added or clicked row is brought into view.
TEST_F(ShipEditorPage, SlotRowsScrollWithinThePanelAndShowTheAddedOrClickedRow) {
    const auto frame = [this] {
        render_frame();
        if (page.scroll_requested_row_into_view()) render_frame();
    };
    const auto within = [](Rml::Element* inner, Rml::Element* outer) {
        const float top = outer->GetAbsoluteOffset(Rml::BoxArea::Padding).y;
        const float inner_top = inner->GetAbsoluteTop();
        return inner_top >= top && inner_top + inner->GetOffsetHeight() <= top + outer->GetClientHeight();
    };
    select_ship_in_list(11);
    for (int added = 0; added < 3; ++added) {
        click(page.document->GetElementById("add-slot"));
        frame();
    }
    Rml::Element* rows = page.document->GetElementById("slot-rows");
    const auto row_elements = shown_with_class(page.document, "slot-row");
    ASSERT_EQ(row_elements.size(), 11u);
    EXPECT_GT(rows->GetScrollHeight(), rows->GetClientHeight());
    EXPECT_TRUE(within(rows, shown_with_class(page.document, "editor").at(0)));
    EXPECT_TRUE(within(row_elements.back(), rows));
    EXPECT_FALSE(within(row_elements.front(), rows));

    click(shown_with_class(page.document, "mount-marker").at(0));
    frame();
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_TRUE(within(row_elements.front(), rows));
    const Rml::Vector2f over_rows = rows->GetAbsoluteOffset() + Rml::Vector2f{20.0f, 20.0f};
    context->ProcessMouseMove(static_cast<int>(over_rows.x), static_cast<int>(over_rows.y), 0);
    context->ProcessMouseWheel(1.0f, 0);
    const float scrolled = rows->GetScrollTop();
    EXPECT_GT(scrolled, 0.0f);
    // A click on the last row in full view leaves the list where it is.
    Rml::Element* in_view = nullptr;
    for (Rml::Element* row : row_elements) in_view = within(row, rows) ? row : in_view;
    ASSERT_NE(in_view, nullptr);
    click(in_view->GetChild(0));
    frame();
    EXPECT_EQ(page.vm.selected_mount_idx, static_cast<int>(std::find(row_elements.begin(), row_elements.end(),
                                                                     in_view) - row_elements.begin()));
    EXPECT_EQ(rows->GetScrollTop(), scrolled);
}

TEST_F(ShipEditorPage, DeletingTheFirstOfThreeSlotsPutsTheLastInItsPlace) {
    const int three = ship_with_slots(3);
    page.ordered_ship_configs[static_cast<std::size_t>(three)].mounts[2].rot_neut = 0.12345678f;  // beyond six decimals
    select_ship_in_list(three);
    page.vm.mount_type[2] = 2001;
    fire("ship_editor", "on_mount_type_change", "8");
    render_frame();
    const auto old_x = page.vm.mount_x;
    const auto old_style = page.vm.mount_style;
    const auto old_type = page.vm.mount_type;
    click(page.document->GetElementById("delete-slot"));
    render_frame();
    ASSERT_EQ(page.num_mounts(), 2);
    EXPECT_EQ(page.vm.mount_x, (std::vector<std::string>{old_x[2], old_x[1]}));
    EXPECT_EQ(page.vm.mount_style, (std::vector<std::string>{old_style[2], old_style[1]}));
    EXPECT_EQ(page.vm.mount_type, (std::vector<int>{old_type[2], old_type[1]}));
    EXPECT_EQ(page.vm.mount_y.size(), 2u);
    EXPECT_EQ(page.vm.mount_rot_neut.size(), 2u);
    EXPECT_EQ(page.vm.mount_rot_range.size(), 2u);
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_EQ(shown_with_class(page.document, "slot-row").size(), 2u);
    // The drop-down shows the type of the row now selected.
    EXPECT_EQ(text_of(page.document->GetElementById("mount-type")->GetChild(0)), "Small Two");
    // Saved, each row keeps the exact numbers of the slot it came from.
    const ShipConfig& chosen = ship(page.vm.selected_ship_idx);
    test_support::AssetTree tree;
    nlohmann::json slots = nlohmann::json::parse(test_support::read_file(chosen.build_path))["mounts"];
    slots[2]["mount_type"] = 2001;
    slots[2]["rot_neut"] = 0.12345678f;
    page.save_ship();
    EXPECT_EQ(nlohmann::json::parse(test_support::read_file(chosen.build_path))["mounts"],
              nlohmann::json::array({slots[2], slots[1]}));
}

TEST_F(ShipEditorPage, MountTypeOptionFourMakesTheSelectedSlotAMediumTwo) {
    select_ship_in_list(ship_with_slots(3));
    click(shown_with_class(page.document, "slot-row")[1]);
    render_frame();
    ASSERT_EQ(page.vm.selected_mount_idx, 1);
    const int first_type = page.vm.mount_type[0];
    Rml::Element* select = page.document->GetElementById("mount-type");
    click(select->GetChild(0));
    render_frame();
    const auto options = shown_with_class(page.document, "field-select-option");
    ASSERT_EQ(options.size(), 9u);
    click(options[4]);
    render_frame();
    EXPECT_EQ(page.vm.mount_type[1], 2101);
    EXPECT_EQ(page.vm.mount_type[0], first_type);
    EXPECT_TRUE(log.contains(spdlog::level::info, "Updated mount type: 2101"));
    EXPECT_EQ(display_value(), "Medium Two");
    EXPECT_EQ(text_of(select->GetChild(0)), "Medium Two");
    EXPECT_TRUE(options[4]->IsClassSet("selected"));
    EXPECT_FALSE(select->IsClassSet("field-select-expanded"));
}

TEST_F(ShipEditorPage, SavingWritesTheRowsAsFilePositionsToBothCopiesOnly) {
    const std::string file = "ships/frigate_one/frigate_one.json";
    ui_test::ScopedAssetTree tree({file});
    const nlohmann::json before = nlohmann::json::parse(tree.read("build/assets/" + file));
    page.vm.max_speed = "300";
    page.vm.max_ang_acc = "-0";
    page.vm.mount_x[0] = "12.5";
    page.vm.mount_y[0] = "-3";
    page.vm.mount_type[0] = 2101;
    click(page.document->GetElementById("save"));
    const std::string source = tree.read("src/assets/" + file);
    EXPECT_EQ(source, tree.read("build/assets/" + file));
    EXPECT_NE(source.find("\"max_ang_acc\": 0.0,"), std::string::npos);
    const nlohmann::json saved = nlohmann::json::parse(source);
    EXPECT_EQ(saved["max_speed"], 300.0);
    EXPECT_EQ(saved["max_acc"], before["max_acc"]);
    ASSERT_EQ(saved["mounts"].size(), before["mounts"].size());
    EXPECT_EQ(saved["mounts"][0]["pos_x"], 12.5);
    EXPECT_EQ(saved["mounts"][0]["pos_y"], -3.0);
    EXPECT_EQ(saved["mounts"][0]["mount_type"], 2101);
    EXPECT_EQ(saved["polygons"], before["polygons"]);
    EXPECT_TRUE(log.contains(spdlog::level::info, "save_ship_config: wrote 'src/assets/" + file + "'"));
    EXPECT_TRUE(log.contains(spdlog::level::info, "save_ship_config: wrote 'build/assets/" + file + "'"));
    EXPECT_EQ(page.vm.status, "Saved " + ship(0).display_name);
    // The game's configuration stays; the page's copy has the saved values.
    EXPECT_EQ(configs.at(ShipType::FrigateOne).max_speed, ship(0).max_speed);
    EXPECT_NE(ship(0).max_speed, 300.0f);
    page.select_ship(1);
    page.select_ship(0);
    EXPECT_EQ(page.vm.max_speed, "300.000000");
    EXPECT_EQ(page.vm.mount_x[0], "12.500000");
}

TEST_F(ShipEditorPage, ASaveWithATextThatIsNotANumberWritesNothingAndSaysWhich) {
    const std::string file = "ships/frigate_one/frigate_one.json";
    ui_test::ScopedAssetTree tree({file});
    const std::string before = tree.read("src/assets/" + file);
    page.vm.mount_x[0] = "12.5";
    for (const char* text : {"12abc", "0.50p\u00a7e", "nan", "inf", "-Infinity", "1e400x", " ", "1 2", "0x10"}) {
        page.vm.max_speed = text;
        page.save_ship();
        EXPECT_EQ(page.vm.status, "Not saved: Top speed is not a number") << text;
    }
    page.vm.max_speed = " 300 ";
    page.vm.max_acc = "fast";
    page.save_ship();
    EXPECT_EQ(page.vm.status, "Not saved: Acceleration is not a number");
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Not saving Frigate One: Acceleration is not a number"));
    page.vm.max_acc = "1";
    page.vm.mount_rot_range[0] = "wide";
    page.save_ship();
    EXPECT_EQ(page.vm.status, "Not saved: range of slot 1 is not a number");
    EXPECT_EQ(tree.read("src/assets/" + file), before);
    EXPECT_EQ(tree.read("build/assets/" + file), before);
    EXPECT_EQ(log.count_containing("save_ship_config"), 0);
    // Neither the statistics before the bad field nor the slots reached the page's copy.
    EXPECT_EQ(page.ordered_ship_configs[0].max_speed, ship(0).max_speed);
    EXPECT_EQ(page.ordered_ship_configs[0].mounts[0].pos_x_src, ship(0).mounts[0].pos_x_src);
    EXPECT_EQ(page.ordered_ship_configs[0].mounts[0].pos_x, ship(0).mounts[0].pos_x);
}

TEST_F(ShipEditorPage, ASaveWithANumberTheGameCannotRunWithWritesNothingAndSaysWhatIsAllowed) {
    test_support::AssetTree tree;
    for (const BadField& row : bad_fields) {
        SCOPED_TRACE(row.text);
        page.select_ship(row.ship);
        const ShipConfig& chosen = ship(row.ship);
        const std::string before = test_support::read_file(chosen.build_path);
        (row.statistic ? page.vm.*row.statistic : (page.vm.*row.slot_column)[0]) = row.text;
        page.save_ship();
        EXPECT_EQ(page.vm.status, row.status);
        const std::string reason = std::string(row.status).substr(std::string("Not saved: ").size());
        EXPECT_TRUE(log.contains(spdlog::level::warn, "Not saving " + chosen.display_name + ": " + reason));
        EXPECT_EQ(test_support::read_file(chosen.src_path), before);
        EXPECT_EQ(test_support::read_file(chosen.build_path), before);
        EXPECT_EQ(nlohmann::json(page.ordered_ship_configs[static_cast<std::size_t>(row.ship)]), nlohmann::json(chosen));
    }
    // The stated maximum itself is saved, and loads at the next start.
    page.select_ship(11);
    page.vm.scale = "5.64";
    page.save_ship();
    EXPECT_EQ(page.vm.status, "Saved " + ship(11).display_name);
    EXPECT_EQ(load_ship_configs().at(ShipType::BattleshipTwo).scale, 5.64f);
    // Nearer zero than a float holds: the nearest float, 0.
    ASSERT_NE(ship(11).mounts[3].pos_x_src, 0.0f);
    page.vm.mount_x[3] = "1e-400";
    page.save_ship();
    EXPECT_EQ(load_ship_configs().at(ShipType::BattleshipTwo).mounts[3].pos_x_src, 0.0f);
}

TEST_F(ShipEditorPage, ASaveThatCouldNotWriteItsFilesSaysSo) {
    ui_test::ScopedAssetTree empty({});
    page.save_ship();
    EXPECT_TRUE(log.contains(spdlog::level::err, "save_ship_config: could not open "
                                                 "'src/assets/ships/frigate_one/frigate_one.json' for writing: "
                                                 "No such file or directory"));
    EXPECT_EQ(page.vm.status, "Could not save Frigate One; see the log");
}

TEST_F(ShipEditorPage, SavingWithoutChangesKeepsEveryFilesBytes) {
    test_support::AssetTree tree;
    for (int i = 0; i < 12; ++i) {
        page.select_ship(i);
        const std::string before = test_support::read_file(ship(i).build_path);
        page.save_ship();
        EXPECT_EQ(page.vm.status, "Saved " + ship(i).display_name);
        EXPECT_EQ(test_support::read_file(ship(i).src_path), before) << ship(i).src_path;
        EXPECT_EQ(test_support::read_file(ship(i).build_path), before) << ship(i).build_path;
    }
    // A changed statistic leaves every other number exactly as the file had it.
    page.select_ship(0);
    nlohmann::json expected = nlohmann::json::parse(test_support::read_file(ship(0).build_path));
    expected["max_speed"] = 300.0;
    page.vm.max_speed = "300";
    page.save_ship();
    EXPECT_EQ(test_support::read_file(ship(0).build_path), expected.dump(4));
}

TEST_F(ShipEditorPage, EventsOutsideTheListsChangeNothing) {
    const UI::ShipEditor::ViewModel before = page.vm;
    fire("ship_editor", "on_mount_x_change", "5");
    EXPECT_TRUE(log.contains(spdlog::level::warn, "on_mount_x_change: no index given; ignored"));
    fire("ship_editor", "on_mount_y_change", "5", {Rml::Variant(7)});
    EXPECT_TRUE(log.contains(spdlog::level::warn, "on_mount_y_change: index 7 is outside the list of 1; ignored"));
    fire("ship_editor", "on_mount_rot_neut_change", "5", {Rml::Variant(-1)});
    fire("ship_editor", "on_mount_rot_range_change", "5", {Rml::Variant(1)});
    fire("ship_editor", "on_select_ship", "", {Rml::Variant(12)});
    fire("ship_editor", "on_select_ship", "", {});
    fire("ship_editor", "on_select_mount", "", {Rml::Variant(1)});
    EXPECT_EQ(page.vm.mount_x, before.mount_x);
    EXPECT_EQ(page.vm.mount_y, before.mount_y);
    EXPECT_EQ(page.vm.mount_rot_neut, before.mount_rot_neut);
    EXPECT_EQ(page.vm.mount_rot_range, before.mount_rot_range);
    EXPECT_EQ(page.vm.mount_style, before.mount_style);
    EXPECT_EQ(page.vm.selected_ship_idx, 0);
    EXPECT_EQ(page.vm.selected_mount_idx, 0);
    EXPECT_EQ(page.vm.max_speed, before.max_speed);
    EXPECT_EQ(log.count(spdlog::level::warn, "on_select_ship: index 12 is outside the list of 12; ignored"), 1);
}

TEST_F(ShipEditorPage, TypeChangesAndDeletesNeedAnExistingSelectedRow) {
    page.vm.selected_mount_idx = 3;
    fire("ship_editor", "on_mount_type_change", "4");
    fire("ship_editor", "on_delete_mount", "");
    EXPECT_EQ(page.num_mounts(), 1);
    EXPECT_EQ(display_value(), "");
    page.vm.selected_mount_idx = 0;
    fire("ship_editor", "on_delete_mount", "");
    ASSERT_EQ(page.num_mounts(), 0);
    fire("ship_editor", "on_delete_mount", "");
    fire("ship_editor", "on_mount_type_change", "4");
    EXPECT_EQ(page.num_mounts(), 0);
    EXPECT_EQ(display_value(), "");
    EXPECT_EQ(log.count_containing("Updated mount type"), 0);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "delete_mount: index 0 is outside the list of 0; ignored"));
    render_frame();
    EXPECT_TRUE(shown_with_class(page.document, "slot-row").empty());
    // Adding a row gives the selection a row again, and the drop-down its type.
    click(page.document->GetElementById("add-slot"));
    render_frame();
    EXPECT_EQ(text_of(page.document->GetElementById("mount-type")->GetChild(0)), "Small One");
}

TEST_F(ShipEditorPage, TypeChangesIgnoreOptionsThatAreNotMountTypePositions) {
    const int type = page.vm.mount_type[0];
    for (const char* value : {"abc", "", "9", "-1"}) fire("ship_editor", "on_mount_type_change", value);
    EXPECT_EQ(page.vm.mount_type[0], type);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "on_mount_type_change: option value 'abc' is not a number; ignored"));
    EXPECT_TRUE(log.contains(spdlog::level::warn, "select_mount_type: index 9 is outside the list of 9; ignored"));
    fire("ship_editor", "on_mount_type_change", "8");
    EXPECT_EQ(page.vm.mount_type[0], 2202);
}

TEST_F(ShipEditorPage, ShowAndHideActOnlyOnALoadedDocument) {
    EXPECT_TRUE(page.document->IsShown());
    page.hide();
    EXPECT_FALSE(page.document->IsShown());
    // The context refuses a second model of the same name: no document, nothing to show.
    UI::ShipEditor::Page refused;
    refused.initialize(context, configs);
    EXPECT_EQ(refused.document, nullptr);
    EXPECT_EQ(context->GetNumDocuments(), 1);
    refused.show();
    refused.hide();
    UI::ShipEditor::Page never_initialised;
    never_initialised.show();
    never_initialised.hide();
    EXPECT_FALSE(page.document->IsShown());
}

}  // namespace
