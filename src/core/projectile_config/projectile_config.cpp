#include "core/projectile_config/projectile_config.h"

#include "core/config_bounds/config_bounds.h"
#include "core/projectile_type/projectile_type.h"

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
    config.type = static_cast<std::uint32_t>(read_type(j, "type", ordered_projectile_types, "projectile"));
    config.scale = read_float(j, "scale", ConfigBounds::scale);
    config.image_path = read_text(j, "image_path");
    config.image_width = read_float(j, "image_width", ConfigBounds::image_size);
    config.image_height = read_float(j, "image_height", ConfigBounds::image_size);
    config.speed = read_float(j, "speed", ConfigBounds::projectile_speed);
    config.polygons = read_polygons(j, "polygons");
    config.src_polygons = config.polygons;
}
