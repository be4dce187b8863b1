#pragma once

#include <cstdint>

namespace NetMsgs {

struct ShipSnapshot {
    std::uint32_t id = 0;
    float x = 0;
    float y = 0;
    float vel_x = 0;
    float vel_y = 0;
    float acc_x = 0;
    float acc_y = 0;
    float rot = 0;

    bool operator==(const ShipSnapshot&) const = default;
};

}  // namespace NetMsgs
