#include <gtest/gtest.h>

#include "core/net_msg_batch/net_msg_batch.h"
#include "core/store/store.h"
#include "support/log_capture.h"

using test_support::LogCapture;

TEST(FromStore, ShipRowsBecomeSnapshotsAndSpawnsUnderTheirIds) {
    Store store;
    store.ships.push_back(-1);
    const DenseListKey key = store.ships.push_back(-1);
    Ships& ships = store.ships.dense_list;
    ships.type[1] = ShipType::CruiserTwo;
    ships.x[1] = 1.0f;
    ships.y[1] = 2.0f;
    ships.vel_x[1] = 3.0f;
    ships.vel_y[1] = 4.0f;
    ships.acc_x[1] = 5.0f;
    ships.acc_y[1] = 6.0f;
    ships.rot[1] = 7.0f;
    ships.target_rot[1] = 8.0f;

    EXPECT_EQ(NetMsgs::ShipSnapshot::from_store(store.ships, 1),
              (NetMsgs::ShipSnapshot{key.id, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f}));
    EXPECT_EQ(NetMsgs::ShipSpawn::from_store(store.ships, 1),
              (NetMsgs::ShipSpawn{key.id, ShipType::CruiserTwo, 1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f}));

    // After a removal moves id 2 into row 0, the builders follow the row.
    ASSERT_TRUE(store.ships.remove_by_idx(0));
    EXPECT_EQ(NetMsgs::ShipSnapshot::from_store(store.ships, 0)->id, key.id);
}

TEST(FromStore, ARowWithoutIdGivesNoMessage) {
    Store store;
    store.ships.push_back(-1);
    LogCapture log;
    EXPECT_FALSE(NetMsgs::ShipSnapshot::from_store(store.ships, 1).has_value());
    EXPECT_FALSE(NetMsgs::ShipSpawn::from_store(store.ships, 1).has_value());
    EXPECT_FALSE(NetMsgs::MountSpawn::from_store(store.mounts, 0).has_value());
    EXPECT_FALSE(NetMsgs::MountSnapshot::from_store(store.mounts, 0).has_value());
    EXPECT_FALSE(NetMsgs::ProjectileSpawn::from_store(store.projectiles, 0).has_value());
    EXPECT_EQ(log.count(spdlog::level::warn, "No id found for index: 1"), 2);
    EXPECT_EQ(log.count(spdlog::level::warn, "No id found for index: 0"), 3);
}

TEST(FromStore, MountSpawnNamesItsParentEvenWhenTheShipIsGone) {
    Store store;
    const DenseListKey ship = store.ships.push_back(-1);
    store.mounts.push_back(-1);
    const DenseListKey mount = store.mounts.push_back(-1);
    Mounts& mounts = store.mounts.dense_list;
    mounts.parent_key[1] = ship;
    mounts.ship_mount_index[1] = 3;
    mounts.type[1] = MountType::MediumTwo;
    mounts.rot[1] = -1.25f;
    ASSERT_TRUE(store.ships.remove_by_id(ship.id));

    EXPECT_EQ(NetMsgs::MountSpawn::from_store(store.mounts, 1),
              (NetMsgs::MountSpawn{mount.id, ship.id, 3, MountType::MediumTwo}));
    EXPECT_EQ(NetMsgs::MountSnapshot::from_store(store.mounts, 1),
              (NetMsgs::MountSnapshot{mount.id, -1.25f}));
}

TEST(FromStore, ProjectilesOfOneMountGiveEqualSpawns) {
    Store store;
    const DenseListKey mount = store.mounts.push_back(-1);
    for (int shot = 0; shot < 2; ++shot) {
        const DenseListKey projectile = store.projectiles.push_back(-1);
        store.projectiles.dense_list.mount_key[projectile.index] = mount;
        store.projectiles.dense_list.x[projectile.index] = static_cast<float>(shot);
    }
    const auto first = NetMsgs::ProjectileSpawn::from_store(store.projectiles, 0);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->mount_id, mount.id);
    EXPECT_EQ(NetMsgs::ProjectileSpawn::from_store(store.projectiles, 1), first);
}
