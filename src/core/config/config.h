#pragma once

#include <unordered_map>

#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"

// Every ship, mount and projectile variant keyed by its type. Built once from
// the asset files at start-up; everyone else holds a copy, which is a plain
// value and never sees later changes to the set it came from.
struct Config {
    std::unordered_map<ShipType, ShipConfig> ship_configs;
    std::unordered_map<MountType, MountConfig> mount_configs;
    std::unordered_map<ProjectileType, ProjectileConfig> projectile_configs;

    // Loads ships, then mounts, then projectiles; a bad file raises.
    Config();
};
