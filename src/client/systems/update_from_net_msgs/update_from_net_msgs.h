#pragma once

#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/net_msgs/mount_despawn.h"
#include "core/net_msgs/mount_snapshot.h"
#include "core/net_msgs/ship_despawn.h"
#include "core/net_msgs/ship_snapshot.h"

// Mirror the server's snapshots into the client's store. A snapshot for an id
// without a row is dropped after the list's own warning.

namespace Client {

// Pose, velocity and acceleration; the body follows at the next fixed tick.
void update_ship_from_ship_snapshot(DenseListKeyed<Ships>& ships, NetMsgs::ShipSnapshot msg);
// Only the world rotation; the position follows the ship at the next fixed tick.
void update_mount_from_mount_snapshot(DenseListKeyed<Mounts>& mounts, NetMsgs::MountSnapshot msg);

// Nothing on the client removes ships or mounts.
void remove_ship_from_ship_despawn(NetMsgs::ShipDespawn msg);
void remove_mount_from_mount_despawn(NetMsgs::MountDespawn msg);

}  // namespace Client
