#pragma once

// A count-down in seconds. Restarting drops any overshoot, so a period built
// on it fires at least one interval apart and drifts later by the overshoot.
class Timer {
public:
    // Starts at 0, so a new timer has already run out.
    Timer() = default;

    // The remaining time may go below zero.
    void tick(double delta_time_seconds);
    void start(double seconds);
    // False for a NaN remaining time.
    bool is_complete() const;

    double remaining_time_seconds = 0.0;
};
