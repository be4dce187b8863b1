#include <gtest/gtest.h>

#include "client/systems/spawn_from_net_msgs/spawn_from_net_msgs.h"
#include "client/systems/update_from_net_msgs/update_from_net_msgs.h"
#include "core/store/store.h"
#include "support/log_capture.h"

namespace {

using spdlog::level::err;
using spdlog::level::warn;

// The real content: FrigateOne has one slot holding a SmallOne mount.
class MirrorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { config = new Config(); }
    static void TearDownTestSuite() { delete config; }

    std::optional<Client::SpawnShipResult> spawn_ship(std::uint32_t id, float x = 0, float y = 0,
                                                      ShipType type = ShipType::FrigateOne) {
        return Client::spawn_ship_from_ship_spawn(
            store.ships, store.physics_bodies, config,
            NetMsgs::ShipSpawn{.id = id, .ship_type = type, .x = x, .y = y, .vel_x = 3,
                               .vel_y = 4, .acc_x = 5, .acc_y = 6, .rot = 0.5f});
    }

    std::optional<Client::SpawnMountResult> spawn_mount(std::uint32_t id, std::uint32_t ship_id,
                                                        std::uint32_t slot = 0) {
        return Client::spawn_mount_from_mount_spawn(
            store.ships, store.mounts, config,
            NetMsgs::MountSpawn{.id = id, .ship_id = ship_id, .ship_mount_index = slot,
                                .mount_type = MountType::SmallOne});
    }

    std::optional<Client::SpawnProjectileResult> spawn_projectile(std::uint32_t mount_id) {
        return Client::spawn_projectile_from_projectile_spawn(
            store.ships, store.mounts, store.projectiles, config,
            NetMsgs::ProjectileSpawn{.mount_id = mount_id});
    }

    static Config* config;
    Store store;
};

Config* MirrorTest::config = nullptr;

TEST_F(MirrorTest, ShipKeepsTheServerIdAndItsBodyTakesAFreshOne) {
    test_support::LogCapture log;
    const auto first = spawn_ship(7, 10, 20);
    const auto second = spawn_ship(3);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->ship_key, (DenseListKey{7, 0, 1}));
    EXPECT_EQ(second->ship_key, (DenseListKey{3, 1, 1}));

    const Ships& ships = store.ships.dense_list;
    EXPECT_EQ(ships.type[0], ShipType::FrigateOne);
    EXPECT_EQ(ships.x[0], 10.0f);
    EXPECT_EQ(ships.y[0], 20.0f);
    EXPECT_EQ(ships.rot[0], 0.5f);
    EXPECT_EQ(ships.vel_x[0], 3.0f);
    EXPECT_EQ(ships.acc_y[0], 6.0f);
    EXPECT_EQ(ships.max_speed[0], 0.0f);  // maxima are the server's business
    EXPECT_EQ(ships.physics_body_key[0], (DenseListKey{1, 0, 1}));
    EXPECT_EQ(ships.physics_body_key[1], (DenseListKey{2, 1, 1}));

    const PhysicsBodies& bodies = store.physics_bodies.dense_list;
    const Polygons& outline = config->ship_configs.at(ShipType::FrigateOne).polygons;
    ASSERT_FALSE(outline.empty());
    EXPECT_EQ(bodies.config_polygons[0], outline);
    EXPECT_EQ(bodies.polygons[0].size(), outline.size());
    EXPECT_EQ(bodies.polygons[0][0].count, 0);
    EXPECT_EQ(bodies.owner_component_key[0], first->ship_key);
    EXPECT_EQ(bodies.owner_component_type[0], ComponentType::Ship);
    EXPECT_EQ(bodies.x[0], 0.0f);  // placed by the next fixed tick

    EXPECT_TRUE(log.contains("Spawn ship: begin id=7, type=1000, position=(10, 20)"));
    EXPECT_TRUE(log.contains("Spawn ship: ship store inserted id=7, index=0, gen=1"));
    EXPECT_TRUE(log.contains("Spawn ship: physics body store inserted id=1, index=0, gen=1"));
    EXPECT_TRUE(log.contains(
        fmt::format("Spawn ship: config loaded, polygon count={}", outline.size())));
    EXPECT_EQ(log.count("Spawn ship: complete"), 2);
}

TEST_F(MirrorTest, SecondSpawnOfALiveShipIdIsIgnored) {
    spawn_ship(7, 10, 20);
    test_support::LogCapture log;
    EXPECT_FALSE(spawn_ship(7, 99, 99));
    EXPECT_EQ(store.ships.size(), 1u);
    EXPECT_EQ(store.physics_bodies.size(), 1u);
    EXPECT_EQ(store.ships.dense_list.x[0], 10.0f);
    EXPECT_EQ(store.ships.get_index_by_id(7), 0u);
    EXPECT_TRUE(log.contains(warn, "Spawn ship: id 7 already has a row; spawn ignored"));
    EXPECT_FALSE(log.contains("Spawn ship: complete"));
}

// Id 0 is the keyed list's "no row": a row under it would be half made and unreachable.
TEST_F(MirrorTest, SpawnsWithIdZeroAddNothing) {
    test_support::LogCapture log;
    EXPECT_FALSE(spawn_ship(0));
    EXPECT_EQ(store.ships.size(), 0u);
    EXPECT_EQ(store.physics_bodies.size(), 0u);
    EXPECT_TRUE(log.contains(warn, "Spawn ship: id 0 names no ship; spawn ignored"));

    spawn_ship(7);
    EXPECT_FALSE(spawn_mount(0, 7));
    EXPECT_EQ(store.mounts.size(), 0u);
    EXPECT_TRUE(log.contains(warn, "Spawn mount: id 0 names no mount; spawn ignored"));
}

TEST_F(MirrorTest, ShipOfAnUnknownTypeGetsTheDefaultConfiguration) {
    const auto unknown = static_cast<ShipType>(1999);
    ASSERT_TRUE(spawn_ship(5, 0, 0, unknown));
    EXPECT_TRUE(config->ship_configs.contains(unknown));
    EXPECT_TRUE(store.physics_bodies.dense_list.polygons[0].empty());
    config->ship_configs.erase(unknown);
}

TEST_F(MirrorTest, MountTakesItsSlotAndItsVariantsNumbers) {
    spawn_ship(7);
    const auto mount = spawn_mount(12, 7);
    ASSERT_TRUE(mount);
    EXPECT_EQ(mount->mount_key, (DenseListKey{12, 0, 1}));
    const MountStats& slot = config->ship_configs.at(ShipType::FrigateOne).mounts.at(0);
    const MountConfig& variant = config->mount_configs.at(MountType::SmallOne);
    const Mounts& mounts = store.mounts.dense_list;
    EXPECT_EQ(mounts.type[0], MountType::SmallOne);
    EXPECT_EQ(mounts.projectile_type[0], static_cast<ProjectileType>(variant.projectile_type));
    EXPECT_EQ(mounts.local_x[0], slot.pos_x);
    EXPECT_EQ(mounts.local_y[0], slot.pos_y);
    EXPECT_EQ(mounts.parent_key[0], (DenseListKey{7, 0, 1}));
    EXPECT_EQ(mounts.cooldown_max[0], variant.cooldown);
    EXPECT_EQ(mounts.cooldown[0], 0.0f);
    EXPECT_EQ(mounts.x[0], 0.0f);  // placed by the next fixed tick
    EXPECT_FALSE(mounts.is_active[0]);
}

TEST_F(MirrorTest, MountBeforeItsShipCreatesNothing) {
    test_support::LogCapture log;
    EXPECT_FALSE(spawn_mount(12, 7));
    EXPECT_EQ(store.mounts.size(), 0u);
    EXPECT_TRUE(log.contains(err, "Missing ship key"));
    EXPECT_TRUE(log.contains(warn, "No index found for id: 7"));
}

TEST_F(MirrorTest, MountSlotBeyondTheShipsSlotsIsRejected) {
    spawn_ship(7);
    test_support::LogCapture log;
    const auto slot_count = config->ship_configs.at(ShipType::FrigateOne).mounts.size();
    EXPECT_FALSE(spawn_mount(12, 7, static_cast<std::uint32_t>(slot_count)));
    EXPECT_EQ(store.mounts.size(), 0u);
    EXPECT_TRUE(log.contains(err, fmt::format("Mount spawn 12: slot {} lies beyond the {} slots "
                                              "of ship type 1000",
                                              slot_count, slot_count)));
    // The id stays free for a sound spawn.
    EXPECT_TRUE(spawn_mount(12, 7, 0));
}

TEST_F(MirrorTest, SecondSpawnOfALiveMountIdIsIgnored) {
    spawn_ship(7);
    spawn_ship(8);
    spawn_mount(12, 7);
    test_support::LogCapture log;
    EXPECT_FALSE(spawn_mount(12, 8));
    EXPECT_EQ(store.mounts.size(), 1u);
    EXPECT_EQ(store.mounts.dense_list.parent_key[0].id, 7u);
    EXPECT_TRUE(log.contains(warn, "Spawn mount: id 12 already has a row; spawn ignored"));
}

TEST_F(MirrorTest, ProjectileStartsFromTheMountsCurrentPose) {
    spawn_ship(7);
    spawn_mount(12, 7);
    Mounts& mounts = store.mounts.dense_list;
    mounts.x[0] = 15;
    mounts.y[0] = -25;
    mounts.rot[0] = 1.25f;
    const auto first = spawn_projectile(12);
    const auto second = spawn_projectile(12);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->projectile_key, (DenseListKey{1, 0, 1}));
    EXPECT_EQ(second->projectile_key, (DenseListKey{2, 1, 1}));
    const Projectiles& projectiles = store.projectiles.dense_list;
    const ProjectileType fired = mounts.projectile_type[0];
    EXPECT_EQ(projectiles.type[0], fired);
    EXPECT_EQ(projectiles.x[0], 15.0f);
    EXPECT_EQ(projectiles.y[0], -25.0f);
    EXPECT_EQ(projectiles.rot[0], 1.25f);
    EXPECT_EQ(projectiles.speed[0], config->projectile_configs.at(fired).speed);
    EXPECT_EQ(projectiles.inherited_vel_x[0], 3.0f);
    EXPECT_EQ(projectiles.inherited_vel_y[0], 4.0f);
    EXPECT_EQ(projectiles.mount_key[0], (DenseListKey{12, 0, 1}));
}

TEST_F(MirrorTest, ProjectileOfAMissingMountOrShipCreatesNothing) {
    test_support::LogCapture log;
    EXPECT_FALSE(spawn_projectile(12));
    EXPECT_TRUE(log.contains(err, "Missing mount key"));

    // A mount whose parent key names no ship row.
    store.mounts.push_back(12);
    store.mounts.dense_list.parent_key[0] = DenseListKey{7, 0, 1};
    EXPECT_FALSE(spawn_projectile(12));
    EXPECT_TRUE(log.contains(err, "Missing ship index"));
    EXPECT_EQ(store.projectiles.size(), 0u);
}

TEST_F(MirrorTest, ShipSnapshotOverwritesOnlyThePoseAndMotion) {
    spawn_ship(7);
    Ships& ships = store.ships.dense_list;
    ships.target_rot[0] = 2.0f;
    ships.max_acc[0] = 9.0f;
    Client::update_ship_from_ship_snapshot(
        store.ships, NetMsgs::ShipSnapshot{.id = 7, .x = 1, .y = 2, .vel_x = 3, .vel_y = 4,
                                           .acc_x = 5, .acc_y = 6, .rot = 7});
    EXPECT_EQ((std::array{ships.x[0], ships.y[0], ships.vel_x[0], ships.vel_y[0], ships.acc_x[0],
                          ships.acc_y[0], ships.rot[0]}),
              (std::array{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f}));
    EXPECT_EQ(ships.target_rot[0], 2.0f);
    EXPECT_EQ(ships.max_acc[0], 9.0f);
    EXPECT_EQ(store.physics_bodies.dense_list.x[0], 0.0f);
}

TEST_F(MirrorTest, MountSnapshotOverwritesOnlyTheRotation) {
    spawn_ship(7);
    spawn_mount(12, 7);
    Mounts& mounts = store.mounts.dense_list;
    mounts.x[0] = 4;
    Client::update_mount_from_mount_snapshot(store.mounts,
                                             NetMsgs::MountSnapshot{.id = 12, .rot = 0.75f});
    EXPECT_EQ(mounts.rot[0], 0.75f);
    EXPECT_EQ(mounts.x[0], 4.0f);
}

TEST_F(MirrorTest, SnapshotsForUnknownIdsAreDropped) {
    spawn_ship(7);
    test_support::LogCapture log;
    Client::update_ship_from_ship_snapshot(store.ships, NetMsgs::ShipSnapshot{.id = 8, .x = 5});
    Client::update_mount_from_mount_snapshot(store.mounts, NetMsgs::MountSnapshot{.id = 9});
    EXPECT_EQ(store.ships.dense_list.x[0], 0.0f);
    EXPECT_TRUE(log.contains(warn, "No index found for id: 8"));
    EXPECT_TRUE(log.contains(warn, "No index found for id: 9"));
}

}  // namespace
