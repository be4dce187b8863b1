#pragma once

// Turns accumulated real time into fixed ticks due on an absolute schedule:
// the n-th tick is due once the total reaches n fixed intervals, however the
// time arrived, so irregular deltas neither lose nor double a tick.
class FixedTickTracker {
public:
    FixedTickTracker() = default;

    void tick(double delta_time_seconds);
    // Hands out one due tick; false when none is due.
    bool consume_fixed_tick();

    double elapsed_seconds = 0.0;
    int fixed_ticks_consumed = 0;
    int fixed_ticks_to_make = 0;
};
