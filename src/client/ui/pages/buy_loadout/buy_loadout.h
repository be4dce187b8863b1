#pragma once

#include "client/ui/pages/loadout_rows/loadout_rows.h"
#include "lib/rml/rml.h"

namespace UI::BuyLoadout {

inline constexpr char model_name[] = "buy_loadout";
inline constexpr char document_path[] = "build/assets/ui/pages/buy_loadout/buy_loadout.rml";

// One ship of the shop; the image path is relative to the page's document.
struct BuyableShip {
    Rml::String name;
    Rml::String image_path;
    Rml::String price;
};

// The shop of the match flow, for display only.
using Page = LoadoutRows::ShipListPage<BuyableShip, model_name, document_path>;

}  // namespace UI::BuyLoadout
