#pragma once

#include "client/ui/pages/loadout_rows/loadout_rows.h"
#include "lib/rml/rml.h"

namespace UI::ViewLoadouts {

inline constexpr char model_name[] = "view_loadouts";
inline constexpr char document_path[] = "build/assets/ui/pages/view_loadouts/view_loadouts.rml";

// One of the player's loadouts; the image path is relative to the page's document.
struct Loadout {
    Rml::String name;
    Rml::String image_path;
    Rml::String price;
};

// The player's loadouts.
using Page = LoadoutRows::ShipListPage<Loadout, model_name, document_path>;

}  // namespace UI::ViewLoadouts
