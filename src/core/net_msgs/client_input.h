#pragma once

#include <cstdint>

namespace NetMsgs {

struct ClientInput {
    bool up = false;
    bool down = false;
    bool right = false;
    bool left = false;
    bool fire = false;
    bool shift = false;
    bool c = false;
    float mouse_dir_x = 0;
    float mouse_dir_y = 0;
    float mouse_world_x = 0;
    float mouse_world_y = 0;

    bool operator==(const ClientInput&) const = default;
};

}  // namespace NetMsgs
