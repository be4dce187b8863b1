#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/math/math.h"
#include "core/mount_type/mount_type.h"

// One mount slot of a ship variant. The file holds the position in image
// pixels relative to the ship's centroid (y up); the loader turns `pos_x` and
// `pos_y` into world units and keeps the file's numbers in the *_src fields.
struct MountStats {
    float pos_x = 0.0f;
    float pos_y = 0.0f;
    float pos_x_src = 0.0f;
    float pos_y_src = 0.0f;
    float rot_neut = 0.0f;
    float rot_range = 0.0f;
    MountType mount_type{};
};

// One ship variant. Paths, source polygons and the centroid ratio are derived
// at load and never written to the file.
struct ShipConfig {
    float max_speed = 0.0f;
    float max_acc = 0.0f;
    float max_ang_vel = 0.0f;
    float max_ang_acc = 0.0f;
    float scale = 0.0f;
    std::string image_path;
    std::string src_path;
    std::string build_path;
    float image_width = 0.0f;
    float image_height = 0.0f;
    std::uint32_t type = 0;
    std::string display_name;
    std::vector<MountStats> mounts;
    Polygons polygons;
    Polygons src_polygons;
    Vec2 centroid_ratio{0.0f, 0.0f};
};

void to_json(nlohmann::json& j, const MountStats& stats);
void from_json(const nlohmann::json& j, MountStats& stats);
void to_json(nlohmann::json& j, const ShipConfig& config);
void from_json(const nlohmann::json& j, ShipConfig& config);
