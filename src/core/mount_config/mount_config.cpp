#include "core/mount_config/mount_config.h"

#include "core/config_bounds/config_bounds.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_type/projectile_type.h"

void to_json(nlohmann::json& j, const MountConfig& config) {
    j = nlohmann::json{
        {"cooldown", config.cooldown},
        {"image_height", config.image_height},
        {"image_path", config.image_path},
        {"image_width", config.image_width},
        {"polygons", config.polygons},
        {"projectile_type", config.projectile_type},
        {"rot_ang_vel", config.rot_ang_vel},
        {"scale", config.scale},
        {"type", config.type},
    };
}

void from_json(const nlohmann::json& j, MountConfig& config) {
    config.type = static_cast<std::uint32_t>(read_type(j, "type", ordered_mount_types, "mount"));
    config.projectile_type =
        static_cast<std::uint32_t>(read_type(j, "projectile_type", ordered_projectile_types, "projectile"));
    config.cooldown = read_float(j, "cooldown", ConfigBounds::mount_cooldown);
    config.scale = read_float(j, "scale", ConfigBounds::scale);
    config.image_path = read_text(j, "image_path");
    config.image_width = read_float(j, "image_width", ConfigBounds::image_size);
    config.image_height = read_float(j, "image_height", ConfigBounds::image_size);
    config.rot_ang_vel = read_float(j, "rot_ang_vel", ConfigBounds::mount_turn_speed);
    config.polygons = read_polygons(j, "polygons");
    config.src_polygons = config.polygons;
}
