#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/ui/pages/buy_loadout/buy_loadout.h"
#include "client/ui/pages/view_loadouts/view_loadouts.h"
#include "client/ui/support/ui_support.h"
#include "client/ui/ui_fixture.h"

namespace {

const std::vector<std::vector<std::string>> names_by_class = {
    {"Frigate One", "Frigate Two", "Frigate Three", "Frigate Four"},
    {"Destroyer One", "Destroyer Two", "Destroyer Three"},
    {"Cruiser One", "Cruiser Two", "Cruiser Three"},
    {"Battleship One", "Battleship Two"},
};
const std::vector<std::string> class_ids = {"frigates", "destroyers", "cruisers", "battleships"};
const std::vector<ShipType> first_type_of_class = {ShipType::FrigateOne, ShipType::DestroyerOne,
                                                   ShipType::CruiserOne, ShipType::BattleshipOne};

template <typename PageType>
std::vector<const decltype(PageType::frigates)*> classes_of(const PageType& page) {
    return {&page.frigates, &page.destroyers, &page.cruisers, &page.battleships};
}

template <typename PageType>
void expect_twelve_rows_by_class(const PageType& page, const Config& config) {
    const auto classes = classes_of(page);
    for (std::size_t cls = 0; cls < classes.size(); ++cls) {
        const auto& rows = *classes[cls];
        ASSERT_EQ(rows.size(), names_by_class[cls].size()) << class_ids[cls];
        for (std::size_t idx = 0; idx < rows.size(); ++idx) {
            EXPECT_EQ(rows[idx].name, names_by_class[cls][idx]);
            EXPECT_EQ(rows[idx].price, "1000");
        }
        // The prefix is joined to the configured path as it stands.
        EXPECT_EQ(rows[0].image_path,
                  "../../../../" + config.ship_configs.at(first_type_of_class[cls]).image_path);
    }
}

// The names each class row of the shown document lists, in order.
std::vector<std::vector<std::string>> listed_names(Rml::ElementDocument* document) {
    std::vector<std::vector<std::string>> listed;
    for (const std::string& id : class_ids) {
        std::vector<std::string> names;
        if (Rml::Element* class_row = document->GetElementById(id)) {
            for (Rml::Element* name : ui_test::shown_with_class(class_row, "ship-name")) {
                names.push_back(ui_test::text_of(name));
            }
        }
        listed.push_back(names);
    }
    return listed;
}

using LoadoutPagesTest = ui_test::ManagerTest;

TEST_F(LoadoutPagesTest, BothPagesHoldTheTwelveShipsByClass) {
    expect_twelve_rows_by_class(manager->buy_loadout, config);
    expect_twelve_rows_by_class(manager->view_loadouts, config);
}

TEST_F(LoadoutPagesTest, BothDocumentsListTheShipsByClassWithTheirImages) {
    log.clear();
    manager->show_view(RmlView::buy_loadout);
    manager->show_view(RmlView::view_loadouts);
    draw_frame();
    EXPECT_EQ(listed_names(manager->buy_loadout.document), names_by_class);
    EXPECT_EQ(listed_names(manager->view_loadouts.document), names_by_class);
    for (const auto& line : log.lines()) {
        EXPECT_LT(line.level, spdlog::level::warn) << line.text;
    }
}

// A type missing from the map still has its row, without an image, and the
// game's map is not given a default entry.
TEST_F(LoadoutPagesTest, AMissingShipTypeKeepsItsRowWithoutImage) {
    std::unordered_map<ShipType, ShipConfig> ship_configs = config.ship_configs;
    ship_configs.erase(ShipType::CruiserTwo);
    UI::BuyLoadout::Page page;
    page.initialize(manager->context, ship_configs);
    EXPECT_EQ(ship_configs.size(), 11u);
    ASSERT_EQ(page.cruisers.size(), 3u);
    EXPECT_EQ(page.cruisers[1].name, "Cruiser Two");
    EXPECT_EQ(page.cruisers[1].image_path, "");
    EXPECT_EQ(page.cruisers[1].price, "1000");
    // The manager's page already holds the model's name: the lists fill, nothing loads.
    EXPECT_EQ(page.document, nullptr);
}

}  // namespace
