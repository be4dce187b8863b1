#include <gtest/gtest.h>

#include "core/fixed_tick_tracker/fixed_tick_tracker.h"

TEST(FixedTickTracker, TruncatesTicksDueOnTheFloatInterval) {
    FixedTickTracker tracker;
    tracker.tick(0.05);  // 2.9999998 intervals
    EXPECT_EQ(tracker.fixed_ticks_to_make, 2);

    FixedTickTracker other;
    other.tick(0.1);  // 5.9999997 intervals
    EXPECT_EQ(other.fixed_ticks_to_make, 5);
}

TEST(FixedTickTracker, TickBecomesDueOnceTheIntervalIsReached) {
    FixedTickTracker tracker;
    tracker.tick(0.0166);
    EXPECT_EQ(tracker.fixed_ticks_to_make, 0);
    EXPECT_FALSE(tracker.consume_fixed_tick());
    tracker.tick(0.0001);
    EXPECT_EQ(tracker.fixed_ticks_to_make, 1);
}

TEST(FixedTickTracker, DueTicksStayUntilConsumed) {
    FixedTickTracker tracker;
    tracker.tick(0.05);
    EXPECT_TRUE(tracker.consume_fixed_tick());
    tracker.tick(0.0);
    EXPECT_EQ(tracker.fixed_ticks_to_make, 1);
    EXPECT_TRUE(tracker.consume_fixed_tick());
    EXPECT_FALSE(tracker.consume_fixed_tick());
    EXPECT_EQ(tracker.fixed_ticks_consumed, 2);
}

TEST(FixedTickTracker, ScheduleIsAbsoluteAcrossIrregularDeltas) {
    FixedTickTracker tracker;
    int consumed = 0;
    for (int i = 0; i < 100; ++i) {
        tracker.tick(i % 2 == 0 ? 0.003 : 0.011);
        while (tracker.consume_fixed_tick()) {
            ++consumed;
        }
    }
    // 50 * 0.014 s = 0.7 s = 41.99999 intervals
    EXPECT_EQ(consumed, 41);
}
