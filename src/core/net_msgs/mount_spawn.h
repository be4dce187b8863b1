#pragma once

#include <cstdint>
#include <optional>

#include "core/components/mounts/mounts.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/mount_type/mount_type.h"

namespace NetMsgs {

struct MountSpawn {
    std::uint32_t id = 0;
    std::uint32_t ship_id = 0;
    std::uint32_t ship_mount_index = 0;
    MountType mount_type = MountType::SmallOne;

    bool operator==(const MountSpawn&) const = default;

    // Row `index` of the mount list; empty when that row has no id.
    static std::optional<MountSpawn> from_store(const DenseListKeyed<Mounts>& list,
                                                std::uint32_t index);
};

}  // namespace NetMsgs
