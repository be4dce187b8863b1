#include "server/modules/capture_the_flag/systems/apply_player_input.h"

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

#include "support/log_capture.h"

using test_support::LogCapture;

namespace {

constexpr float max_acc = 10.0f;

// One player flying one ship with two mounts, set up by hand.
struct ApplyPlayerInput : ::testing::Test {
    DenseListKeyed<Ships> ships;
    DenseListKeyed<Mounts> mounts;
    Server::Players players;

    void SetUp() override {
        const DenseListKey ship_key = ships.push_back(-1);
        ships.dense_list.max_acc[ship_key.index] = max_acc;
        Server::PlayerState& player = players[1];
        player.client_id = 1;
        player.ship_key = ship_key;
        player.mount_keys = {mounts.push_back(-1), mounts.push_back(-1)};
        mounts.dense_list.x[1] = 10.0f;
        mounts.dense_list.y[1] = 10.0f;
    }

    Server::PlayerState& player() { return players[1]; }
    Ships& ship() { return ships.dense_list; }
    void apply() { Server::apply_player_input(players, ships, mounts); }
    float acc_magnitude() { return std::hypot(ship().acc_x[0], ship().acc_y[0]); }
};

}  // namespace

TEST_F(ApplyPlayerInput, ThrustIsNormalisedAlongTheHeading) {
    player().input_up = true;
    apply();
    EXPECT_EQ(ship().acc_x[0], max_acc);
    EXPECT_EQ(ship().acc_y[0], 0.0f);

    player().input_right = true;  // strafes toward the heading turned by -pi/2
    apply();
    EXPECT_NEAR(acc_magnitude(), max_acc, 1e-5f);
    EXPECT_GT(ship().acc_x[0], 0.0f);
    EXPECT_FLOAT_EQ(ship().acc_y[0], -ship().acc_x[0]);

    player().input_up = false;
    player().input_right = false;
    player().input_down = true;
    ship().rot[0] = std::numbers::pi_v<float> / 2;
    apply();
    EXPECT_NEAR(ship().acc_x[0], 0.0f, 1e-5f);
    EXPECT_FLOAT_EQ(ship().acc_y[0], -max_acc);
}

TEST_F(ApplyPlayerInput, OpposingKeysCancelAndTheShipCoasts) {
    player().input_up = true;
    apply();
    player().input_down = true;
    player().input_left = true;
    player().input_right = true;
    apply();
    EXPECT_EQ(ship().acc_x[0], 0.0f);
    EXPECT_EQ(ship().acc_y[0], 0.0f);
}

TEST_F(ApplyPlayerInput, BrakingTakesPrecedenceOverThrust) {
    ship().vel_x[0] = 3.0f;
    ship().vel_y[0] = 4.0f;
    player().input_c = true;
    player().input_up = true;
    player().input_right = true;
    apply();
    EXPECT_FLOAT_EQ(ship().acc_x[0], -6.0f);
    EXPECT_FLOAT_EQ(ship().acc_y[0], -8.0f);
}

TEST_F(ApplyPlayerInput, BrakingAtRestGivesNothingAndLogsNothing) {
    player().input_c = true;
    ship().acc_x[0] = 5.0f;
    LogCapture log;
    apply();
    EXPECT_EQ(ship().acc_x[0], 0.0f);
    EXPECT_EQ(ship().acc_y[0], 0.0f);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ApplyPlayerInput, HeadingFollowsTheMouseUnlessShiftHoldsIt) {
    player().input_mouse_dir_x = 0.0f;
    player().input_mouse_dir_y = 5.0f;
    apply();
    EXPECT_FLOAT_EQ(ship().target_rot[0], std::numbers::pi_v<float> / 2);

    player().input_shift = true;
    ship().rot[0] = 1.25f;
    apply();
    EXPECT_EQ(ship().target_rot[0], 1.25f);
    ship().rot[0] = -0.5f;
    apply();
    EXPECT_EQ(ship().target_rot[0], -0.5f);

    player().input_shift = false;
    apply();
    EXPECT_FLOAT_EQ(ship().target_rot[0], std::numbers::pi_v<float> / 2);

    player().input_mouse_dir_y = 0.0f;
    apply();
    EXPECT_EQ(ship().target_rot[0], 0.0f);
}

TEST_F(ApplyPlayerInput, MountsAimAtTheMouseAndFollowTheTrigger) {
    player().input_mouse_world_x = 10.0f;
    player().input_mouse_world_y = 20.0f;
    player().input_fire = true;
    apply();
    EXPECT_FLOAT_EQ(mounts.dense_list.target_rot[0], atan2f(20.0f, 10.0f));
    EXPECT_FLOAT_EQ(mounts.dense_list.target_rot[1], std::numbers::pi_v<float> / 2);
    EXPECT_TRUE(mounts.dense_list.is_active[0]);
    EXPECT_TRUE(mounts.dense_list.is_active[1]);

    player().input_fire = false;
    apply();
    EXPECT_FALSE(mounts.dense_list.is_active[0]);
    EXPECT_FALSE(mounts.dense_list.is_active[1]);
}

TEST_F(ApplyPlayerInput, AMissingShipLeavesItsMountsAlone) {
    player().ship_key = DenseListKey{9, 4, 1};
    player().input_fire = true;
    LogCapture log;
    apply();
    EXPECT_TRUE(log.contains(spdlog::level::err, "Missing ship index for id: 9"));
    EXPECT_FALSE(mounts.dense_list.is_active[0]);
}

TEST_F(ApplyPlayerInput, AMissingMountIsReportedAndTheOthersServed) {
    player().mount_keys.insert(player().mount_keys.begin(), DenseListKey{7, 5, 1});
    player().input_fire = true;
    LogCapture log;
    apply();
    EXPECT_TRUE(log.contains(spdlog::level::err, "Missing mount index for id: 7"));
    EXPECT_TRUE(mounts.dense_list.is_active[0]);
    EXPECT_TRUE(mounts.dense_list.is_active[1]);
}

TEST_F(ApplyPlayerInput, APlayerWithoutAShipIsSkippedQuietly) {
    player().ship_key.reset();
    player().input_fire = true;
    LogCapture log;
    apply();
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(mounts.dense_list.is_active[0]);
}

TEST_F(ApplyPlayerInput, AStaleShipKeyIsRefreshedInTheRecord) {
    // Row 0 now has generation 2; the key re-resolves by id.
    player().ship_key = DenseListKey{1, 0, 5};
    player().input_up = true;
    apply();
    EXPECT_EQ(ship().acc_x[0], max_acc);
    EXPECT_EQ(player().ship_key, (DenseListKey{1, 0, 1}));
}
