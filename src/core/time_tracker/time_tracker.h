#pragma once

#include <chrono>

// Measures the real time between two engine steps on a monotonic clock.
class TimeTracker {
public:
    using Clock = std::chrono::steady_clock;
    // Where the present instant comes from; tests hand in a clock they drive.
    using NowFunction = Clock::time_point (*)();

    explicit TimeTracker(NowFunction now = &Clock::now);

    // Reads the clock once: the delta is the time since the previous tick
    // (or since construction).
    void tick();
    double get_delta() const;
    // Time since construction; reads the clock.
    double get_elapsed() const;

    std::chrono::duration<double> delta_time_seconds{0.0};
    std::chrono::duration<double> elapsed_seconds{0.0};
    Clock::time_point start_time_point;
    Clock::time_point last_tick_time_point;

private:
    NowFunction clock_now;
};
