#pragma once

#include <cstdint>
#include <optional>

#include "core/components/projectiles/projectiles.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

namespace NetMsgs {

struct ProjectileSpawn {
    std::uint32_t mount_id = 0;

    bool operator==(const ProjectileSpawn&) const = default;

    // Row `index` of the projectile list; empty when that row has no id.
    static std::optional<ProjectileSpawn> from_store(const DenseListKeyed<Projectiles>& list,
                                                     std::uint32_t index);
};

}  // namespace NetMsgs
