#include "client/systems/spawn_from_net_msgs/spawn_from_net_msgs.h"

#include <cstdint>

#include <spdlog/spdlog.h>

namespace Client {

namespace {

std::uint32_t type_number(ShipType type) { return static_cast<std::uint32_t>(type); }

void fill_ship_row(Ships& rows, std::uint32_t row, const NetMsgs::ShipSpawn& msg) {
    rows.type[row] = msg.ship_type;
    rows.x[row] = msg.x;
    rows.y[row] = msg.y;
    rows.rot[row] = msg.rot;
    rows.vel_x[row] = msg.vel_x;
    rows.vel_y[row] = msg.vel_y;
    rows.acc_x[row] = msg.acc_x;
    rows.acc_y[row] = msg.acc_y;
}

// Empty world polygons, one per configured polygon, until the next fixed tick places them.
void fill_body_row(PhysicsBodies& rows, std::uint32_t row, const Polygons& config_polygons,
                   DenseListKey owner_key) {
    rows.config_polygons[row] = config_polygons;
    rows.polygons[row] = WorldPolygons(config_polygons.size(), c2Poly{});
    rows.owner_component_key[row] = owner_key;
    rows.owner_component_type[row] = ComponentType::Ship;
}

}  // namespace

std::optional<SpawnShipResult> spawn_ship_from_ship_spawn(
    DenseListKeyed<Ships>& ships, DenseListKeyed<PhysicsBodies>& physics_bodies, Config* config,
    NetMsgs::ShipSpawn msg) {
    SPDLOG_INFO("Spawn ship: begin id={}, type={}, position=({}, {})", msg.id,
                type_number(msg.ship_type), msg.x, msg.y);
    // Id 0 is what the keyed list answers for "no row"; a row under it could never be told apart.
    if (msg.id == 0) {
        SPDLOG_WARN("Spawn ship: id 0 names no ship; spawn ignored");
        return std::nullopt;
    }
    const DenseListKey ship_key = ships.push_back(static_cast<int>(msg.id));
    if (ship_key.id == 0) {
        SPDLOG_WARN("Spawn ship: id {} already has a row; spawn ignored", msg.id);
        return std::nullopt;
    }
    SPDLOG_INFO("Spawn ship: ship store inserted id={}, index={}, gen={}", ship_key.id,
                ship_key.index, ship_key.gen);
    fill_ship_row(ships.dense_list, ship_key.index, msg);
    SPDLOG_INFO("Spawn ship: ship store fields initialized");

    const DenseListKey body_key = physics_bodies.push_back(-1);
    SPDLOG_INFO("Spawn ship: physics body store inserted id={}, index={}, gen={}", body_key.id,
                body_key.index, body_key.gen);
    const ShipConfig ship_config = config->ship_configs[msg.ship_type];
    SPDLOG_INFO("Spawn ship: config loaded, polygon count={}", ship_config.polygons.size());
    if (body_key.id != 0) {
        fill_body_row(physics_bodies.dense_list, body_key.index, ship_config.polygons, ship_key);
    }
    SPDLOG_INFO("Spawn ship: physics body fields initialized");

    ships.dense_list.physics_body_key[ship_key.index] = body_key;
    SPDLOG_INFO("Spawn ship: complete");
    return SpawnShipResult{ship_key};
}

std::optional<SpawnMountResult> spawn_mount_from_mount_spawn(DenseListKeyed<Ships>& ships,
                                                             DenseListKeyed<Mounts>& mounts,
                                                             Config* config,
                                                             NetMsgs::MountSpawn msg) {
    if (msg.id == 0) {
        SPDLOG_WARN("Spawn mount: id 0 names no mount; spawn ignored");
        return std::nullopt;
    }
    const std::optional<DenseListKey> ship_key = ships.make_key_for_id(msg.ship_id);
    if (!ship_key) {
        SPDLOG_ERROR("Missing ship key");
        return std::nullopt;
    }
    const ShipType ship_type = ships.dense_list.type[ship_key->index];
    const ShipConfig& ship_config = config->ship_configs[ship_type];
    // The slot list is the configuration's; a slot number beyond it names no slot.
    if (msg.ship_mount_index >= ship_config.mounts.size()) {
        SPDLOG_ERROR("Mount spawn {}: slot {} lies beyond the {} slots of ship type {}", msg.id,
                     msg.ship_mount_index, ship_config.mounts.size(), type_number(ship_type));
        return std::nullopt;
    }
    const MountStats slot = ship_config.mounts[msg.ship_mount_index];
    const MountConfig mount_config = config->mount_configs[msg.mount_type];

    const DenseListKey mount_key = mounts.push_back(static_cast<int>(msg.id));
    if (mount_key.id == 0) {
        SPDLOG_WARN("Spawn mount: id {} already has a row; spawn ignored", msg.id);
        return std::nullopt;
    }
    Mounts& rows = mounts.dense_list;
    const std::uint32_t row = mount_key.index;
    rows.type[row] = msg.mount_type;
    rows.projectile_type[row] = static_cast<ProjectileType>(mount_config.projectile_type);
    rows.ship_mount_index[row] = msg.ship_mount_index;
    rows.local_x[row] = slot.pos_x;
    rows.local_y[row] = slot.pos_y;
    rows.parent_key[row] = *ship_key;
    rows.cooldown_max[row] = mount_config.cooldown;
    return SpawnMountResult{mount_key};
}

std::optional<SpawnProjectileResult> spawn_projectile_from_projectile_spawn(
    DenseListKeyed<Ships>& ships, DenseListKeyed<Mounts>& mounts,
    DenseListKeyed<Projectiles>& projectiles, Config* config, NetMsgs::ProjectileSpawn msg) {
    const std::optional<DenseListKey> mount_key = mounts.make_key_for_id(msg.mount_id);
    if (!mount_key) {
        SPDLOG_ERROR("Missing mount key");
        return std::nullopt;
    }
    const Mounts& mount_rows = mounts.dense_list;
    const std::uint32_t mount_row = mount_key->index;
    DenseListKey parent_key = mount_rows.parent_key[mount_row];
    const std::optional<std::uint32_t> ship_row = ships.get_index_by_key(parent_key);
    if (!ship_row) {
        SPDLOG_ERROR("Missing ship index");
        return std::nullopt;
    }
    const ProjectileType projectile_type = mount_rows.projectile_type[mount_row];
    const float speed = config->projectile_configs[projectile_type].speed;

    const DenseListKey projectile_key = projectiles.push_back(-1);
    if (projectile_key.id == 0) {
        return std::nullopt;  // every projectile id is in use; the list has said so
    }
    Projectiles& rows = projectiles.dense_list;
    const std::uint32_t row = projectile_key.index;
    rows.x[row] = mount_rows.x[mount_row];
    rows.y[row] = mount_rows.y[mount_row];
    rows.rot[row] = mount_rows.rot[mount_row];
    rows.inherited_vel_x[row] = ships.dense_list.vel_x[*ship_row];
    rows.inherited_vel_y[row] = ships.dense_list.vel_y[*ship_row];
    rows.speed[row] = speed;
    rows.type[row] = projectile_type;
    // The firing mount, so that its own ship's body never stops the projectile.
    rows.mount_key[row] = *mount_key;
    return SpawnProjectileResult{projectile_key};
}

}  // namespace Client
