#include "client/systems/update_from_net_msgs/update_from_net_msgs.h"

#include <cstdint>
#include <optional>

namespace Client {

void update_ship_from_ship_snapshot(DenseListKeyed<Ships>& ships, NetMsgs::ShipSnapshot msg) {
    const std::optional<std::uint32_t> row = ships.get_index_by_id(msg.id);
    if (!row) {
        return;
    }
    Ships& rows = ships.dense_list;
    rows.x[*row] = msg.x;
    rows.y[*row] = msg.y;
    rows.rot[*row] = msg.rot;
    rows.vel_x[*row] = msg.vel_x;
    rows.vel_y[*row] = msg.vel_y;
    rows.acc_x[*row] = msg.acc_x;
    rows.acc_y[*row] = msg.acc_y;
}

void update_mount_from_mount_snapshot(DenseListKeyed<Mounts>& mounts, NetMsgs::MountSnapshot msg) {
    const std::optional<std::uint32_t> row = mounts.get_index_by_id(msg.id);
    if (!row) {
        return;
    }
    mounts.dense_list.rot[*row] = msg.rot;
}

void remove_ship_from_ship_despawn(NetMsgs::ShipDespawn) {}

void remove_mount_from_mount_despawn(NetMsgs::MountDespawn) {}

}  // namespace Client
