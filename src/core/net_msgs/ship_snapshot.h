#pragma once

#include <cstdint>
#include <optional>

#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

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

    // Row `index` of the ship list; empty when that row has no id.
    static std::optional<ShipSnapshot> from_store(const DenseListKeyed<Ships>& list,
                                                  std::uint32_t index);
};

}  // namespace NetMsgs
