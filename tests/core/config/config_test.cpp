#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/asset_helpers/asset_helpers.h"
#include "core/asset_helpers/asset_tree.h"
#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/ships/ships.h"
#include "core/config/config.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/physics/physics.h"
#include "core/systems/systems.h"

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

// Distance of the point from the nearest edge line of a counter-clockwise
// convex polygon: positive inside, negative outside.
float depth_inside(const Polygon& p, Vec2 point) {
    float depth = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i < p.size(); ++i) {
        const Vec2& a = p[i];
        const Vec2& b = p[(i + 1) % p.size()];
        const float dx = b.first - a.first;
        const float dy = b.second - a.second;
        const float side = dx * (point.second - a.second) - dy * (point.first - a.first);
        depth = std::min(depth, side / std::sqrt(dx * dx + dy * dy));
    }
    return depth;
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
    EXPECT_THROW(Config(), std::runtime_error);
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

// A ray that starts inside a convex polygon never enters it, so a hull of one
// polygon cannot stop its own turrets' shots; a second polygon would.
TEST(GameContent, ShipHullsAreOneCollisionPolygonWithTheSlotsWellInside) {
    const Config config;
    for (const auto& [type, ship] : config.ship_configs) {
        SCOPED_TRACE(ship.display_name);
        ASSERT_EQ(ship.src_polygons.size(), 1u);
        const Polygon& hull = ship.src_polygons[0];
        EXPECT_GE(hull.size(), 3u);
        EXPECT_LE(hull.size(), 8u);
        EXPECT_TRUE(convex_counter_clockwise(hull));
        const Vec2 centroid = centroid_of_polygons(ship.src_polygons);
        const float two_world_units = 2.0f / ship.scale;
        for (const auto& slot : ship.mounts) {
            EXPECT_GE(depth_inside(hull, {centroid.first + slot.pos_x_src,
                                          centroid.second + slot.pos_y_src}),
                      two_world_units)
                << "slot at (" << slot.pos_x_src << ", " << slot.pos_y_src << ")";
            EXPECT_TRUE(config.mount_configs.contains(slot.mount_type));
        }
        expect_image(ship);
    }
}

// Each ship alone in a world at the given pose, its body and its mounts
// placed by the game's own systems.
struct PlacedShip {
    DenseListKeyed<Ships> ships;
    DenseListKeyed<Mounts> mounts;
    DenseListKeyed<PhysicsBodies> bodies;
    std::uint32_t body = 0;

    PlacedShip(const ShipConfig& config, float x, float y, float rot) {
        const DenseListKey ship = ships.push_back(-1);
        const DenseListKey body_key = bodies.push_back(-1);
        body = body_key.index;
        ships.dense_list.x[ship.index] = x;
        ships.dense_list.y[ship.index] = y;
        ships.dense_list.rot[ship.index] = rot;
        ships.dense_list.physics_body_key[ship.index] = body_key;
        bodies.dense_list.config_polygons[body] = config.polygons;
        bodies.dense_list.polygons[body] = WorldPolygons(config.polygons.size(), c2Poly{});
        bodies.dense_list.owner_component_key[body] = ship;
        for (const MountStats& slot : config.mounts) {
            const DenseListKey mount = mounts.push_back(-1);
            mounts.dense_list.parent_key[mount.index] = ship;
            mounts.dense_list.local_x[mount.index] = slot.pos_x;
            mounts.dense_list.local_y[mount.index] = slot.pos_y;
        }
        update_physics_bodies(bodies, ships);
        update_child(mounts, ships);
    }

    bool ray_hits_hull(c2v from, c2v direction, float length) {
        c2Ray ray{from, direction, length};
        c2Raycast cast{};
        return ray_to_polygons(ray, bodies.dense_list.polygons[body], &cast);
    }
};

TEST(GameContent, NoTurretCanHitItsOwnShip) {
    const Config config;
    struct Pose {
        float x, y, rot;
    };
    const std::array<Pose, 4> poses = {{{0.0f, 0.0f, 0.0f},
                                        {1234.5f, -876.25f, 0.7f},
                                        {-3000.0f, 499.0f, -2.35f},
                                        {40.0f, 260.0f, 3.1f}}};
    constexpr int directions = 32;
    for (const auto& [type, ship] : config.ship_configs) {
        SCOPED_TRACE(ship.display_name);
        const float reach = 2.0f * std::max(ship.image_width, ship.image_height) * ship.scale;
        for (const Pose& pose : poses) {
            PlacedShip placed(ship, pose.x, pose.y, pose.rot);
            const Mounts& mounts = placed.mounts.dense_list;
            for (std::uint32_t m = 0; m < mounts.size(); ++m) {
                const c2v slot{mounts.x[m], mounts.y[m]};
                std::vector<int> own_hits;
                std::vector<int> misses_from_outside;
                for (int k = 0; k < directions; ++k) {
                    const float angle =
                        static_cast<float>(k) * 2.0f * std::numbers::pi_v<float> / directions;
                    const c2v d{std::cos(angle), std::sin(angle)};
                    if (placed.ray_hits_hull(slot, d, reach)) {
                        own_hits.push_back(k);
                    }
                    // The hull is really there: the same line cast from outside meets it.
                    if (!placed.ray_hits_hull({slot.x - d.x * reach, slot.y - d.y * reach}, d,
                                              reach)) {
                        misses_from_outside.push_back(k);
                    }
                }
                EXPECT_THAT(own_hits, testing::IsEmpty())
                    << "directions from slot " << m << " at pose rot " << pose.rot;
                EXPECT_THAT(misses_from_outside, testing::IsEmpty())
                    << "directions toward slot " << m << " at pose rot " << pose.rot;
            }
        }
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
