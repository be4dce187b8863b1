#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "core/math/math.h"

// One projectile variant.
struct ProjectileConfig {
    std::uint32_t type = 0;
    float scale = 0.0f;
    std::string image_path;
    std::string src_path;
    std::string build_path;
    float image_width = 0.0f;
    float image_height = 0.0f;
    float speed = 0.0f;
    Polygons polygons;
    Polygons src_polygons;
    Vec2 centroid_ratio{0.0f, 0.0f};
};

void to_json(nlohmann::json& j, const ProjectileConfig& config);
void from_json(const nlohmann::json& j, ProjectileConfig& config);
