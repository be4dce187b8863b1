#pragma once

#include <cstdint>

#include "core/component_type/component_type.h"

// One projectile's hit in a fixed tick, from the flight to the removal.
struct ProjectileHit {
    std::uint32_t projectile_id = 0;
    std::uint32_t owner_component_id = 0;
    ComponentType owner_component_type = ComponentType::Ship;
    float hit_x = 0.0f;
    float hit_y = 0.0f;
    float normal_x = 0.0f;
    float normal_y = 0.0f;
};
