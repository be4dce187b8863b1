#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_type/projectile_type.h"

// One row per mount (turret) on a ship, one contiguous column per field.
class Mounts {
public:
    std::vector<MountType> type;
    std::vector<ProjectileType> projectile_type;
    // Slot of the mount in its ship configuration's list of mounts.
    std::vector<std::uint32_t> ship_mount_index;
    std::vector<DenseListKey> parent_key;
    std::vector<float> x;
    std::vector<float> y;
    std::vector<float> rot;
    std::vector<float> local_x;
    std::vector<float> local_y;
    std::vector<float> parent_x;
    std::vector<float> parent_y;
    std::vector<float> parent_rot;
    std::vector<float> neut_rot;
    std::vector<float> rot_range_radians;
    std::vector<float> target_rot;
    std::vector<float> ang_vel;
    std::vector<bool> is_active;
    std::vector<float> cooldown;
    std::vector<float> cooldown_max;
    std::vector<std::uint32_t> ammo;
    std::vector<bool> has_ammo;

    std::uint32_t size() const { return static_cast<std::uint32_t>(x.size()); }
    // Appends a SmallOne mount firing SmallOne projectiles, every other field zero.
    void push_back();
    bool pop_back();
    bool swap_remove(std::uint32_t idx);

    auto columns() {
        return std::tie(type, projectile_type, ship_mount_index, parent_key, x, y, rot, local_x,
                        local_y, parent_x, parent_y, parent_rot, neut_rot, rot_range_radians,
                        target_rot, ang_vel, is_active, cooldown, cooldown_max, ammo, has_ammo);
    }
};
