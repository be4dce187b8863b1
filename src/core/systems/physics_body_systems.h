#pragma once

// Collision bodies follow their owners.

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>

#include <spdlog/spdlog.h>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "lib/c2/c2.h"

template <typename T>
concept PhysicsBodyOwner = requires(T& s, std::size_t i) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.x[i] } -> std::convertible_to<float>;
    { s.y[i] } -> std::convertible_to<float>;
    { s.rot[i] } -> std::convertible_to<float>;
    { s.physics_body_key[i] } -> std::same_as<DenseListKey&>;
};

// Rebuilds every owner's body from the owner's pose: the configured polygons
// turned and moved into the world, made convex, and the box around them.
template <PhysicsBodyOwner T>
void update_physics_bodies(DenseListKeyed<PhysicsBodies>& physics_bodies_store, DenseListKeyed<T>& owner_store) {
    PhysicsBodies& bodies = physics_bodies_store.dense_list;
    T& owners = owner_store.dense_list;
    for (std::uint32_t owner_idx = 0; owner_idx < owners.size(); ++owner_idx) {
        const float x = owners.x[owner_idx];
        const float y = owners.y[owner_idx];
        const float rot = owners.rot[owner_idx];
        DenseListKey& key = owners.physics_body_key[owner_idx];
        const auto phys_body_idx = physics_bodies_store.get_index_by_key(key);
        if (!phys_body_idx) {
            SPDLOG_WARN("Missing phys_body_idx for owner with id: {}", key.id);
            continue;
        }
        const std::uint32_t b = *phys_body_idx;
        const float c = std::cos(rot);
        const float s = std::sin(rot);
        bodies.aabb_x_min[b] = std::numeric_limits<float>::max();
        bodies.aabb_y_min[b] = std::numeric_limits<float>::max();
        bodies.aabb_x_max[b] = std::numeric_limits<float>::lowest();
        bodies.aabb_y_max[b] = std::numeric_limits<float>::lowest();
        const auto& config_polygons = bodies.config_polygons[b];
        auto& polygons = bodies.polygons[b];
        const std::size_t poly_count = std::min(config_polygons.size(), polygons.size());
        for (std::size_t poly_idx = 0; poly_idx < poly_count; ++poly_idx) {
            const auto& config_polygon = config_polygons[poly_idx];
            c2Poly& poly = polygons[poly_idx];
            // A polygon holds at most eight vertices; further ones cannot be placed.
            poly.count = static_cast<int>(std::min<std::size_t>(config_polygon.size(), C2_MAX_POLYGON_VERTS));
            for (int v = 0; v < poly.count; ++v) {
                const auto [static_x, static_y] = config_polygon[static_cast<std::size_t>(v)];
                const float wx = (static_x * c - static_y * s) + x;
                const float wy = (static_x * s + static_y * c) + y;
                poly.verts[v] = c2v{wx, wy};
                bodies.aabb_x_min[b] = std::min(bodies.aabb_x_min[b], wx);
                bodies.aabb_x_max[b] = std::max(bodies.aabb_x_max[b], wx);
                bodies.aabb_y_min[b] = std::min(bodies.aabb_y_min[b], wy);
                bodies.aabb_y_max[b] = std::max(bodies.aabb_y_max[b], wy);
            }
            c2MakePoly(&poly);
        }
        bodies.x[b] = x;
        bodies.y[b] = y;
    }
}
