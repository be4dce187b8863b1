#pragma once

#include <cstdint>

namespace NetMsgs {

struct MountSnapshot {
    std::uint32_t id = 0;
    float rot = 0;

    bool operator==(const MountSnapshot&) const = default;
};

}  // namespace NetMsgs
