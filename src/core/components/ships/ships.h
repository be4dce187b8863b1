#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/ship_type/ship_type.h"

// One row per ship, one contiguous column per field.
class Ships {
public:
    std::vector<ShipType> type;
    std::vector<std::string> display_name;
    std::vector<DenseListKey> physics_body_key;
    std::vector<float> x;
    std::vector<float> y;
    std::vector<float> vel_x;
    std::vector<float> vel_y;
    std::vector<float> max_speed;
    std::vector<float> max_acc;
    std::vector<float> acc_x;
    std::vector<float> acc_y;
    std::vector<float> ang_vel;
    std::vector<float> max_ang_vel;
    std::vector<float> ang_acc;
    std::vector<float> max_ang_acc;
    std::vector<float> rot;
    std::vector<float> target_rot;

    std::uint32_t size() const { return static_cast<std::uint32_t>(x.size()); }
    // Appends a FrigateOne row with every other field zero or empty.
    void push_back();
    bool pop_back();
    bool swap_remove(std::uint32_t idx);

    auto columns() {
        return std::tie(type, display_name, physics_body_key, x, y, vel_x, vel_y, max_speed,
                        max_acc, acc_x, acc_y, ang_vel, max_ang_vel, ang_acc, max_ang_acc, rot,
                        target_rot);
    }
};
