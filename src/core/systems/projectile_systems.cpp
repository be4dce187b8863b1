#include "core/systems/projectile_systems.h"

#include <cmath>
#include <optional>
#include <set>

#include <spdlog/spdlog.h>

#include "core/constants/constants.h"
#include "core/math/math.h"

namespace {

constexpr float dt = Constants::fixed_tick_interval_seconds;

struct BodyHit {
    std::uint32_t body_idx;
    c2Raycast raycast;
};

// Tests the ray against the bodies listed in one cell, in their order there,
// skipping those already tested and the firing ship's own; the first body hit
// wins. A position without a cell looks nothing up.
std::optional<BodyHit> first_body_hit(const std::optional<Cell>& cell, SpatialIndex& spatial_index,
                                      PhysicsBodies& bodies, std::set<std::uint32_t>& checked_bodies, c2Ray& ray,
                                      std::uint32_t firing_ship_id) {
    if (!cell) {
        return std::nullopt;
    }
    for (const std::uint32_t body_idx : spatial_index[*cell]) {
        if (body_idx >= bodies.size() || !checked_bodies.insert(body_idx).second) {
            continue;
        }
        if (firing_ship_id != 0 && bodies.owner_component_type[body_idx] == ComponentType::Ship &&
            bodies.owner_component_key[body_idx].id == firing_ship_id) {
            continue;
        }
        c2Raycast raycast{};
        if (ray_to_polygons(ray, bodies.polygons[body_idx], &raycast)) {
            return BodyHit{body_idx, raycast};
        }
    }
    return std::nullopt;
}

// The id of the ship that carries the projectile's firing mount, or 0 when
// the projectile names no mount.
std::uint32_t firing_ship_id(const DenseListKeyed<Mounts>& mount_store, DenseListKey& mount_key) {
    if (mount_key.id == 0) {
        return 0;
    }
    const std::optional<std::uint32_t> mount_idx = mount_store.get_index_by_key(mount_key);
    return mount_idx ? mount_store.dense_list.parent_key[*mount_idx].id : 0;
}

}  // namespace

void fire_mount(DenseListKeyed<Mounts>& mounts, DenseListKeyed<Projectiles>& projectiles,
                DenseListKeyed<Ships>& ships, Config* config) {
    Mounts& m = mounts.dense_list;
    const Ships& s = ships.dense_list;
    for (std::uint32_t idx = 0; idx < m.size(); ++idx) {
        if (!m.is_active[idx] || m.cooldown[idx] > 0.0f) {
            continue;
        }
        const bool shortage_reported = projectiles.out_of_free_ids();
        const DenseListKey projectile_key = projectiles.push_back(-1);
        if (projectile_key.id == 0) {
            // The rest of this tick's mounts would fail the same way. A held
            // trigger retries every tick, so only the shortage's start is logged.
            if (!shortage_reported) {
                SPDLOG_WARN("fire_mount: no free projectile id left, mounts hold their fire");
            }
            return;
        }
        SPDLOG_INFO("Spawning projectile");
        m.cooldown[idx] = m.cooldown_max[idx];
        // The parent's row is taken as stored; ships are never removed, so it stays valid.
        const std::uint32_t ship_idx = m.parent_key[idx].index;
        const bool has_ship = ship_idx < s.size();
        const DenseListKey mount_key = mounts.make_key_for_index(idx).value();
        const ProjectileConfig& projectile_config = config->projectile_configs[m.projectile_type[idx]];

        Projectiles& p = projectiles.dense_list;
        const std::uint32_t row = projectile_key.index;
        p.type[row] = static_cast<ProjectileType>(projectile_config.type);
        p.mount_key[row] = mount_key;
        p.x[row] = m.x[idx];
        p.y[row] = m.y[idx];
        p.speed[row] = projectile_config.speed;
        p.rot[row] = m.rot[idx];
        p.inherited_vel_x[row] = has_ship ? s.vel_x[ship_idx] : 0.0f;
        p.inherited_vel_y[row] = has_ship ? s.vel_y[ship_idx] : 0.0f;
    }
}

void update_projectiles(DenseListKeyed<Projectiles>& projectile_store, const DenseListKeyed<Mounts>& mount_store,
                        DenseListKeyed<PhysicsBodies>& physics_bodies_store, SpatialIndex& spatial_index,
                        std::vector<ProjectileHit>& hits) {
    Projectiles& p = projectile_store.dense_list;
    PhysicsBodies& bodies = physics_bodies_store.dense_list;
    for (std::uint32_t proj_idx = 0; proj_idx < p.size(); ++proj_idx) {
        const float x = p.x[proj_idx];
        const float y = p.y[proj_idx];
        const float base_speed = p.speed[proj_idx];
        const float base_dir_x = std::cos(p.rot[proj_idx]);
        const float base_dir_y = std::sin(p.rot[proj_idx]);
        const float vel_x = p.inherited_vel_x[proj_idx] + base_dir_x * base_speed;
        const float vel_y = p.inherited_vel_y[proj_idx] + base_dir_y * base_speed;
        const float v = magnitude_of_vector(vel_x, vel_y);
        const auto [dir_x, dir_y] = normalize_vector(vel_x, vel_y, v);
        const float dest_x = x + vel_x * dt;
        const float dest_y = y + vel_y * dt;

        c2Ray ray{{x, y}, {dir_x, dir_y}, v * dt};
        const std::uint32_t own_ship_id = firing_ship_id(mount_store, p.mount_key[proj_idx]);
        std::set<std::uint32_t> checked_bodies;
        auto hit = first_body_hit(cell_of_position(x, y), spatial_index, bodies, checked_bodies, ray, own_ship_id);
        if (!hit) {
            hit = first_body_hit(cell_of_position(dest_x, dest_y), spatial_index, bodies, checked_bodies, ray,
                                 own_ship_id);
        }
        if (!hit) {
            p.x[proj_idx] = dest_x;
            p.y[proj_idx] = dest_y;
            continue;
        }
        const float t = hit->raycast.t;
        hits.push_back(ProjectileHit{
            .projectile_id = projectile_store.get_id_by_index(proj_idx).value_or(0),
            .owner_component_id = bodies.owner_component_key[hit->body_idx].id,
            .owner_component_type = bodies.owner_component_type[hit->body_idx],
            .hit_x = t * dir_x + x,
            .hit_y = t * dir_y + y,
            .normal_x = hit->raycast.n.x,
            .normal_y = hit->raycast.n.y,
        });
    }
}

void remove_hit_projectiles(DenseListKeyed<Projectiles>& projectile_store, std::vector<ProjectileHit>& hits) {
    for (const ProjectileHit& hit : hits) {
        SPDLOG_INFO("Proj hit! Removing");
        projectile_store.remove_by_id(hit.projectile_id);
    }
}
