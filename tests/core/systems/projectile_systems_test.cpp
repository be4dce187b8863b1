#include <cmath>
#include <limits>
#include <set>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/config/config.h"
#include "core/store/store.h"
#include "core/systems/systems.h"
#include "support/log_capture.h"

namespace {

constexpr float dt = 1.0f / 60.0f;

// The loaded configuration set with one projectile variant of known speed.
Config config_with_speed(float speed) {
    Config config;
    ProjectileConfig& projectile = config.projectile_configs[ProjectileType::MediumTwo];
    projectile.type = static_cast<std::uint32_t>(ProjectileType::MediumTwo);
    projectile.speed = speed;
    return config;
}

struct World {
    Store store;

    DenseListKey add_ship(float x, float y, float vel_x, float vel_y) {
        const DenseListKey ship = store.ships.push_back(-1);
        Ships& s = store.ships.dense_list;
        s.x[ship.index] = x;
        s.y[ship.index] = y;
        s.vel_x[ship.index] = vel_x;
        s.vel_y[ship.index] = vel_y;
        return ship;
    }

    // A ship with a square body of the given half size at (x, y).
    DenseListKey add_ship_with_body(float x, float y, float half) {
        const DenseListKey ship = add_ship(x, y, 0.0f, 0.0f);
        const DenseListKey body = store.physics_bodies.push_back(-1);
        store.ships.dense_list.physics_body_key[ship.index] = body;
        PhysicsBodies& b = store.physics_bodies.dense_list;
        b.config_polygons[body.index] = {{{-half, -half}, {half, -half}, {half, half}, {-half, half}}};
        b.polygons[body.index].resize(1);
        b.owner_component_key[body.index] = ship;
        return ship;
    }

    std::uint32_t add_mount(DenseListKey ship, bool active, float cooldown) {
        const DenseListKey mount = store.mounts.push_back(-1);
        Mounts& m = store.mounts.dense_list;
        m.parent_key[mount.index] = ship;
        m.projectile_type[mount.index] = ProjectileType::MediumTwo;
        m.is_active[mount.index] = active;
        m.cooldown[mount.index] = cooldown;
        m.cooldown_max[mount.index] = 0.5f;
        m.x[mount.index] = 3.0f;
        m.y[mount.index] = 4.0f;
        m.rot[mount.index] = 0.25f;
        return mount.index;
    }

    std::uint32_t add_projectile(float x, float y, float rot, float speed) {
        const DenseListKey p = store.projectiles.push_back(-1);
        Projectiles& proj = store.projectiles.dense_list;
        proj.x[p.index] = x;
        proj.y[p.index] = y;
        proj.rot[p.index] = rot;
        proj.speed[p.index] = speed;
        return p.index;
    }

    // Bodies follow ships, the grid is rebuilt and the projectiles take one step.
    std::vector<ProjectileHit> fly() {
        update_physics_bodies(store.physics_bodies, store.ships);
        SpatialIndex index = make_spatial_index(store.physics_bodies);
        std::vector<ProjectileHit> hits;
        update_projectiles(store.projectiles, store.mounts, store.physics_bodies, index, hits);
        return hits;
    }
};

}  // namespace

TEST(Firing, FiresOnlyOnceTheCooldownHasRunOut) {
    Config config = config_with_speed(600.0f);
    World world;
    const DenseListKey ship = world.add_ship(0.0f, 0.0f, 7.0f, -2.0f);
    const std::uint32_t ready = world.add_mount(ship, true, 0.0f);
    const std::uint32_t cooling = world.add_mount(ship, true, 0.0001f);
    const std::uint32_t released = world.add_mount(ship, false, -3.0f);
    test_support::LogCapture log;
    fire_mount(world.store.mounts, world.store.projectiles, world.store.ships, &config);

    EXPECT_EQ(log.count(spdlog::level::info, "Spawning projectile"), 1);
    const Mounts& m = world.store.mounts.dense_list;
    EXPECT_EQ(m.cooldown[ready], 0.5f);
    EXPECT_EQ(m.cooldown[cooling], 0.0001f);
    EXPECT_EQ(m.cooldown[released], -3.0f);

    ASSERT_EQ(world.store.projectiles.size(), 1u);
    const Projectiles& p = world.store.projectiles.dense_list;
    EXPECT_EQ(p.type[0], ProjectileType::MediumTwo);
    EXPECT_EQ(p.mount_key[0], world.store.mounts.make_key_for_index(ready).value());
    EXPECT_EQ(p.x[0], 3.0f);
    EXPECT_EQ(p.y[0], 4.0f);
    EXPECT_EQ(p.rot[0], 0.25f);
    EXPECT_EQ(p.speed[0], 600.0f);
    EXPECT_EQ(p.inherited_vel_x[0], 7.0f);
    EXPECT_EQ(p.inherited_vel_y[0], -2.0f);
}

TEST(Firing, HeldTriggerFiresAgainWhenTheCooldownRunsOut) {
    Config config = config_with_speed(600.0f);
    World world;
    const std::uint32_t mount = world.add_mount(world.add_ship(0, 0, 0, 0), true, 0.0f);
    world.store.mounts.dense_list.cooldown_max[mount] = 0.05f;  // three ticks
    int shots = 0;
    for (int tick = 0; tick < 9; ++tick) {
        update_cooldown(world.store.mounts.dense_list);
        const std::uint32_t before = world.store.projectiles.size();
        fire_mount(world.store.mounts, world.store.projectiles, world.store.ships, &config);
        shots += static_cast<int>(world.store.projectiles.size() - before);
    }
    EXPECT_EQ(shots, 3);
}

TEST(Firing, AFullProjectileListHoldsFireWithOneWarningPerShortageAndNoReusedId) {
    constexpr std::string_view shortage = "fire_mount: no free projectile id left, mounts hold their fire";
    Config config = config_with_speed(600.0f);
    World world;
    const DenseListKey ship = world.add_ship(0, 0, 0, 0);
    std::set<std::uint32_t> live_ids;
    while (world.store.projectiles.size() < DenseListKeyed<Projectiles>::max_id) {
        live_ids.insert(world.store.projectiles.push_back(-1).id);
    }
    const std::uint32_t full = world.store.projectiles.size();
    const std::uint32_t first = world.add_mount(ship, true, 0.0f);
    const std::uint32_t second = world.add_mount(ship, true, 0.0f);
    test_support::LogCapture log;
    for (int tick = 0; tick < 2; ++tick) {
        fire_mount(world.store.mounts, world.store.projectiles, world.store.ships, &config);
    }

    EXPECT_EQ(world.store.projectiles.size(), full);
    EXPECT_EQ(log.count(spdlog::level::warn, shortage), 1) << "held fire logs the shortage once";
    EXPECT_FALSE(log.contains("Spawning projectile"));
    EXPECT_EQ(world.store.mounts.dense_list.cooldown[first], 0.0f) << "a mount that did not fire stays ready";
    EXPECT_EQ(world.store.mounts.dense_list.cooldown[second], 0.0f);

    // Once a projectile is gone, the freed id is the one handed out again.
    const std::uint32_t freed = *live_ids.begin();
    ASSERT_TRUE(world.store.projectiles.remove_by_id(freed));
    fire_mount(world.store.mounts, world.store.projectiles, world.store.ships, &config);
    EXPECT_EQ(world.store.projectiles.size(), full);
    EXPECT_EQ(world.store.projectiles.get_id_by_index(full - 1).value(), freed);
    EXPECT_EQ(log.count(spdlog::level::warn, shortage), 2) << "the second mount meets a new shortage";
}

TEST(Flight, MovesByTheHeadingVelocityPlusTheInheritedOne) {
    World world;
    const std::uint32_t p = world.add_projectile(0.0f, 0.0f, 0.0f, 600.0f);
    world.store.projectiles.dense_list.inherited_vel_y[p] = 60.0f;
    for (int tick = 1; tick <= 3; ++tick) {
        EXPECT_TRUE(world.fly().empty());
        EXPECT_NEAR(world.store.projectiles.dense_list.x[p], 10.0f * tick, 1e-3f);
        EXPECT_NEAR(world.store.projectiles.dense_list.y[p], 1.0f * tick, 1e-4f);
    }
}

TEST(Flight, StepIntoABodyRecordsTheHitAndStaysPut) {
    World world;
    const DenseListKey target = world.add_ship_with_body(20.0f, 0.0f, 5.0f);
    const std::uint32_t p = world.add_projectile(0.0f, 0.0f, 0.0f, 1200.0f);  // 20 units per tick
    const std::vector<ProjectileHit> hits = world.fly();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].projectile_id, world.store.projectiles.get_id_by_index(p).value());
    EXPECT_EQ(hits[0].owner_component_id, target.id);
    EXPECT_EQ(hits[0].owner_component_type, ComponentType::Ship);
    EXPECT_NEAR(hits[0].hit_x, 15.0f, 1e-4f);
    EXPECT_NEAR(hits[0].hit_y, 0.0f, 1e-4f);
    EXPECT_NEAR(hits[0].normal_x, -1.0f, 1e-6f);
    EXPECT_EQ(world.store.projectiles.dense_list.x[p], 0.0f);
}

TEST(Flight, CrossingFrom499To501SearchesBothCellsAndEachBodyOnce) {
    struct Case {
        float centre;
        float half;
        float entry_x;
    };
    // A body listed only in cell (1, 0), reached through the destination cell,
    // and one listed in cells 0 and 1, found in the first and not again.
    for (const Case c : {Case{505.0f, 4.5f, 500.5f}, Case{500.0f, 0.5f, 499.5f}}) {
        World world;
        const DenseListKey body_owner = world.add_ship_with_body(c.centre, 0.0f, c.half);
        world.add_projectile(499.0f, 0.0f, 0.0f, 120.0f);
        const std::vector<ProjectileHit> hits = world.fly();
        ASSERT_EQ(hits.size(), 1u) << "body at " << c.centre;
        EXPECT_EQ(hits[0].owner_component_id, body_owner.id);
        EXPECT_NEAR(hits[0].hit_x, c.entry_x, 1e-4f);
    }
}

TEST(Flight, TheFirstBodyListedInTheCellWinsOverANearerOne) {
    World world;
    const DenseListKey farther = world.add_ship_with_body(60.0f, 0.0f, 5.0f);
    world.add_ship_with_body(20.0f, 0.0f, 5.0f);
    world.add_projectile(0.0f, 0.0f, 0.0f, 6000.0f);  // 100 units per tick
    std::vector<ProjectileHit> hits = world.fly();
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].owner_component_id, farther.id);
    EXPECT_NEAR(hits[0].hit_x, 55.0f, 1e-3f);
}

TEST(Flight, AShotFromInsideItsOwnHullFliesOut) {
    World world;
    world.add_ship_with_body(0.0f, 0.0f, 30.0f);
    const std::uint32_t p = world.add_projectile(5.0f, 0.0f, 0.0f, 600.0f);
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_TRUE(world.fly().empty());
    }
    EXPECT_NEAR(world.store.projectiles.dense_list.x[p], 55.0f, 1e-3f);
}

TEST(Flight, TheFiringShipNeverStopsItsOwnProjectileButOthersDo) {
    // A shot mirrored from a stale mount pose may start behind its fast ship's
    // hull; it passes through its own ship and still hits the next one.
    World world;
    const DenseListKey own = world.add_ship_with_body(20.0f, 0.0f, 5.0f);
    const DenseListKey other = world.add_ship_with_body(60.0f, 0.0f, 5.0f);
    const std::uint32_t mount = world.add_mount(own, false, 0.0f);
    const std::uint32_t p = world.add_projectile(0.0f, 0.0f, 0.0f, 1200.0f);  // 20 units per tick
    world.store.projectiles.dense_list.mount_key[p] = world.store.mounts.make_key_for_index(mount).value();

    std::vector<ProjectileHit> hits;
    for (int tick = 0; tick < 5 && hits.empty(); ++tick) {
        hits = world.fly();
    }
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0].owner_component_id, other.id);
    EXPECT_NEAR(hits[0].hit_x, 55.0f, 1e-3f);
}

TEST(Flight, ProjectileWithoutVelocityReportsAndStays) {
    World world;
    const std::uint32_t p = world.add_projectile(1.0f, 2.0f, 0.0f, 0.0f);
    test_support::LogCapture log;
    EXPECT_TRUE(world.fly().empty());
    EXPECT_TRUE(log.contains(spdlog::level::err, "Can't normalize vector with 0 magnitude"));
    EXPECT_EQ(world.store.projectiles.dense_list.x[p], 1.0f);
    EXPECT_EQ(world.store.projectiles.dense_list.y[p], 2.0f);
}

TEST(Flight, ProjectilesAtPositionsWithoutACellHitNothing) {
    World world;
    world.add_ship_with_body(0.0f, 0.0f, 50.0f);
    const float not_a_number = std::numeric_limits<float>::quiet_NaN();
    world.add_projectile(not_a_number, 0.0f, 0.0f, 600.0f);
    world.add_projectile(std::numeric_limits<float>::infinity(), 0.0f, 3.14f, 600.0f);
    world.add_projectile(1.0e30f, 1.0e30f, 0.0f, 600.0f);
    world.add_projectile(-1.0e12f, 0.0f, 0.0f, 600.0f);
    EXPECT_TRUE(world.fly().empty());
    EXPECT_EQ(world.store.projectiles.size(), 4u);
}

TEST(Removal, HitProjectilesAreRemovedByIdWhateverTheOrder) {
    World world;
    for (int i = 0; i < 4; ++i) {
        world.add_projectile(static_cast<float>(i), 0.0f, 0.0f, 0.0f);
    }
    std::vector<ProjectileHit> hits = {ProjectileHit{.projectile_id = 1}, ProjectileHit{.projectile_id = 4}};
    test_support::LogCapture log;
    remove_hit_projectiles(world.store.projectiles, hits);
    EXPECT_EQ(log.count(spdlog::level::info, "Proj hit! Removing"), 2);
    ASSERT_EQ(world.store.projectiles.size(), 2u);
    EXPECT_FALSE(world.store.projectiles.make_key_for_id(1).has_value());
    EXPECT_FALSE(world.store.projectiles.make_key_for_id(4).has_value());
    std::set<float> left(world.store.projectiles.dense_list.x.begin(), world.store.projectiles.dense_list.x.end());
    EXPECT_EQ(left, (std::set<float>{1.0f, 2.0f}));
}
