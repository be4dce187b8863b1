#pragma once

#include <cmath>

// 2π in single precision.
inline constexpr float two_pi = 6.2831855f;

// The angle brought into [-π, π]: the IEEE remainder by 2π.
inline float wrap_angle(float a) { return std::remainder(a, two_pi); }
