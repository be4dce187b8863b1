#pragma once

#include <cstdint>
#include <optional>

#include "core/components/mounts/mounts.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

namespace NetMsgs {

struct MountSnapshot {
    std::uint32_t id = 0;
    float rot = 0;

    bool operator==(const MountSnapshot&) const = default;

    // Row `index` of the mount list; empty when that row has no id.
    static std::optional<MountSnapshot> from_store(const DenseListKeyed<Mounts>& list,
                                                   std::uint32_t index);
};

}  // namespace NetMsgs
