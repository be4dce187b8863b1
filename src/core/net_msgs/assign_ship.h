#pragma once

#include <cstdint>

namespace NetMsgs {

struct AssignShip {
    std::uint32_t ship_id = 0;

    bool operator==(const AssignShip&) const = default;
};

}  // namespace NetMsgs
