#include "core/ship_config/ship_config.h"

#include <string>

#include "core/config_bounds/config_bounds.h"
#include "core/ship_type/ship_type.h"

namespace {

using nlohmann::json;

// The slots in order; a refused value names its slot both as the file
// counts it, from 0, and as the Ship editor does, from 1.
std::vector<MountStats> read_slots(const json& slots) {
    read_array(slots, "\"mounts\"");
    check_count("mounts", slots.size(), ConfigBounds::max_ship_slots, "slots");
    std::vector<MountStats> mounts;
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::string slot = fmt::format("\"mounts\"[{}] (slot {})", i, i + 1);
        read_object(slots[i], slot);
        try {
            mounts.push_back(slots[i].get<MountStats>());
        } catch (const ConfigValueError& error) {
            throw ConfigValueError(fmt::format("{} {}", slot, error.what()));
        } catch (const json::out_of_range& missing_key) {
            throw naming_place(missing_key, slot);
        }
    }
    return mounts;
}

}  // namespace

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
    stats.pos_x = read_float(j, "pos_x", ConfigBounds::slot_position);
    stats.pos_y = read_float(j, "pos_y", ConfigBounds::slot_position);
    stats.pos_x_src = stats.pos_x;
    stats.pos_y_src = stats.pos_y;
    stats.rot_neut = read_float(j, "rot_neut", ConfigBounds::any_float);
    stats.rot_range = read_float(j, "rot_range", ConfigBounds::any_float);
    stats.mount_type = read_type(j, "mount_type", ordered_mount_types, "mount");
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
    config.max_speed = read_float(j, "max_speed", ConfigBounds::ship_speed);
    config.max_acc = read_float(j, "max_acc", ConfigBounds::ship_speed);
    config.max_ang_vel = read_float(j, "max_ang_vel", ConfigBounds::ship_turn_rate);
    config.max_ang_acc = read_float(j, "max_ang_acc", ConfigBounds::ship_turn_acceleration);
    config.scale = read_float(j, "scale", ConfigBounds::scale);
    config.image_path = read_text(j, "image_path");
    config.image_width = read_float(j, "image_width", ConfigBounds::image_size);
    config.image_height = read_float(j, "image_height", ConfigBounds::image_size);
    config.type = static_cast<std::uint32_t>(read_type(j, "type", ordered_ship_types, "ship"));
    config.display_name = read_text(j, "display_name");
    config.mounts = read_slots(j.at("mounts"));
    config.polygons = read_polygons(j, "polygons");
    check_count("polygons", config.polygons.size(), ConfigBounds::max_ship_polygons, "polygons");
    config.src_polygons = config.polygons;
}
