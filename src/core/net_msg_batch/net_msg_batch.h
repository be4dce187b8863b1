#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "core/net_msgs/ship_snapshot.h"
#include "core/net_msgs/ship_spawn.h"
#include "core/net_msgs/ship_despawn.h"
#include "core/net_msgs/client_input.h"
#include "core/net_msgs/mount_spawn.h"
#include "core/net_msgs/mount_snapshot.h"
#include "core/net_msgs/mount_despawn.h"
#include "core/net_msgs/projectile_spawn.h"
#include "core/net_msgs/assign_ship.h"
#include "core/net_msgs/assign_mount.h"
#include "core/net_msgs/capture_the_flag_match_state.h"
#include "core/net_msgs/client_connected.h"
#include "core/net_msgs/client_disconnected.h"
#include "core/net_msgs/server_connected.h"
#include "core/net_msgs/server_disconnected.h"

// The position of an alternative is its tag on the wire: never reorder.
using NetMsg = std::variant<
    NetMsgs::ShipSnapshot,
    NetMsgs::ShipSpawn,
    NetMsgs::ShipDespawn,
    NetMsgs::ClientInput,
    NetMsgs::MountSpawn,
    NetMsgs::MountSnapshot,
    NetMsgs::MountDespawn,
    NetMsgs::ProjectileSpawn,
    NetMsgs::AssignShip,
    NetMsgs::AssignMount,
    NetMsgs::CaptureTheFlagMatchState,
    NetMsgs::ClientConnected,
    NetMsgs::ClientDisconnected,
    NetMsgs::ServerConnected,
    NetMsgs::ServerDisconnected>;

// One ENet packet carries one batch; receivers ignore the tick.
struct NetMsgBatch {
    std::uint32_t tick = 0;
    std::vector<NetMsg> messages;

    bool operator==(const NetMsgBatch&) const = default;
};
