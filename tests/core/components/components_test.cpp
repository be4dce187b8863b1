#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <tuple>

#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "support/log_capture.h"

namespace {

// Fills every column of row `row` with values derived from `tag`, so a moved
// row is recognisable.
void mark_ship(Ships& ships, std::uint32_t row, std::uint32_t tag) {
    const float value = 10.0f * static_cast<float>(tag + 1);
    ships.type[row] = static_cast<ShipType>(1000 + tag);
    ships.display_name[row] = "ship " + std::to_string(tag);
    ships.physics_body_key[row] = {tag + 1, tag, tag + 2};
    for (std::vector<float>* column :
         {&ships.x, &ships.y, &ships.vel_x, &ships.vel_y, &ships.max_speed, &ships.max_acc,
          &ships.acc_x, &ships.acc_y, &ships.ang_vel, &ships.max_ang_vel, &ships.ang_acc,
          &ships.max_ang_acc, &ships.rot, &ships.target_rot}) {
        (*column)[row] = value;
    }
}

// One row per tag, marked with that tag.
Ships marked_ships(std::initializer_list<std::uint32_t> tags) {
    Ships ships;
    for (std::uint32_t tag : tags) {
        ships.push_back();
        mark_ship(ships, ships.size() - 1, tag);
    }
    return ships;
}

PhysicsBodies three_bodies() {
    PhysicsBodies bodies;
    for (std::uint32_t row = 0; row < 3; ++row) {
        bodies.push_back();
        const float v = static_cast<float>(row + 1);
        bodies.x[row] = v;
        bodies.y[row] = -v;
        bodies.config_polygons[row] = {{{v, 0.0f}, {0.0f, v}, {-v, 0.0f}}};
        c2Poly poly{};
        poly.count = static_cast<int>(row) + 3;
        poly.verts[0] = {v, v};
        poly.norms[0] = {0.0f, 1.0f};
        bodies.polygons[row] = {poly, poly};
        bodies.aabb_x_min[row] = -v;
        bodies.aabb_x_max[row] = v;
        bodies.aabb_y_min[row] = -2 * v;
        bodies.aabb_y_max[row] = 2 * v;
        bodies.owner_component_key[row] = {row + 1, row, 1};
        bodies.owner_component_type[row] = static_cast<ComponentType>(4000 + row);
    }
    return bodies;
}

template <typename Store>
void expect_every_column_has_size(Store& store, std::size_t size) {
    std::apply([size](auto&... column) { ([&] { EXPECT_EQ(column.size(), size); }(), ...); },
               store.columns());
}

}  // namespace

TEST(Components, NewRowsHoldTheDefaults) {
    Ships ships;
    ships.push_back();
    ASSERT_EQ(ships.size(), 1u);
    EXPECT_EQ(ships.type[0], ShipType::FrigateOne);
    EXPECT_EQ(ships.display_name[0], "");
    EXPECT_EQ(ships.physics_body_key[0], DenseListKey{});
    EXPECT_EQ(ships.max_ang_acc[0], 0.0f);
    expect_every_column_has_size(ships, 1);

    Mounts mounts;
    mounts.push_back();
    EXPECT_EQ(mounts.type[0], MountType::SmallOne);
    EXPECT_EQ(mounts.projectile_type[0], ProjectileType::SmallOne);
    EXPECT_FALSE(mounts.is_active[0]);
    EXPECT_FALSE(mounts.has_ammo[0]);
    EXPECT_EQ(mounts.ammo[0], 0u);
    expect_every_column_has_size(mounts, 1);

    Projectiles projectiles;
    projectiles.push_back();
    EXPECT_EQ(projectiles.type[0], ProjectileType::SmallOne);
    EXPECT_EQ(projectiles.mount_key[0], DenseListKey{});
    expect_every_column_has_size(projectiles, 1);

    PhysicsBodies bodies;
    bodies.push_back();
    EXPECT_TRUE(bodies.config_polygons[0].empty());
    EXPECT_TRUE(bodies.polygons[0].empty());
    EXPECT_EQ(bodies.aabb_y_max[0], 0.0f);
    EXPECT_EQ(bodies.owner_component_type[0], ComponentType::Ship);
    expect_every_column_has_size(bodies, 1);
}

TEST(Components, SwapRemoveMovesEveryColumnOfTheLastRow) {
    Ships ships = marked_ships({0, 1, 2});
    ASSERT_TRUE(ships.swap_remove(0));
    Ships expected = marked_ships({2, 1});
    EXPECT_EQ(ships.columns(), expected.columns());

    PhysicsBodies bodies = three_bodies();
    const PhysicsBodies last_row_source = three_bodies();
    ASSERT_TRUE(bodies.swap_remove(0));
    ASSERT_EQ(bodies.size(), 2u);
    expect_every_column_has_size(bodies, 2);
    EXPECT_EQ(bodies.config_polygons[0], last_row_source.config_polygons[2]);
    ASSERT_EQ(bodies.polygons[0].size(), 2u);
    EXPECT_EQ(bodies.polygons[0][1].count, 5);
    EXPECT_EQ(bodies.polygons[0][1].verts[0].x, 3.0f);
    EXPECT_EQ(bodies.owner_component_key[0], (DenseListKey{3, 2, 1}));
    EXPECT_EQ(bodies.owner_component_type[0], static_cast<ComponentType>(4002));
    EXPECT_EQ(bodies.aabb_y_min[0], -6.0f);
    EXPECT_EQ(bodies.config_polygons[1], last_row_source.config_polygons[1]);
}

TEST(Components, SwapRemoveCopiesMountFlagsAndCounts) {
    Mounts mounts;
    for (int row = 0; row < 3; ++row) {
        mounts.push_back();
    }
    mounts.is_active[2] = true;
    mounts.has_ammo[2] = true;
    mounts.ammo[2] = 7;
    mounts.parent_key[2] = {4, 1, 2};
    ASSERT_TRUE(mounts.swap_remove(0));
    EXPECT_TRUE(mounts.is_active[0]);
    EXPECT_TRUE(mounts.has_ammo[0]);
    EXPECT_EQ(mounts.ammo[0], 7u);
    EXPECT_EQ(mounts.parent_key[0], (DenseListKey{4, 1, 2}));
    expect_every_column_has_size(mounts, 2);
}

TEST(Components, SwapRemoveOfTheLastRowOnlyDropsIt) {
    Ships ships = marked_ships({0, 1, 2});
    ASSERT_TRUE(ships.swap_remove(2));
    Ships expected = marked_ships({0, 1});
    EXPECT_EQ(ships.columns(), expected.columns());
}

TEST(Components, InvalidRemovalsWarnAndChangeNothing) {
    test_support::LogCapture log;
    Projectiles projectiles;
    for (int row = 0; row < 3; ++row) {
        projectiles.push_back();
    }
    EXPECT_FALSE(projectiles.swap_remove(3));
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Index '3' is out of bounds. Max index is 2"));
    EXPECT_EQ(projectiles.size(), 3u);

    PhysicsBodies bodies;
    EXPECT_FALSE(bodies.pop_back());
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Can't pop_back empty SoA"));
    EXPECT_FALSE(bodies.swap_remove(0));
    EXPECT_TRUE(
        log.contains(spdlog::level::warn, "Index '0' is out of bounds. Max index is 4294967295"));
    EXPECT_EQ(bodies.size(), 0u);
    expect_every_column_has_size(bodies, 0);
}
