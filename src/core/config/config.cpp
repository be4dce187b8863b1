#include "core/config/config.h"

#include "core/asset_helpers/asset_helpers.h"

Config::Config()
    : ship_configs(load_ship_configs()),
      mount_configs(load_mount_configs()),
      projectile_configs(load_projectile_configs()) {}
