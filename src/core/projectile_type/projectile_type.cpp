#include "core/projectile_type/projectile_type.h"

#include <algorithm>

std::string to_string(ProjectileType type) {
    const auto it =
        std::find(ordered_projectile_types.begin(), ordered_projectile_types.end(), type);
    if (it == ordered_projectile_types.end()) {
        return {};
    }
    return ordered_projectile_type_names[static_cast<std::size_t>(
        it - ordered_projectile_types.begin())];
}
