#pragma once

#include <cstdint>

#include "core/mount_type/mount_type.h"

namespace NetMsgs {

struct MountSpawn {
    std::uint32_t id = 0;
    std::uint32_t ship_id = 0;
    std::uint32_t ship_mount_index = 0;
    MountType mount_type = MountType::SmallOne;

    bool operator==(const MountSpawn&) const = default;
};

}  // namespace NetMsgs
