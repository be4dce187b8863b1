#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/dense_list_keyed/dense_list_keyed.h"

namespace Server {

// The server's record of one player: its ship and mounts, what its client has
// been told of, and the latest input it sent.
struct PlayerState {
    std::uint32_t client_id = 0;
    std::optional<DenseListKey> ship_key;
    std::vector<DenseListKey> mount_keys;  // in mount-slot order
    std::unordered_set<std::uint32_t> known_ship_ids;
    std::unordered_set<std::uint32_t> known_mount_ids;
    std::unordered_set<std::uint32_t> known_projectile_ids;
    bool input_up = false;
    bool input_down = false;
    bool input_right = false;
    bool input_left = false;
    bool input_fire = false;
    bool input_shift = false;
    bool input_c = false;
    // Relative to the client's camera, which follows the player's ship.
    float input_mouse_dir_x = 0;
    float input_mouse_dir_y = 0;
    float input_mouse_world_x = 0;
    float input_mouse_world_y = 0;
};

// The module's player records, keyed by client id.
using Players = std::unordered_map<std::uint32_t, PlayerState>;

}  // namespace Server
