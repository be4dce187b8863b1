#include "core/projectile_config/projectile_config.h"

void to_json(nlohmann::json& j, const ProjectileConfig& config) {
    j = nlohmann::json{
        {"image_height", config.image_height},
        {"image_path", config.image_path},
        {"image_width", config.image_width},
        {"polygons", config.polygons},
        {"scale", config.scale},
        {"speed", config.speed},
        {"type", config.type},
    };
}

void from_json(const nlohmann::json& j, ProjectileConfig& config) {
    j.at("type").get_to(config.type);
    j.at("scale").get_to(config.scale);
    j.at("image_path").get_to(config.image_path);
    j.at("image_width").get_to(config.image_width);
    j.at("image_height").get_to(config.image_height);
    j.at("speed").get_to(config.speed);
    j.at("polygons").get_to(config.polygons);
    j.at("polygons").get_to(config.src_polygons);
}
