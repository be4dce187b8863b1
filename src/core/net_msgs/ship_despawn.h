#pragma once

#include <cstdint>

namespace NetMsgs {

struct ShipDespawn {
    std::uint32_t id = 0;

    bool operator==(const ShipDespawn&) const = default;
};

}  // namespace NetMsgs
