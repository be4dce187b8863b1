#pragma once

#include <cstdint>

#include "core/ship_type/ship_type.h"

namespace NetMsgs {

struct ShipSpawn {
    std::uint32_t id = 0;
    ShipType ship_type = ShipType::FrigateOne;
    float x = 0;
    float y = 0;
    float vel_x = 0;
    float vel_y = 0;
    float acc_x = 0;
    float acc_y = 0;
    float rot = 0;

    bool operator==(const ShipSpawn&) const = default;
};

}  // namespace NetMsgs
