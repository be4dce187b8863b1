#include <gtest/gtest.h>

#include <limits>

#include "core/constants/constants.h"
#include "core/timer/timer.h"

TEST(Timer, NewTimerHasRunOut) { EXPECT_TRUE(Timer{}.is_complete()); }

TEST(Timer, RestartWithTheNetSendIntervalKeepsTheFloatExcess) {
    Timer timer;
    timer.start(static_cast<double>(Constants::net_send_interval_seconds));
    timer.tick(0.05);
    EXPECT_FALSE(timer.is_complete());  // about 7.45e-10 s remain
    EXPECT_NEAR(timer.remaining_time_seconds, 7.45e-10, 1e-11);
    timer.tick(0.000001);
    EXPECT_TRUE(timer.is_complete());
}

TEST(Timer, RestartDropsTheOvershoot) {
    Timer timer;
    timer.tick(0.5);
    EXPECT_DOUBLE_EQ(timer.remaining_time_seconds, -0.5);
    timer.start(0.25);
    EXPECT_DOUBLE_EQ(timer.remaining_time_seconds, 0.25);
    timer.tick(0.25);
    EXPECT_TRUE(timer.is_complete());  // exactly zero counts as run out
}

TEST(Timer, NanNeverCompletes) {
    Timer timer;
    timer.start(std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(timer.is_complete());
}
