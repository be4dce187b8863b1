#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/projectile_type/projectile_type.h"

// One row per projectile in flight, one contiguous column per field.
class Projectiles {
public:
    std::vector<ProjectileType> type;
    std::vector<DenseListKey> mount_key;
    std::vector<float> x;
    std::vector<float> y;
    std::vector<float> rot;
    std::vector<float> speed;
    std::vector<float> inherited_vel_x;
    std::vector<float> inherited_vel_y;

    std::uint32_t size() const { return static_cast<std::uint32_t>(x.size()); }
    // Appends a SmallOne row with every other field zero.
    void push_back();
    bool pop_back();
    bool swap_remove(std::uint32_t idx);

    auto columns() {
        return std::tie(type, mount_key, x, y, rot, speed, inherited_vel_x, inherited_vel_y);
    }
};
