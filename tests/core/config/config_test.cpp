#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "core/config/config.h"

using test_support::AssetTree;
using test_support::read_file;

namespace {

// The committed source copy that a build copy path stands for.
std::string committed_copy(const std::string& build_path) {
    return "src" + build_path.substr(std::string("build").size());
}

template <typename Map, typename Save>
void expect_byte_for_byte(const Map& configs, Save save) {
    for (const auto& [type, record] : configs) {
        const std::string original = read_file(record.build_path);
        save(record);
        EXPECT_EQ(read_file(record.src_path), original) << record.src_path;
        EXPECT_EQ(read_file(record.build_path), original) << record.build_path;
    }
}

bool convex_counter_clockwise(const Polygon& p) {
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Vec2& a = p[i];
        const Vec2& b = p[(i + 1) % p.size()];
        const Vec2& c = p[(i + 2) % p.size()];
        if ((b.first - a.first) * (c.second - b.second) -
                (b.second - a.second) * (c.first - b.first) <=
            0) {
            return false;
        }
    }
    return true;
}

bool inside(const Polygons& polygons, Vec2 point) {
    return std::any_of(polygons.begin(), polygons.end(), [&](const Polygon& p) {
        for (std::size_t i = 0; i < p.size(); ++i) {
            const Vec2& a = p[i];
            const Vec2& b = p[(i + 1) % p.size()];
            if ((b.first - a.first) * (point.second - a.second) -
                    (b.second - a.second) * (point.first - a.first) <
                0) {
                return false;
            }
        }
        return true;
    });
}

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The image named by a record is a PNG of the size the record gives.
template <typename Record>
void expect_image(const Record& record) {
    const std::string png = read_file("build/" + record.image_path);
    ASSERT_GT(png.size(), 24u) << record.image_path;
    EXPECT_EQ(png.substr(1, 3), "PNG") << record.image_path;
    EXPECT_EQ(static_cast<float>(big_endian(png, 16)), record.image_width) << record.image_path;
    EXPECT_EQ(static_cast<float>(big_endian(png, 20)), record.image_height) << record.image_path;
}

float length_in_world_units(const ShipConfig& ship) {
    float low = ship.image_height;
    float high = 0.0f;
    for (const auto& polygon : ship.src_polygons) {
        for (const auto& [x, y] : polygon) {
            low = std::min(low, y);
            high = std::max(high, y);
        }
    }
    return (high - low) * ship.scale;
}

int size_class(ShipType type) { return (static_cast<int>(type) - 1000) / 100; }

}  // namespace

TEST(Config, LoadsEveryVariantUnderItsType) {
    const Config config;
    ASSERT_EQ(config.ship_configs.size(), 12u);
    ASSERT_EQ(config.mount_configs.size(), 9u);
    ASSERT_EQ(config.projectile_configs.size(), 9u);
    for (std::size_t i = 0; i < ordered_ship_types.size(); ++i) {
        const ShipConfig& ship = config.ship_configs.at(ordered_ship_types[i]);
        EXPECT_EQ(ship.type, static_cast<std::uint32_t>(ordered_ship_types[i]));
        EXPECT_EQ(ship.display_name, ordered_ship_type_names[i]);
    }
    for (const MountType type : ordered_mount_types) {
        EXPECT_EQ(config.mount_configs.at(type).type, static_cast<std::uint32_t>(type));
    }
    for (const ProjectileType type : ordered_projectile_types) {
        EXPECT_EQ(config.projectile_configs.at(type).type, static_cast<std::uint32_t>(type));
    }
}

TEST(Config, ACopyIsIndependentOfItsOriginal) {
    const Config original;
    Config copy = original;
    EXPECT_EQ(copy.ship_configs.at(ShipType::CruiserTwo).polygons,
              original.ship_configs.at(ShipType::CruiserTwo).polygons);
    copy.ship_configs.at(ShipType::FrigateOne).max_speed = 1.0f;
    copy.mount_configs.erase(MountType::LargeOne);
    copy.projectile_configs.at(ProjectileType::SmallOne).polygons.clear();
    EXPECT_NE(original.ship_configs.at(ShipType::FrigateOne).max_speed, 1.0f);
    EXPECT_TRUE(original.mount_configs.contains(MountType::LargeOne));
    EXPECT_FALSE(original.projectile_configs.at(ProjectileType::SmallOne).polygons.empty());
}

TEST(Config, OneMissingFileStopsTheConstruction) {
    AssetTree tree;
    std::filesystem::remove(AssetTree::path("build", "mounts", "mount_large_three"));
    EXPECT_THROW(Config(), nlohmann::json::parse_error);
}

TEST(GameContent, EveryFileSavesBackByteForByte) {
    {
        const Config config;
        for (const auto& [type, ship] : config.ship_configs) {
            EXPECT_EQ(read_file(ship.build_path), read_file(committed_copy(ship.build_path)))
                << "build copy differs from " << committed_copy(ship.build_path);
        }
    }
    AssetTree tree;
    const Config config;
    expect_byte_for_byte(config.ship_configs, save_ship_config);
    expect_byte_for_byte(config.mount_configs, save_mount_config);
    expect_byte_for_byte(config.projectile_configs, save_projectile_config);
    EXPECT_EQ(tree.leftover_temp_files(), 0);
}

TEST(GameContent, ShipHullsAreCollisionPolygonsWithSlotsOnThem) {
    const Config config;
    for (const auto& [type, ship] : config.ship_configs) {
        SCOPED_TRACE(ship.display_name);
        ASSERT_FALSE(ship.src_polygons.empty());
        for (const auto& polygon : ship.src_polygons) {
            EXPECT_GE(polygon.size(), 3u);
            EXPECT_LE(polygon.size(), 8u);
            EXPECT_TRUE(convex_counter_clockwise(polygon));
        }
        const Vec2 centroid = centroid_of_polygons(ship.src_polygons);
        for (const auto& slot : ship.mounts) {
            EXPECT_TRUE(inside(ship.src_polygons, {centroid.first + slot.pos_x_src,
                                                   centroid.second + slot.pos_y_src}));
            EXPECT_TRUE(config.mount_configs.contains(slot.mount_type));
        }
        expect_image(ship);
    }
}

TEST(GameContent, ShipsGrowSlowerAndBetterArmedWithTheirClass) {
    const Config config;
    const std::size_t min_slots[] = {1, 3, 4, 6};
    const std::size_t max_slots[] = {2, 4, 6, 8};
    for (const auto& [type, ship] : config.ship_configs) {
        SCOPED_TRACE(ship.display_name);
        const int cls = size_class(type);
        EXPECT_GE(ship.mounts.size(), min_slots[cls]);
        EXPECT_LE(ship.mounts.size(), max_slots[cls]);
        EXPECT_GE(ship.max_speed, 150.0f);
        EXPECT_LE(ship.max_speed, 600.0f);
        for (const auto& [other_type, other] : config.ship_configs) {
            if (size_class(other_type) > cls) {
                EXPECT_LT(other.max_ang_vel, ship.max_ang_vel) << other.display_name;
                EXPECT_GT(length_in_world_units(other), length_in_world_units(ship))
                    << other.display_name;
            }
        }
    }
    for (const ShipType frigate : {ShipType::FrigateOne, ShipType::FrigateFour}) {
        const float length = length_in_world_units(config.ship_configs.at(frigate));
        EXPECT_GE(length, 40.0f);
        EXPECT_LE(length, 60.0f);
    }
    for (const ShipType battleship : {ShipType::BattleshipOne, ShipType::BattleshipTwo}) {
        const float length = length_in_world_units(config.ship_configs.at(battleship));
        EXPECT_GE(length, 250.0f);
        EXPECT_LE(length, 400.0f);
    }
}

TEST(GameContent, MountsAndProjectilesArePlayable) {
    const Config config;
    for (const auto& [type, mount] : config.mount_configs) {
        SCOPED_TRACE(mount.image_path);
        EXPECT_GE(mount.cooldown, 0.1f);
        EXPECT_LE(mount.cooldown, 2.0f);
        EXPECT_GE(mount.rot_ang_vel, 1.0f);
        EXPECT_LE(mount.rot_ang_vel, 6.0f);
        EXPECT_TRUE(
            config.projectile_configs.contains(static_cast<ProjectileType>(mount.projectile_type)));
        EXPECT_FALSE(mount.polygons.empty());
        expect_image(mount);
    }
    for (const auto& [type, projectile] : config.projectile_configs) {
        SCOPED_TRACE(projectile.image_path);
        EXPECT_GE(projectile.speed, 500.0f);
        EXPECT_LE(projectile.speed, 1600.0f);
        EXPECT_FALSE(projectile.polygons.empty());
        expect_image(projectile);
    }
}
