#pragma once

#include <cstdint>
#include <optional>

namespace NetMsgs {

struct ProjectileSpawn {
    std::uint32_t mount_id = 0;

    bool operator==(const ProjectileSpawn&) const = default;

    // Row `index` of the projectile list (DenseListKeyed<Projectiles>); empty when that row has no id.
    // Defined, for that list only, in from_store.cpp.
    template <typename ProjectileList>
    static std::optional<ProjectileSpawn> from_store(const ProjectileList& list, std::uint32_t index);
};

}  // namespace NetMsgs
