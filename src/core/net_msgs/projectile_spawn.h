#pragma once

#include <cstdint>

namespace NetMsgs {

struct ProjectileSpawn {
    std::uint32_t mount_id = 0;

    bool operator==(const ProjectileSpawn&) const = default;
};

}  // namespace NetMsgs
