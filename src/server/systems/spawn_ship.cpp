#include "server/systems/spawn_ship.h"

#include <cstdint>

#include <spdlog/spdlog.h>

namespace {

void fill_ship_row(Ships& ships, std::uint32_t row, ShipType ship_type,
                   const ShipConfig& ship_config) {
    ships.type[row] = ship_type;
    ships.max_ang_acc[row] = ship_config.max_ang_acc;
    ships.max_ang_vel[row] = ship_config.max_ang_vel;
    ships.max_speed[row] = ship_config.max_speed;
    ships.max_acc[row] = ship_config.max_acc;
    ships.x[row] = 0;
    ships.y[row] = 0;
}

void fill_mount_row(Mounts& mounts, std::uint32_t row, std::uint32_t mount_slot_index,
                    const MountStats& mount_slot_config, const MountConfig& mount_config,
                    DenseListKey ship_key) {
    mounts.type[row] = mount_slot_config.mount_type;
    mounts.projectile_type[row] = static_cast<ProjectileType>(mount_config.projectile_type);
    mounts.ship_mount_index[row] = mount_slot_index;
    mounts.parent_key[row] = ship_key;
    mounts.neut_rot[row] = mount_slot_config.rot_neut;
    mounts.rot_range_radians[row] = mount_slot_config.rot_range;
    mounts.ang_vel[row] = mount_config.rot_ang_vel;
    mounts.local_x[row] = mount_slot_config.pos_x;
    mounts.local_y[row] = mount_slot_config.pos_y;
    mounts.cooldown_max[row] = mount_config.cooldown;
}

std::vector<DenseListKey> spawn_mounts(DenseListKeyed<Mounts>& mount_store, Config* config,
                                       const ShipConfig& ship_config, DenseListKey ship_key) {
    std::vector<DenseListKey> mount_keys;
    for (std::uint32_t slot = 0; slot < ship_config.mounts.size(); ++slot) {
        const MountStats& mount_slot_config = ship_config.mounts[slot];
        const MountConfig mount_config = config->mount_configs[mount_slot_config.mount_type];
        const DenseListKey mount_key = mount_store.push_back(-1);
        if (mount_key.id == 0) {
            SPDLOG_ERROR("No free mount id left; mount slot {} of ship {} stays empty", slot,
                         ship_key.id);
            continue;
        }
        fill_mount_row(mount_store.dense_list, mount_key.index, slot, mount_slot_config,
                       mount_config, ship_key);
        mount_keys.push_back(mount_key);
    }
    return mount_keys;
}

}  // namespace

std::optional<Server::SpawnShipResult> spawn_ship(DenseListKeyed<Ships>& ship_store,
                                                  DenseListKeyed<Mounts>& mount_store,
                                                  DenseListKeyed<PhysicsBodies>& physics_bodies_store,
                                                  Config* config, ShipType ship_type) {
    // A full list adds no row; writing into the row a key with id 0 names
    // would overwrite another entity.
    const DenseListKey ship_key = ship_store.push_back(-1);
    if (ship_key.id == 0) {
        SPDLOG_ERROR("No free ship id left; no ship spawned");
        return std::nullopt;
    }
    const ShipConfig& ship_config = config->ship_configs[ship_type];
    fill_ship_row(ship_store.dense_list, ship_key.index, ship_type, ship_config);

    Server::SpawnShipResult result{ship_key, spawn_mounts(mount_store, config, ship_config, ship_key)};

    const DenseListKey physics_bodies_key = physics_bodies_store.push_back(-1);
    if (physics_bodies_key.id == 0) {
        SPDLOG_ERROR("No free physics body id left; ship {} has no body", ship_key.id);
        return result;
    }
    PhysicsBodies& bodies = physics_bodies_store.dense_list;
    bodies.config_polygons[physics_bodies_key.index] = ship_config.polygons;
    bodies.polygons[physics_bodies_key.index] = WorldPolygons(ship_config.polygons.size(), c2Poly{});
    bodies.owner_component_key[physics_bodies_key.index] = ship_key;
    bodies.owner_component_type[physics_bodies_key.index] = ComponentType::Ship;
    ship_store.dense_list.physics_body_key[ship_key.index] = physics_bodies_key;
    return result;
}
