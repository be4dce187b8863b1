#include "core/time_tracker/time_tracker.h"

TimeTracker::TimeTracker(NowFunction now)
    : start_time_point(now()), last_tick_time_point(start_time_point), clock_now(now) {}

void TimeTracker::tick() {
    const Clock::time_point instant = clock_now();
    delta_time_seconds = instant - last_tick_time_point;
    last_tick_time_point = instant;
}

double TimeTracker::get_delta() const { return delta_time_seconds.count(); }

double TimeTracker::get_elapsed() const {
    return std::chrono::duration<double>(clock_now() - start_time_point).count();
}
