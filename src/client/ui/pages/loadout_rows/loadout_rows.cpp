#include "client/ui/pages/loadout_rows/loadout_rows.h"

#include <cstdint>

namespace UI::LoadoutRows {

std::size_t class_index(ShipType type) {
    return (static_cast<std::uint32_t>(type) / 100) % 10;
}

std::string page_image_path(const std::unordered_map<ShipType, ShipConfig>& ship_configs,
                            ShipType type) {
    const auto found = ship_configs.find(type);
    if (found == ship_configs.end()) {
        return {};
    }
    return EditorSupport::image_from_page(found->second.image_path);
}

}  // namespace UI::LoadoutRows
