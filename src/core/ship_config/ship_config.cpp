#include "core/ship_config/ship_config.h"

void to_json(nlohmann::json& j, const MountStats& stats) {
    j = nlohmann::json{
        {"mount_type", static_cast<std::uint32_t>(stats.mount_type)},
        {"pos_x", stats.pos_x},
        {"pos_y", stats.pos_y},
        {"rot_neut", stats.rot_neut},
        {"rot_range", stats.rot_range},
    };
}

void from_json(const nlohmann::json& j, MountStats& stats) {
    j.at("pos_x").get_to(stats.pos_x);
    j.at("pos_y").get_to(stats.pos_y);
    j.at("pos_x").get_to(stats.pos_x_src);
    j.at("pos_y").get_to(stats.pos_y_src);
    j.at("rot_neut").get_to(stats.rot_neut);
    j.at("rot_range").get_to(stats.rot_range);
    stats.mount_type = static_cast<MountType>(j.at("mount_type").get<std::uint32_t>());
}

void to_json(nlohmann::json& j, const ShipConfig& config) {
    j = nlohmann::json{
        {"display_name", config.display_name},
        {"image_height", config.image_height},
        {"image_path", config.image_path},
        {"image_width", config.image_width},
        {"max_acc", config.max_acc},
        {"max_ang_acc", config.max_ang_acc},
        {"max_ang_vel", config.max_ang_vel},
        {"max_speed", config.max_speed},
        {"mounts", config.mounts},
        {"polygons", config.polygons},
        {"scale", config.scale},
        {"type", config.type},
    };
}

void from_json(const nlohmann::json& j, ShipConfig& config) {
    j.at("max_speed").get_to(config.max_speed);
    j.at("max_acc").get_to(config.max_acc);
    j.at("max_ang_vel").get_to(config.max_ang_vel);
    j.at("max_ang_acc").get_to(config.max_ang_acc);
    j.at("scale").get_to(config.scale);
    j.at("image_path").get_to(config.image_path);
    j.at("image_width").get_to(config.image_width);
    j.at("image_height").get_to(config.image_height);
    j.at("type").get_to(config.type);
    j.at("display_name").get_to(config.display_name);
    j.at("mounts").get_to(config.mounts);
    j.at("polygons").get_to(config.polygons);
    j.at("polygons").get_to(config.src_polygons);
}
