#pragma once

#include <optional>

#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "core/config/config.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/net_msgs/mount_spawn.h"
#include "core/net_msgs/projectile_spawn.h"
#include "core/net_msgs/ship_spawn.h"

// Mirror the server's spawn messages into the client's store. Ships and mounts
// keep the server's ids; bodies and projectiles take ids of the client's own.
// Configuration look-ups insert a default record for a type the set lacks.

namespace Client {

struct SpawnShipResult {
    DenseListKey ship_key;
};

struct SpawnMountResult {
    DenseListKey mount_key;
};

struct SpawnProjectileResult {
    DenseListKey projectile_key;
};

// The ship and its collision body, whose world polygons the next fixed tick
// builds. Empty when the id is 0 or already has a row: the spawn is then ignored.
std::optional<SpawnShipResult> spawn_ship_from_ship_spawn(
    DenseListKeyed<Ships>& ships, DenseListKeyed<PhysicsBodies>& physics_bodies, Config* config,
    NetMsgs::ShipSpawn msg);

// Empty, with nothing created, when the mount id is 0 or already has a row, the
// parent ship is missing, or the slot lies beyond the ship type's slots.
std::optional<SpawnMountResult> spawn_mount_from_mount_spawn(DenseListKeyed<Ships>& ships,
                                                             DenseListKeyed<Mounts>& mounts,
                                                             Config* config,
                                                             NetMsgs::MountSpawn msg);

// Starts from the firing mount's pose as the client sees it now and remembers
// that mount. Empty when the mount or its ship is missing.
std::optional<SpawnProjectileResult> spawn_projectile_from_projectile_spawn(
    DenseListKeyed<Ships>& ships, DenseListKeyed<Mounts>& mounts,
    DenseListKeyed<Projectiles>& projectiles, Config* config, NetMsgs::ProjectileSpawn msg);

}  // namespace Client
