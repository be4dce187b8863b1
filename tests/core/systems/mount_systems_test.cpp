#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/systems/systems.h"
#include "support/log_capture.h"

namespace {

constexpr float half_pi = std::numbers::pi_v<float> / 2.0f;

struct World {
    DenseListKeyed<Ships> ships;
    DenseListKeyed<Mounts> mounts;

    DenseListKey add_ship(float x, float y, float rot) {
        const DenseListKey key = ships.push_back(-1);
        ships.dense_list.x[key.index] = x;
        ships.dense_list.y[key.index] = y;
        ships.dense_list.rot[key.index] = rot;
        return key;
    }

    std::uint32_t add_mount(DenseListKey parent, float local_x, float local_y) {
        const DenseListKey key = mounts.push_back(-1);
        mounts.dense_list.parent_key[key.index] = parent;
        mounts.dense_list.local_x[key.index] = local_x;
        mounts.dense_list.local_y[key.index] = local_y;
        return key.index;
    }
};

// A single mount at rot 0 turning toward target at ang_vel, after one rotate_mount.
float turned_once(float rot, float target_rot, float ang_vel) {
    DenseListKeyed<Mounts> mounts;
    mounts.push_back(-1);
    mounts.dense_list.rot[0] = rot;
    mounts.dense_list.target_rot[0] = target_rot;
    mounts.dense_list.ang_vel[0] = ang_vel;
    rotate_mount(mounts);
    return mounts.dense_list.rot[0];
}

}  // namespace

TEST(MountAttachment, PlacesTheMountAtItsSlotOnTheTurnedShip) {
    World world;
    const DenseListKey ship = world.add_ship(100.0f, 0.0f, half_pi);
    const std::uint32_t mount = world.add_mount(ship, 10.0f, 0.0f);
    update_child(world.mounts, world.ships);
    const Mounts& m = world.mounts.dense_list;
    EXPECT_NEAR(m.x[mount], 100.0f, 1e-4f);
    EXPECT_NEAR(m.y[mount], 10.0f, 1e-4f);
    EXPECT_FLOAT_EQ(m.rot[mount], half_pi) << "a new mount takes its ship's rotation";
    EXPECT_FLOAT_EQ(m.parent_rot[mount], half_pi);
}

TEST(MountAttachment, TurnsTheMountByTheShipsChangeOfRotation) {
    World world;
    const DenseListKey ship = world.add_ship(0.0f, 0.0f, 0.5f);
    const std::uint32_t mount = world.add_mount(ship, 0.0f, 0.0f);
    update_child(world.mounts, world.ships);
    world.mounts.dense_list.rot[mount] = 2.0f;  // turned toward its own aim meanwhile
    world.ships.dense_list.rot[ship.index] = 0.75f;
    update_child(world.mounts, world.ships);
    EXPECT_FLOAT_EQ(world.mounts.dense_list.rot[mount], 2.25f);
    EXPECT_FLOAT_EQ(world.mounts.dense_list.target_rot[mount], 0.0f) << "the aim is left alone";
}

TEST(MountAttachment, MountWithoutItsShipKeepsItsPose) {
    World world;
    world.add_ship(0.0f, 0.0f, 0.0f);
    const std::uint32_t mount = world.add_mount(DenseListKey{42, 7, 1}, 5.0f, 5.0f);
    world.mounts.dense_list.x[mount] = 3.0f;
    world.mounts.dense_list.rot[mount] = 1.0f;
    test_support::LogCapture log;
    update_child(world.mounts, world.ships);
    EXPECT_EQ(world.mounts.dense_list.x[mount], 3.0f);
    EXPECT_EQ(world.mounts.dense_list.rot[mount], 1.0f);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "No index found for key with id: 42"));
}

TEST(MountTurning, SnapsWithinOneHundredthOfARadian) {
    EXPECT_EQ(turned_once(0.0f, 0.005f, 3.0f), 0.005f);
    // Exactly 0.01 away is a full step, which overshoots the target.
    EXPECT_FLOAT_EQ(turned_once(0.0f, 0.01f, 3.0f), 0.05f);
}

TEST(MountTurning, StepsTheShortWayAcrossPi) {
    // From 3 to -3 is 0.28 rad counter-clockwise through pi; a step of 0.2 wraps.
    EXPECT_NEAR(turned_once(3.0f, -3.0f, 12.0f), 3.2f - 6.2831855f, 1e-6f);
    EXPECT_NEAR(turned_once(-3.0f, 3.0f, 12.0f), 6.2831855f - 3.2f, 1e-6f);
}

TEST(MountTurning, ZeroTurnSpeedOnlySnaps) {
    EXPECT_EQ(turned_once(0.0f, 1.0f, 0.0f), 0.0f);
    EXPECT_EQ(turned_once(0.0f, 0.009f, 0.0f), 0.009f);
}
