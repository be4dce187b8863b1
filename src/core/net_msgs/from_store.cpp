// The message builders. The lists come by const reference: replication builds
// a message per row, and a copy of the whole list per message would make every
// pass quadratic.
#include <cstdint>
#include <optional>

#include "core/net_msgs/mount_snapshot.h"
#include "core/net_msgs/mount_spawn.h"
#include "core/net_msgs/projectile_spawn.h"
#include "core/net_msgs/ship_snapshot.h"
#include "core/net_msgs/ship_spawn.h"

namespace NetMsgs {

namespace {

// Position, velocity, acceleration and rotation, shared by snapshot and spawn.
template <typename ShipRecord>
ShipRecord with_ship_motion(ShipRecord record, const Ships& ships, std::uint32_t index) {
    record.x = ships.x[index];
    record.y = ships.y[index];
    record.vel_x = ships.vel_x[index];
    record.vel_y = ships.vel_y[index];
    record.acc_x = ships.acc_x[index];
    record.acc_y = ships.acc_y[index];
    record.rot = ships.rot[index];
    return record;
}

}  // namespace

std::optional<ShipSnapshot> ShipSnapshot::from_store(const DenseListKeyed<Ships>& list,
                                                     std::uint32_t index) {
    const std::optional<std::uint32_t> id = list.get_id_by_index(index);
    if (!id) {
        return std::nullopt;
    }
    return with_ship_motion(ShipSnapshot{.id = *id}, list.dense_list, index);
}

std::optional<ShipSpawn> ShipSpawn::from_store(const DenseListKeyed<Ships>& list,
                                               std::uint32_t index) {
    const std::optional<std::uint32_t> id = list.get_id_by_index(index);
    if (!id) {
        return std::nullopt;
    }
    const ShipSpawn spawn{.id = *id, .ship_type = list.dense_list.type[index]};
    return with_ship_motion(spawn, list.dense_list, index);
}

std::optional<MountSpawn> MountSpawn::from_store(const DenseListKeyed<Mounts>& list,
                                                 std::uint32_t index) {
    const std::optional<std::uint32_t> id = list.get_id_by_index(index);
    if (!id) {
        return std::nullopt;
    }
    const Mounts& mounts = list.dense_list;
    return MountSpawn{.id = *id,
                      .ship_id = mounts.parent_key[index].id,
                      .ship_mount_index = mounts.ship_mount_index[index],
                      .mount_type = mounts.type[index]};
}

std::optional<MountSnapshot> MountSnapshot::from_store(const DenseListKeyed<Mounts>& list,
                                                       std::uint32_t index) {
    const std::optional<std::uint32_t> id = list.get_id_by_index(index);
    if (!id) {
        return std::nullopt;
    }
    return MountSnapshot{.id = *id, .rot = list.dense_list.rot[index]};
}

std::optional<ProjectileSpawn> ProjectileSpawn::from_store(const DenseListKeyed<Projectiles>& list,
                                                           std::uint32_t index) {
    if (!list.get_id_by_index(index)) {
        return std::nullopt;
    }
    return ProjectileSpawn{.mount_id = list.dense_list.mount_key[index].id};
}

}  // namespace NetMsgs
