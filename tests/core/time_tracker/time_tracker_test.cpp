#include <gtest/gtest.h>

#include <chrono>

#include "core/time_tracker/time_tracker.h"

namespace {

using namespace std::chrono_literals;

TimeTracker::Clock::time_point fake_now;
TimeTracker::Clock::time_point read_fake_clock() { return fake_now; }

}  // namespace

TEST(TimeTracker, DeltaIsZeroBeforeTheFirstTick) {
    EXPECT_EQ(TimeTracker{}.get_delta(), 0.0);
}

TEST(TimeTracker, DeltaIsTheTimeSinceThePreviousTick) {
    fake_now = TimeTracker::Clock::time_point{};
    TimeTracker tracker(&read_fake_clock);
    fake_now += 250ms;
    tracker.tick();
    EXPECT_DOUBLE_EQ(tracker.get_delta(), 0.25);
    fake_now += 1ns;
    tracker.tick();
    EXPECT_DOUBLE_EQ(tracker.get_delta(), 1e-9);
    EXPECT_DOUBLE_EQ(tracker.get_elapsed(), 0.250000001);
}
