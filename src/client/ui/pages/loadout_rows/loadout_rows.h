#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "client/ui/pages/editor_support/editor_support.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"
#include "lib/rml/rml.h"

// What the two loadout pages share: every ship variant with its name, its
// image and its price, listed by hull class.
namespace UI::LoadoutRows {

inline constexpr const char* price = "1000";

// 0 frigates, 1 destroyers, 2 cruisers, 3 battleships: the hundreds digit.
std::size_t class_index(ShipType type);

// The ship's image as a page's document reaches it; empty for a type without
// a configuration, so that row shows no image. The map is only looked at.
std::string page_image_path(const std::unordered_map<ShipType, ShipConfig>& ship_configs,
                            ShipType type);

// A page listing the ships in the four arrays "frigates", "destroyers",
// "cruisers" and "battleships" of its data model; `Row` has the members
// "name", "image_path" and "price". The rows are built once and never change.
// The model holds the arrays' addresses, so the page never moves.
template <typename Row, const char* ModelName, const char* DocumentPath>
class ShipListPage {
public:
    ShipListPage() = default;
    ShipListPage(const ShipListPage&) = delete;
    ShipListPage& operator=(const ShipListPage&) = delete;

    // Fills the lists from `ship_configs` (which it only reads), binds them
    // and loads the document hidden; a refused model leaves the lists filled
    // and no document.
    void initialize(Rml::Context* context, std::unordered_map<ShipType, ShipConfig>& ship_configs) {
        fill(ship_configs);
        // The page keeps no handle: its rows never change.
        Rml::DataModelHandle unused_handle;
        document = EditorSupport::load_page(context, ModelName, DocumentPath, unused_handle,
                                            [this](Rml::DataModelConstructor& constructor) {
                                                bind(constructor);
                                            });
    }
    void show() { EditorSupport::show_document(document); }
    void hide() { EditorSupport::hide_document(document); }

    Rml::ElementDocument* document = nullptr;
    std::vector<Row> frigates;
    std::vector<Row> destroyers;
    std::vector<Row> cruisers;
    std::vector<Row> battleships;

private:
    std::array<std::vector<Row>*, 4> classes() {
        return {&frigates, &destroyers, &cruisers, &battleships};
    }

    // One row per ship type, in type order, appended to the list of its class.
    void fill(const std::unordered_map<ShipType, ShipConfig>& ship_configs) {
        for (std::size_t idx = 0; idx < ordered_ship_types.size(); ++idx) {
            const ShipType type = ordered_ship_types[idx];
            classes()[class_index(type)]->push_back(
                Row{ordered_ship_type_names[idx], page_image_path(ship_configs, type), price});
        }
    }

    void bind(Rml::DataModelConstructor& constructor) {
        if (auto row = constructor.RegisterStruct<Row>()) {
            row.RegisterMember("name", &Row::name)
                .RegisterMember("image_path", &Row::image_path)
                .RegisterMember("price", &Row::price);
        }
        constructor.RegisterArray<std::vector<Row>>();
        constructor.Bind("frigates", &frigates);
        constructor.Bind("destroyers", &destroyers);
        constructor.Bind("cruisers", &cruisers);
        constructor.Bind("battleships", &battleships);
    }
};

}  // namespace UI::LoadoutRows
