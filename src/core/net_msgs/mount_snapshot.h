#pragma once

#include <cstdint>
#include <optional>

namespace NetMsgs {

struct MountSnapshot {
    std::uint32_t id = 0;
    float rot = 0;

    bool operator==(const MountSnapshot&) const = default;

    // Row `index` of the mount list (DenseListKeyed<Mounts>); empty when that row has no id.
    // Defined, for that list only, in from_store.cpp.
    template <typename MountList>
    static std::optional<MountSnapshot> from_store(const MountList& list, std::uint32_t index);
};

}  // namespace NetMsgs
