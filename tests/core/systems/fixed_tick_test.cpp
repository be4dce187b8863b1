#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/config/config.h"
#include "core/store/store.h"
#include "core/systems/systems.h"
#include "support/log_capture.h"

namespace {

// Two polygons side by side, 40 by 20 units in all.
const Polygons two_part_hull = {
    {{-20, -10}, {0, -10}, {0, 10}, {-20, 10}},
    {{0, -10}, {20, -10}, {20, 10}, {0, 10}},
};

DenseListKey spawn(Store& store, float x, float y) {
    const DenseListKey ship = store.ships.push_back(-1);
    const DenseListKey body = store.physics_bodies.push_back(-1);
    Ships& s = store.ships.dense_list;
    s.x[ship.index] = x;
    s.y[ship.index] = y;
    s.max_ang_vel[ship.index] = 3.0f;
    s.max_ang_acc[ship.index] = 6.0f;
    s.physics_body_key[ship.index] = body;
    PhysicsBodies& b = store.physics_bodies.dense_list;
    b.config_polygons[body.index] = two_part_hull;
    b.polygons[body.index].resize(two_part_hull.size());
    b.owner_component_key[body.index] = ship;

    const DenseListKey mount = store.mounts.push_back(-1);
    Mounts& m = store.mounts.dense_list;
    m.parent_key[mount.index] = ship;
    m.local_x[mount.index] = 15.0f;
    m.ang_vel[mount.index] = 4.0f;
    m.cooldown_max[mount.index] = 0.25f;
    m.projectile_type[mount.index] = ProjectileType::SmallOne;
    return ship;
}

// The server's fixed tick after the input has been applied.
void server_fixed_tick(Store& store, Config& config) {
    update_angular_acceleration(store.ships.dense_list);
    apply_angular_acceleration(store.ships.dense_list);
    apply_angular_velocity(store.ships.dense_list);
    apply_acceleration(store.ships.dense_list);
    apply_velocity(store.ships.dense_list);
    update_physics_bodies(store.physics_bodies, store.ships);
    SpatialIndex spatial_index = make_spatial_index(store.physics_bodies);
    apply_collisions(store.physics_bodies, spatial_index);
    std::vector<ProjectileHit> hits;
    update_projectiles(store.projectiles, store.mounts, store.physics_bodies, spatial_index, hits);
    remove_hit_projectiles(store.projectiles, hits);
    update_child(store.mounts, store.ships);
    rotate_mount(store.mounts);
    update_cooldown(store.mounts.dense_list);
    fire_mount(store.mounts, store.projectiles, store.ships, &config);
}

}  // namespace

TEST(ServerFixedTick, ShipsTurnAndFlyMountsFollowAndShotsHitTheOtherShip) {
    Config config;
    config.projectile_configs[ProjectileType::SmallOne].speed = 600.0f;
    Store store;
    const DenseListKey shooter = spawn(store, 0.0f, 0.0f);
    const DenseListKey target = spawn(store, 400.0f, 0.0f);
    const DenseListKey turner = spawn(store, 0.0f, 2000.0f);
    Ships& ships = store.ships.dense_list;
    ships.acc_y[target.index] = 10.0f;
    ships.target_rot[turner.index] = 0.5f;
    Mounts& mounts = store.mounts.dense_list;
    mounts.cooldown_max[0] = 0.1f;
    mounts.is_active[0] = true;

    test_support::LogCapture log;
    for (int tick = 0; tick < 60; ++tick) {
        server_fixed_tick(store, config);
    }

    EXPECT_NEAR(ships.rot[turner.index], 0.5f, 0.05f);
    EXPECT_NEAR(ships.y[target.index], 5.0f, 0.2f) << "a^2/2 after one second";
    EXPECT_EQ(ships.x[shooter.index], 0.0f);
    // The turner's mount rides on its nose.
    EXPECT_NEAR(mounts.x[2], 15.0f * std::cos(ships.rot[turner.index]), 1e-3f);
    EXPECT_NEAR(mounts.y[2], 2000.0f + 15.0f * std::sin(ships.rot[turner.index]), 1e-3f);
    // Shots need about 37 ticks to reach the target; the first four arrived and were removed.
    const int fired = log.count(spdlog::level::info, "Spawning projectile");
    const int hit = log.count(spdlog::level::info, "Proj hit! Removing");
    EXPECT_GE(fired, 8);
    EXPECT_EQ(hit, 4);
    EXPECT_EQ(store.projectiles.size(), static_cast<std::uint32_t>(fired - hit));
    EXPECT_EQ(log.count("CONTACT!"), 0);
}

TEST(ServerFixedTick, OverlappingShipsLogContactsEveryTickAndPassThrough) {
    Config config;
    Store store;
    spawn(store, 0.0f, 0.0f);
    const DenseListKey other = spawn(store, 10.0f, 5.0f);
    store.ships.dense_list.vel_x[other.index] = 60.0f;
    test_support::LogCapture log;
    server_fixed_tick(store, config);
    // Of the four polygon pairs only the far left and far right ones miss.
    EXPECT_EQ(log.count("CONTACT!"), 3);
    for (int tick = 0; tick < 60; ++tick) {
        server_fixed_tick(store, config);
    }
    EXPECT_NEAR(store.ships.dense_list.x[other.index], 71.0f, 1e-3f) << "contacts change no motion";
}
