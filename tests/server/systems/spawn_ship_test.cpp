#include "server/systems/spawn_ship.h"

#include <gtest/gtest.h>

#include "core/store/store.h"
#include "server/support/game_config.h"
#include "support/log_capture.h"

using test_support::LogCapture;

namespace {

struct SpawnShip : ::testing::Test {
    Config config = server_test::game_config();
    Store store;

    std::optional<Server::SpawnShipResult> spawn(ShipType ship_type) {
        return spawn_ship(store.ships, store.mounts, store.physics_bodies, &config, ship_type);
    }
};

}  // namespace

TEST_F(SpawnShip, AFrigateInAnEmptyWorldGetsIdOneEverywhere) {
    const auto result = spawn(ShipType::FrigateOne);
    ASSERT_TRUE(result);
    const ShipConfig& ship_config = config.ship_configs.at(ShipType::FrigateOne);
    ASSERT_EQ(ship_config.mounts.size(), 1u);

    EXPECT_EQ(result->ship_key, (DenseListKey{1, 0, 1}));
    ASSERT_EQ(result->mount_keys.size(), 1u);
    EXPECT_EQ(result->mount_keys[0], (DenseListKey{1, 0, 1}));

    const Ships& ships = store.ships.dense_list;
    EXPECT_EQ(ships.type[0], ShipType::FrigateOne);
    EXPECT_EQ(ships.max_acc[0], ship_config.max_acc);
    EXPECT_EQ(ships.max_speed[0], ship_config.max_speed);
    EXPECT_EQ(ships.max_ang_vel[0], ship_config.max_ang_vel);
    EXPECT_EQ(ships.max_ang_acc[0], ship_config.max_ang_acc);
    EXPECT_EQ(ships.x[0], 0.0f);
    EXPECT_EQ(ships.y[0], 0.0f);
    EXPECT_EQ(ships.rot[0], 0.0f);
    EXPECT_EQ(ships.vel_x[0], 0.0f);
    EXPECT_EQ(ships.target_rot[0], 0.0f);
    EXPECT_TRUE(ships.display_name[0].empty());
    EXPECT_EQ(ships.physics_body_key[0], (DenseListKey{1, 0, 1}));

    const PhysicsBodies& bodies = store.physics_bodies.dense_list;
    ASSERT_EQ(bodies.size(), 1u);
    EXPECT_EQ(bodies.owner_component_key[0], result->ship_key);
    EXPECT_EQ(bodies.owner_component_type[0], ComponentType::Ship);
    EXPECT_EQ(bodies.config_polygons[0], ship_config.polygons);
    EXPECT_EQ(bodies.polygons[0].size(), ship_config.polygons.size());
}

TEST_F(SpawnShip, MountsFollowTheSlotsInOrder) {
    const auto result = spawn(ShipType::BattleshipOne);
    ASSERT_TRUE(result);
    const ShipConfig& ship_config = config.ship_configs.at(ShipType::BattleshipOne);
    ASSERT_EQ(result->mount_keys.size(), ship_config.mounts.size());

    const Mounts& mounts = store.mounts.dense_list;
    for (std::uint32_t slot = 0; slot < ship_config.mounts.size(); ++slot) {
        const MountStats& stats = ship_config.mounts[slot];
        const MountConfig& mount_config = config.mount_configs.at(stats.mount_type);
        const DenseListKey key = result->mount_keys[slot];
        EXPECT_EQ(key.id, slot + 1);
        EXPECT_EQ(mounts.type[key.index], stats.mount_type);
        EXPECT_EQ(mounts.ship_mount_index[key.index], slot);
        EXPECT_EQ(mounts.parent_key[key.index], result->ship_key);
        EXPECT_EQ(mounts.local_x[key.index], stats.pos_x);
        EXPECT_EQ(mounts.local_y[key.index], stats.pos_y);
        EXPECT_EQ(mounts.neut_rot[key.index], stats.rot_neut);
        EXPECT_EQ(mounts.rot_range_radians[key.index], stats.rot_range);
        EXPECT_EQ(static_cast<std::uint32_t>(mounts.projectile_type[key.index]),
                  mount_config.projectile_type);
        EXPECT_EQ(mounts.ang_vel[key.index], mount_config.rot_ang_vel);
        EXPECT_EQ(mounts.cooldown_max[key.index], mount_config.cooldown);
        EXPECT_EQ(mounts.cooldown[key.index], 0.0f);
        EXPECT_FALSE(mounts.is_active[key.index]);
    }
}

TEST_F(SpawnShip, AShipWithoutSlotsOrConfigurationGetsNoMounts) {
    config.ship_configs.at(ShipType::FrigateTwo).mounts.clear();
    const auto without_slots = spawn(ShipType::FrigateTwo);
    ASSERT_TRUE(without_slots);
    EXPECT_TRUE(without_slots->mount_keys.empty());

    config.ship_configs.erase(ShipType::CruiserOne);
    const auto without_config = spawn(ShipType::CruiserOne);
    ASSERT_TRUE(without_config);
    EXPECT_TRUE(without_config->mount_keys.empty());
    EXPECT_EQ(store.ships.dense_list.max_acc[without_config->ship_key.index], 0.0f);
    EXPECT_TRUE(store.physics_bodies.dense_list.polygons[1].empty());
    EXPECT_EQ(store.mounts.size(), 0u);
}

TEST_F(SpawnShip, ASecondSpawnLeavesTheFirstShip) {
    const auto first = spawn(ShipType::FrigateOne);
    const auto second = spawn(ShipType::FrigateOne);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->ship_key.id, 2u);
    EXPECT_EQ(second->mount_keys[0].id, 2u);
    EXPECT_EQ(store.ships.size(), 2u);
    EXPECT_EQ(store.mounts.size(), 2u);
    EXPECT_EQ(store.physics_bodies.size(), 2u);
    EXPECT_EQ(store.mounts.dense_list.parent_key[first->mount_keys[0].index], first->ship_key);
}

TEST_F(SpawnShip, AFullShipListSpawnsNothingAndOverwritesNothing) {
    for (std::uint32_t i = 0; i < DenseListKeyed<Ships>::max_id; ++i) {
        store.ships.push_back(-1);
    }
    store.ships.dense_list.max_acc[0] = 7.0f;
    LogCapture log;
    EXPECT_FALSE(spawn(ShipType::FrigateOne));
    EXPECT_EQ(store.ships.dense_list.max_acc[0], 7.0f);
    EXPECT_EQ(store.mounts.size(), 0u);
    EXPECT_EQ(store.physics_bodies.size(), 0u);
    EXPECT_TRUE(log.contains(spdlog::level::err, "No free ship id left; no ship spawned"));
}

TEST_F(SpawnShip, SlotsBeyondTheLastFreeMountIdStayEmptyAndOverwriteNothing) {
    for (std::uint32_t i = 0; i + 1 < DenseListKeyed<Mounts>::max_id; ++i) {
        store.mounts.push_back(-1);
    }
    store.mounts.dense_list.local_x[0] = 7.0f;
    const std::size_t slots = config.ship_configs.at(ShipType::BattleshipOne).mounts.size();
    ASSERT_GE(slots, 3u);
    LogCapture log;

    const auto result = spawn(ShipType::BattleshipOne);

    ASSERT_TRUE(result);
    ASSERT_EQ(result->mount_keys.size(), 1u);
    const DenseListKey last = result->mount_keys[0];
    EXPECT_EQ(last.id, DenseListKeyed<Mounts>::max_id);
    EXPECT_EQ(store.mounts.dense_list.ship_mount_index[last.index], 0u);
    EXPECT_EQ(store.mounts.size(), DenseListKeyed<Mounts>::max_id);
    EXPECT_EQ(store.mounts.dense_list.local_x[0], 7.0f);
    EXPECT_EQ(store.mounts.dense_list.parent_key[0], DenseListKey{});
    for (std::size_t slot = 1; slot < slots; ++slot) {
        EXPECT_TRUE(log.contains(spdlog::level::err,
                                 fmt::format("No free mount id left; mount slot {} of ship 1 stays empty", slot)));
    }
    EXPECT_EQ(store.ships.size(), 1u);
    EXPECT_EQ(store.physics_bodies.size(), 1u);
}
