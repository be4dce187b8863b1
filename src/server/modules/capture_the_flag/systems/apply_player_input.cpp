#include "server/modules/capture_the_flag/systems/apply_player_input.h"

#include <cmath>
#include <cstdint>

#include <spdlog/spdlog.h>

#include "core/math/math.h"

namespace Server {

namespace {

struct Acceleration {
    float x = 0;
    float y = 0;
};

Acceleration scaled_direction(float x, float y, float max_acc) {
    const auto [dir_x, dir_y] = normalize_vector(x, y, magnitude_of_vector(x, y));
    return {dir_x * max_acc, dir_y * max_acc};
}

// Full acceleration against the velocity; none at rest.
Acceleration braking(float vel_x, float vel_y, float max_acc) {
    if (vel_x == 0 && vel_y == 0) {
        return {};
    }
    return scaled_direction(-vel_x, -vel_y, max_acc);
}

// Forward and backward along the heading, strafing along the heading turned
// by -pi/2; opposite keys cancel and a diagonal is no faster than a straight line.
Acceleration thrust(const PlayerState& player, float rot, float max_acc) {
    const auto forward_sign = static_cast<float>(int{player.input_up} - int{player.input_down});
    const auto strafe_sign = static_cast<float>(int{player.input_right} - int{player.input_left});
    const float c = cosf(rot);
    const float n = sinf(rot);
    const float combined_x = c * forward_sign + n * strafe_sign;
    const float combined_y = n * forward_sign + -c * strafe_sign;
    if (combined_x == 0 && combined_y == 0) {
        return {};
    }
    return scaled_direction(combined_x, combined_y, max_acc);
}

void steer_ship(const PlayerState& player, Ships& ships, std::uint32_t ship_index) {
    const float rot = ships.rot[ship_index];
    ships.target_rot[ship_index] =
        player.input_shift ? rot : atan2f(player.input_mouse_dir_y, player.input_mouse_dir_x);
    const Acceleration acc =
        player.input_c ? braking(ships.vel_x[ship_index], ships.vel_y[ship_index],
                                 ships.max_acc[ship_index])
                       : thrust(player, rot, ships.max_acc[ship_index]);
    ships.acc_x[ship_index] = acc.x;
    ships.acc_y[ship_index] = acc.y;
}

void aim_mounts(PlayerState& player, DenseListKeyed<Mounts>& mount_store) {
    Mounts& mounts = mount_store.dense_list;
    for (DenseListKey& mount_key : player.mount_keys) {
        const auto mount_index = mount_store.get_index_by_key(mount_key);
        if (!mount_index) {
            SPDLOG_ERROR("Missing mount index for id: {}", mount_key.id);
            continue;
        }
        mounts.target_rot[*mount_index] = atan2f(player.input_mouse_world_y - mounts.y[*mount_index],
                                                 player.input_mouse_world_x - mounts.x[*mount_index]);
        mounts.is_active[*mount_index] = player.input_fire;
    }
}

}  // namespace

void apply_player_input(Players& players, DenseListKeyed<Ships>& ship_store,
                        DenseListKeyed<Mounts>& mount_store) {
    for (auto& [client_id, player] : players) {
        if (!player.ship_key) {
            continue;  // no ship to steer: its spawn found no free id
        }
        const auto ship_index = ship_store.get_index_by_key(*player.ship_key);
        if (!ship_index) {
            SPDLOG_ERROR("Missing ship index for id: {}", player.ship_key->id);
            continue;
        }
        steer_ship(player, ship_store.dense_list, *ship_index);
        aim_mounts(player, mount_store);
    }
}

}  // namespace Server
