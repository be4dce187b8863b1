#pragma once

#include <cstdint>
#include <tuple>
#include <vector>

#include "core/component_type/component_type.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/math/math.h"
#include "lib/c2/c2.h"

// The owner's configured polygons placed in the world, as the collision
// layer takes them.
using WorldPolygons = std::vector<c2Poly>;

// One row per collision body, one contiguous column per field.
class PhysicsBodies {
public:
    std::vector<float> x;
    std::vector<float> y;
    std::vector<Polygons> config_polygons;
    std::vector<WorldPolygons> polygons;
    std::vector<float> aabb_x_min;
    std::vector<float> aabb_x_max;
    std::vector<float> aabb_y_min;
    std::vector<float> aabb_y_max;
    std::vector<DenseListKey> owner_component_key;
    std::vector<ComponentType> owner_component_type;
    // Set while the spatial index leaves the body out, so that is logged once.
    std::vector<bool> left_out_of_index;

    std::uint32_t size() const { return static_cast<std::uint32_t>(x.size()); }
    // Appends a ship-owned row with empty polygon lists and a zero bounding box.
    void push_back();
    bool pop_back();
    bool swap_remove(std::uint32_t idx);

    auto columns() {
        return std::tie(x, y, config_polygons, polygons, aabb_x_min, aabb_x_max, aabb_y_min,
                        aabb_y_max, owner_component_key, owner_component_type, left_out_of_index);
    }
};
