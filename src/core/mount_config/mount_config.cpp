#include "core/mount_config/mount_config.h"

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
    j.at("type").get_to(config.type);
    j.at("projectile_type").get_to(config.projectile_type);
    j.at("cooldown").get_to(config.cooldown);
    j.at("scale").get_to(config.scale);
    j.at("image_path").get_to(config.image_path);
    j.at("image_width").get_to(config.image_width);
    j.at("image_height").get_to(config.image_height);
    j.at("rot_ang_vel").get_to(config.rot_ang_vel);
    j.at("polygons").get_to(config.polygons);
    j.at("polygons").get_to(config.src_polygons);
}
