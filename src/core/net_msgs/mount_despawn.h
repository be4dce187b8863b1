#pragma once

#include <cstdint>

namespace NetMsgs {

struct MountDespawn {
    std::uint32_t id = 0;

    bool operator==(const MountDespawn&) const = default;
};

}  // namespace NetMsgs
