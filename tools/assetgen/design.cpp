#include "design.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include <fmt/format.h>

#include "lib/c2/c2.h"

namespace assetgen {

namespace {

// The collision polygon's capacity in the game.
constexpr std::size_t max_vertices = C2_MAX_POLYGON_VERTS;

[[noreturn]] void fail(const Drawing& drawing, const std::string& what) {
    throw std::runtime_error(fmt::format("{}: {}", drawing.path, what));
}

bool is_convex_counter_clockwise(const Polygon& polygon) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec2& a = polygon[i];
        const Vec2& b = polygon[(i + 1) % polygon.size()];
        const Vec2& c = polygon[(i + 2) % polygon.size()];
        const float turn = (b.first - a.first) * (c.second - b.second) -
                           (b.second - a.second) * (c.first - b.first);
        if (turn <= 0.0f) {
            return false;
        }
    }
    return true;
}

bool contains(const Polygon& polygon, Vec2 p) {
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec2& a = polygon[i];
        const Vec2& b = polygon[(i + 1) % polygon.size()];
        if ((b.first - a.first) * (p.second - a.second) -
                (b.second - a.second) * (p.first - a.first) <
            0.0f) {
            return false;
        }
    }
    return true;
}

// Slot positions land on quarter pixels, which the file prints exactly;
// adding zero turns a negative zero into a plain one.
float quarter_pixel(float value) { return std::round(value * 4.0f) / 4.0f + 0.0f; }

float radians(float degrees) { return degrees * std::numbers::pi_v<float> / 180.0f; }

std::uint32_t type_number(const Drawing& drawing, const std::string& key) {
    return static_cast<std::uint32_t>(drawing.number(key));
}

MountStats slot_design(const Drawing& drawing, const Slot& slot, Vec2 centroid,
                       const Polygons& polygons) {
    const Vec2 image_point{slot.center.x, static_cast<float>(drawing.height) - slot.center.y};
    if (std::none_of(polygons.begin(), polygons.end(),
                     [&](const Polygon& p) { return contains(p, image_point); })) {
        fail(drawing,
             fmt::format("mount slot at ({}, {}) lies off the hull", slot.center.x, slot.center.y));
    }
    MountStats stats;
    stats.pos_x = stats.pos_x_src = quarter_pixel(image_point.first - centroid.first);
    stats.pos_y = stats.pos_y_src = quarter_pixel(image_point.second - centroid.second);
    stats.rot_neut = radians(slot.rot_neut_degrees);
    stats.rot_range = radians(slot.rot_range_degrees);
    stats.mount_type = static_cast<MountType>(slot.mount_type);
    return stats;
}

template <typename Record>
void fill_common(Record& record, const Drawing& drawing, const std::string& kind,
                 const std::string& name) {
    record.type = type_number(drawing, "type");
    record.scale = drawing.number("scale");
    record.image_path = image_path(kind, name);
    record.image_width = static_cast<float>(drawing.width);
    record.image_height = static_cast<float>(drawing.height);
    record.polygons = record.src_polygons = collision_polygons(drawing);
}

}  // namespace

Polygons collision_polygons(const Drawing& drawing) {
    Polygons polygons;
    for (const auto& outline : drawing.collision) {
        Polygon polygon;
        for (const Point& p : outline) {
            polygon.emplace_back(p.x, static_cast<float>(drawing.height) - p.y);
        }
        if (area_of_polygon(polygon) < 0.0f) {
            std::reverse(polygon.begin(), polygon.end());
        }
        if (polygon.size() > max_vertices || !is_convex_counter_clockwise(polygon)) {
            fail(drawing, fmt::format("collision polygon {} is not convex with 3 to {} vertices",
                                      polygons.size(), max_vertices));
        }
        polygons.push_back(std::move(polygon));
    }
    return polygons;
}

std::string image_path(const std::string& kind, const std::string& name) {
    return fmt::format("assets/{}/{}/{}.png", kind, name, name);
}

ShipConfig ship_design(const Drawing& drawing, const std::string& name) {
    ShipConfig config;
    fill_common(config, drawing, "ships", name);
    config.display_name = drawing.property("display-name");
    config.max_speed = drawing.number("max-speed");
    config.max_acc = drawing.number("max-acc");
    config.max_ang_vel = drawing.number("max-ang-vel");
    config.max_ang_acc = drawing.number("max-ang-acc");
    // Shots start inside the hull: a ray leaving one polygon of it would enter
    // the next, so a ship's own hull would stop its own turrets.
    if (config.polygons.size() != 1) {
        fail(drawing, "a ship needs exactly one collision polygon");
    }
    const Vec2 centroid = centroid_of_polygons(config.polygons);
    for (const Slot& slot : drawing.slots) {
        config.mounts.push_back(slot_design(drawing, slot, centroid, config.polygons));
    }
    return config;
}

MountConfig mount_design(const Drawing& drawing, const std::string& name) {
    MountConfig config;
    fill_common(config, drawing, "mounts", name);
    config.projectile_type = type_number(drawing, "projectile-type");
    config.cooldown = drawing.number("cooldown");
    config.rot_ang_vel = drawing.number("rot-ang-vel");
    return config;
}

ProjectileConfig projectile_design(const Drawing& drawing, const std::string& name) {
    ProjectileConfig config;
    fill_common(config, drawing, "projectiles", name);
    config.speed = drawing.number("speed");
    return config;
}

}  // namespace assetgen
