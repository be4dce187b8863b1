#include "core/systems/mount_systems.h"

#include "core/constants/constants.h"
#include "core/systems/angle.h"

void rotate_mount(DenseListKeyed<Mounts>& mounts) {
    constexpr float dt = Constants::fixed_tick_interval_seconds;
    constexpr float snap_distance = 0.01f;
    Mounts& m = mounts.dense_list;
    for (std::uint32_t idx = 0; idx < m.size(); ++idx) {
        const float rot_diff = wrap_angle(m.target_rot[idx] - m.rot[idx]);
        if (std::fabs(rot_diff) < snap_distance) {
            m.rot[idx] = m.target_rot[idx];
        } else {
            m.rot[idx] = wrap_angle(m.rot[idx] + std::copysign(m.ang_vel[idx], rot_diff) * dt);
        }
    }
}
