#include "core/fixed_tick_tracker/fixed_tick_tracker.h"

#include "core/constants/constants.h"

void FixedTickTracker::tick(double delta_time_seconds) {
    elapsed_seconds += delta_time_seconds;
    const double interval = static_cast<double>(Constants::fixed_tick_interval_seconds);
    fixed_ticks_to_make = static_cast<int>(elapsed_seconds / interval) - fixed_ticks_consumed;
}

bool FixedTickTracker::consume_fixed_tick() {
    if (fixed_ticks_to_make == 0) {
        return false;
    }
    --fixed_ticks_to_make;
    ++fixed_ticks_consumed;
    return true;
}
