#pragma once

#include <cstdint>
#include <optional>

namespace NetMsgs {

struct ShipSnapshot {
    std::uint32_t id = 0;
    float x = 0;
    float y = 0;
    float vel_x = 0;
    float vel_y = 0;
    float acc_x = 0;
    float acc_y = 0;
    float rot = 0;

    bool operator==(const ShipSnapshot&) const = default;

    // Row `index` of the ship list (DenseListKeyed<Ships>); empty when that row has no id.
    // Defined, for that list only, in from_store.cpp.
    template <typename ShipList>
    static std::optional<ShipSnapshot> from_store(const ShipList& list, std::uint32_t index);
};

}  // namespace NetMsgs
