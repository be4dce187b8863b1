#include "core/timer/timer.h"

void Timer::tick(double delta_time_seconds) { remaining_time_seconds -= delta_time_seconds; }

void Timer::start(double seconds) { remaining_time_seconds = seconds; }

bool Timer::is_complete() const { return remaining_time_seconds <= 0.0; }
