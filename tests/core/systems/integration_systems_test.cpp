#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "core/systems/systems.h"

namespace {

Ships ships_with_rows(std::uint32_t n) {
    Ships ships;
    for (std::uint32_t i = 0; i < n; ++i) {
        ships.push_back();
    }
    return ships;
}

// One ship alone, so it always takes the one-row path.
Ships single_ship(float rot, float ang_vel, float target_rot, float max_ang_acc) {
    Ships ships = ships_with_rows(1);
    ships.rot[0] = rot;
    ships.ang_vel[0] = ang_vel;
    ships.target_rot[0] = target_rot;
    ships.max_ang_acc[0] = max_ang_acc;
    return ships;
}

float heading_acceleration_of(float rot, float ang_vel, float target_rot, float max_ang_acc) {
    Ships ships = single_ship(rot, ang_vel, target_rot, max_ang_acc);
    update_angular_acceleration(ships);
    return ships.ang_acc[0];
}

float degrees(float d) { return d * std::numbers::pi_v<float> / 180.0f; }

}  // namespace

TEST(IntegrationSystems, AccelerationThenVelocityStepOneTick) {
    Ships ships = ships_with_rows(1);
    ships.acc_x[0] = 60.0f;
    apply_acceleration(ships);
    EXPECT_EQ(ships.vel_x[0], 1.0f);
    EXPECT_EQ(ships.vel_y[0], 0.0f);
    apply_velocity(ships);
    EXPECT_EQ(ships.x[0], 0.016666668f);
    EXPECT_EQ(ships.y[0], 0.0f);
}

TEST(IntegrationSystems, AngularVelocityIsClampedToTheShipsMaximum) {
    Ships ships = ships_with_rows(3);
    ships.max_ang_vel = {2.0f, 2.0f, 0.0f};
    ships.ang_vel = {2.0f, -2.0f, 0.0f};
    ships.ang_acc = {5.0f, -5.0f, 5.0f};
    for (int tick = 0; tick < 10; ++tick) {
        apply_angular_acceleration(ships);
    }
    EXPECT_EQ(ships.ang_vel[0], 2.0f);
    EXPECT_EQ(ships.ang_vel[1], -2.0f);
    EXPECT_EQ(ships.ang_vel[2], 0.0f) << "a zero maximum keeps the ship from turning";
}

TEST(IntegrationSystems, CooldownFallsWithoutBound) {
    Mounts mounts;
    mounts.push_back();
    for (int tick = 0; tick < 600; ++tick) {
        update_cooldown(mounts);
    }
    EXPECT_NEAR(mounts.cooldown[0], -10.0f, 1e-3f);
}

TEST(HeadingController, AtRestOnTargetStaysAtRestInAnyRow) {
    // Nine rows: the resting ship sits in the eight-lane block and in the remainder.
    Ships ships = ships_with_rows(9);
    for (std::uint32_t i = 0; i < 9; ++i) {
        ships.rot[i] = 1.0f;
        ships.target_rot[i] = 1.0f;
        ships.max_ang_acc[i] = 3.0f;
    }
    update_angular_acceleration(ships);
    for (std::uint32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(ships.ang_acc[i], 0.0f) << "row " << i;
    }
}

TEST(HeadingController, SpinningOnTargetBrakesAgainstTheSpin) {
    EXPECT_EQ(heading_acceleration_of(0.5f, 2.0f, 0.5f, 3.0f), -3.0f);
    EXPECT_EQ(heading_acceleration_of(0.5f, -2.0f, 0.5f, 3.0f), 3.0f);
}

TEST(HeadingController, TurnsTheShortWayAcrossPi) {
    // From -170 degrees to 170 degrees is 20 degrees clockwise.
    EXPECT_EQ(heading_acceleration_of(degrees(-170.0f), 0.0f, degrees(170.0f), 3.0f), -3.0f);
    EXPECT_EQ(heading_acceleration_of(degrees(170.0f), 0.0f, degrees(-170.0f), 3.0f), 3.0f);
}

TEST(HeadingController, BrakesWhenItWouldOvershoot) {
    // Braking distance from 1 rad/s at 2 rad/s^2 is 0.25 rad.
    EXPECT_EQ(heading_acceleration_of(0.0f, 1.0f, 0.2f, 2.0f), -2.0f);
    EXPECT_EQ(heading_acceleration_of(0.0f, 1.0f, 0.3f, 2.0f), 2.0f);
}

TEST(HeadingController, TurningAwayFromTheTargetAcceleratesTowardIt) {
    EXPECT_EQ(heading_acceleration_of(0.0f, -1.0f, 0.5f, 2.0f), 2.0f);
    EXPECT_EQ(heading_acceleration_of(0.0f, 1.0f, -0.5f, 2.0f), -2.0f);
}

TEST(HeadingController, SettlesOnTheTargetWhenRunWithTheIntegration) {
    Ships ships = single_ship(0.0f, 0.0f, 1.0f, 4.0f);
    ships.max_ang_vel[0] = 2.0f;
    for (int tick = 0; tick < 600; ++tick) {
        update_angular_acceleration(ships);
        apply_angular_acceleration(ships);
        apply_angular_velocity(ships);
    }
    EXPECT_NEAR(ships.rot[0], 1.0f, 0.01f);
    EXPECT_NEAR(ships.ang_vel[0], 0.0f, 0.1f);
}

// --- A row's result does not depend on whether it falls into an eight-lane block.

namespace {

std::vector<float> sample_values(std::uint32_t n, std::uint32_t start, float spread) {
    std::mt19937 rng(start);
    std::uniform_real_distribution<float> any(-spread, spread);
    std::vector<float> values(n);
    for (float& v : values) {
        v = any(rng);
    }
    // Values that select the rarer branches and the edges of the float range.
    const float edge_values[] = {0.0f, -0.0f, 1.0f, -1.0f, 3.1415927f, -3.1415927f, 6.2831855f, 1e-30f,
                              std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()};
    for (std::uint32_t i = 0; i < std::size(edge_values) && i * 3 < n; ++i) {
        values[i * 3] = edge_values[i];
    }
    return values;
}

template <typename Store>
using Column = std::vector<float> Store::*;

// Runs `system` over all rows at once and over each row in a store of its own,
// and expects bit-identical results in every output column.
template <typename Store>
void expect_rows_match_alone(std::function<void(Store&)> system, std::vector<Column<Store>> inputs,
                             std::vector<Column<Store>> outputs) {
    constexpr std::uint32_t rows = 8 * 5 + 7;
    Store all;
    for (std::uint32_t i = 0; i < rows; ++i) {
        all.push_back();
    }
    std::uint32_t start = 11;
    for (Column<Store> column : inputs) {
        all.*column = sample_values(rows, start++, 8.0f);
    }
    // Rows where rotation and target agree, to reach the on-target branch in the lanes.
    if constexpr (requires { all.target_rot; }) {
        for (std::uint32_t i = 1; i < rows; i += 4) {
            all.target_rot[i] = all.rot[i];
        }
    }
    const Store before = all;
    system(all);
    for (std::uint32_t i = 0; i < rows; ++i) {
        Store one;
        one.push_back();
        for (Column<Store> column : inputs) {
            (one.*column)[0] = (before.*column)[i];
        }
        system(one);
        for (Column<Store> column : outputs) {
            EXPECT_EQ(std::bit_cast<std::uint32_t>((all.*column)[i]), std::bit_cast<std::uint32_t>((one.*column)[0]))
                << "row " << i << ": " << (all.*column)[i] << " in the block, " << (one.*column)[0] << " alone";
        }
    }
}

}  // namespace

TEST(EightLaneSystems, EveryRowMatchesItsOneRowResult) {
    expect_rows_match_alone<Ships>([](Ships& s) { apply_velocity(s); }, {&Ships::x, &Ships::y, &Ships::vel_x, &Ships::vel_y},
                                   {&Ships::x, &Ships::y});
    expect_rows_match_alone<Ships>([](Ships& s) { apply_acceleration(s); },
                                   {&Ships::vel_x, &Ships::vel_y, &Ships::acc_x, &Ships::acc_y},
                                   {&Ships::vel_x, &Ships::vel_y});
    expect_rows_match_alone<Ships>([](Ships& s) { apply_angular_velocity(s); }, {&Ships::rot, &Ships::ang_vel},
                                   {&Ships::rot});
    expect_rows_match_alone<Ships>([](Ships& s) { apply_angular_acceleration(s); },
                                   {&Ships::ang_vel, &Ships::ang_acc, &Ships::max_ang_vel}, {&Ships::ang_vel});
    expect_rows_match_alone<Ships>([](Ships& s) { update_angular_acceleration(s); },
                                   {&Ships::ang_vel, &Ships::rot, &Ships::target_rot, &Ships::max_ang_acc},
                                   {&Ships::ang_acc});
    expect_rows_match_alone<Mounts>([](Mounts& m) { update_cooldown(m); }, {&Mounts::cooldown}, {&Mounts::cooldown});
}

TEST(EightLaneSystems, AngularVelocityWrapsPastPiWhereverTheBlocksEnd) {
    // 1 and 7 rows take only the one-row path, 8 and 16 only the block path.
    for (const std::uint32_t rows : {1u, 7u, 8u, 16u, 17u}) {
        Ships ships = ships_with_rows(rows);
        for (std::uint32_t i = 0; i < rows; ++i) {
            ships.rot[i] = 3.1f;
            ships.ang_vel[i] = 6.0f;
        }
        apply_angular_velocity(ships);
        for (std::uint32_t i = 0; i < rows; ++i) {
            // wrap(3.1999998) = -3.0831857, bit for bit.
            EXPECT_EQ(std::bit_cast<std::uint32_t>(ships.rot[i]), 0xC04552EAu) << rows << " rows, row " << i;
        }
    }
}

TEST(EightLaneSystems, LaneWrapEqualsTheLibraryRemainderBitForBit) {
    std::vector<float> angles;
    std::mt19937 rng(4242u);
    std::uniform_real_distribution<float> exponent(-30.0f, 24.0f);
    for (int i = 0; i < 200000; ++i) {
        const float magnitude = std::exp2(exponent(rng));
        angles.push_back((i % 2 == 0) ? magnitude : -magnitude);
    }
    // Around every odd multiple of pi up to well past the fast range, where the
    // nearest multiple of 2pi flips, and on exact multiples of 2pi.
    for (int k = -400000; k <= 400000; k += (k > -1000 && k < 1000) ? 1 : 997) {
        for (const float centre : {static_cast<float>(k) * 3.1415927f, static_cast<float>(k) * 6.2831855f}) {
            float below = centre;
            float above = centre;
            for (int step = 0; step < 3; ++step) {
                angles.push_back(below);
                angles.push_back(above);
                below = std::nextafter(below, -std::numeric_limits<float>::infinity());
                above = std::nextafter(above, std::numeric_limits<float>::infinity());
            }
        }
    }
    for (const float edge : {0.0f, -0.0f, 3.1415927f, -3.1415927f, 6.2831855f, -6.2831855f, 1048575.94f,
                             1048576.0f, -1048576.0f, std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()}) {
        angles.push_back(edge);
    }
    while (angles.size() % 8 != 0) {
        angles.push_back(1.0f);
    }
    int mismatches = 0;
    for (std::size_t i = 0; i < angles.size(); i += 8) {
        const systems_detail::Lanes lanes(angles.data() + i, std::experimental::element_aligned);
        const systems_detail::Lanes wrapped = systems_detail::wrap(lanes);
        for (std::size_t lane = 0; lane < 8; ++lane) {
            const float expected = std::remainder(angles[i + lane], 6.2831855f);
            if (std::bit_cast<std::uint32_t>(static_cast<float>(wrapped[lane])) !=
                    std::bit_cast<std::uint32_t>(expected) &&
                ++mismatches <= 5) {
                ADD_FAILURE() << "wrap(" << angles[i + lane] << ") = " << wrapped[lane] << ", expected " << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}
