#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "core/math/math.h"

// One mount (turret) variant.
struct MountConfig {
    std::uint32_t type = 0;
    std::uint32_t projectile_type = 0;
    float cooldown = 0.0f;
    float scale = 0.0f;
    std::string image_path;
    std::string src_path;
    std::string build_path;
    float image_width = 0.0f;
    float image_height = 0.0f;
    float rot_ang_vel = 0.0f;
    Polygons polygons;
    Polygons src_polygons;
    Vec2 centroid_ratio{0.0f, 0.0f};
};

void to_json(nlohmann::json& j, const MountConfig& config);
void from_json(const nlohmann::json& j, MountConfig& config);
