#pragma once

// The simulation systems of one fixed tick. The integration systems and the
// heading controller run eight rows at a time and finish the rest one by one;
// both paths share one formula per system, so a row's result does not depend
// on where it falls (the build keeps products unfused).

#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <experimental/simd>

#include "core/constants/constants.h"
#include "core/systems/angle.h"
#include "core/systems/mount_systems.h"
#include "core/systems/physics_body_systems.h"
#include "core/systems/projectile_systems.h"

template <typename T>
concept VelocityStorage = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.x.data() } -> std::same_as<float*>;
    { s.y.data() } -> std::same_as<float*>;
    { s.vel_x.data() } -> std::same_as<float*>;
    { s.vel_y.data() } -> std::same_as<float*>;
};

template <typename T>
concept AccelerationStorage = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.vel_x.data() } -> std::same_as<float*>;
    { s.vel_y.data() } -> std::same_as<float*>;
    { s.acc_x.data() } -> std::same_as<float*>;
    { s.acc_y.data() } -> std::same_as<float*>;
};

template <typename T>
concept AngularVelocityStorage = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.rot.data() } -> std::same_as<float*>;
    { s.ang_vel.data() } -> std::same_as<float*>;
};

template <typename T>
concept InputApplyAngularAcceleration = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.ang_vel.data() } -> std::same_as<float*>;
    { s.ang_acc.data() } -> std::same_as<float*>;
    { s.max_ang_vel.data() } -> std::same_as<float*>;
};

template <typename T>
concept InputUpdateAngularAcceleration = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.ang_vel.data() } -> std::same_as<float*>;
    { s.rot.data() } -> std::same_as<float*>;
    { s.target_rot.data() } -> std::same_as<float*>;
    { s.max_ang_acc.data() } -> std::same_as<float*>;
    { s.ang_acc.data() } -> std::same_as<float*>;
};

template <typename T>
concept CooldownStorage = requires(T& s) {
    { s.size() } -> std::convertible_to<std::size_t>;
    { s.cooldown.data() } -> std::same_as<float*>;
};

namespace systems_detail {

namespace stdx = std::experimental;

using Lanes = stdx::fixed_size_simd<float, Constants::simd_size>;

inline constexpr float delta_time = Constants::fixed_tick_interval_seconds;

template <typename V>
V load_row(const float* p) {
    if constexpr (std::same_as<V, float>) {
        return *p;
    } else {
        return V(p, stdx::element_aligned);
    }
}

inline void store_row(float v, float* p) { *p = v; }
inline void store_row(const Lanes& v, float* p) { v.copy_to(p, stdx::element_aligned); }

inline float wrap(float a) { return wrap_angle(a); }

// Eight-lane wrap_angle, bit for bit. Below 2^20 in magnitude the quotient by
// 2π, rounded to the nearest integer (ties to even) in double precision, is
// the integer remainderf uses, and a - n·2π is exact in double, so the result
// is the exact IEEE remainder. Other lanes (large, infinite, NaN) take the
// library call one by one.
inline Lanes wrap(const Lanes& a) {
    if (!stdx::all_of(stdx::abs(a) < Lanes(1048576.0f))) {
        return Lanes([&](auto lane) { return wrap_angle(a[lane]); });
    }
    using Wide = stdx::fixed_size_simd<double, Constants::simd_size>;
    const Wide wide_a = stdx::static_simd_cast<Wide>(a);
    const Wide period(static_cast<double>(two_pi));
    const Wide round_to_integer(6755399441055744.0);  // 1.5·2^52: adding it rounds to an integer
    const Wide n = (wide_a / period + round_to_integer) - round_to_integer;
    Lanes r = stdx::static_simd_cast<Lanes>(wide_a - n * period);
    // A zero remainder carries the sign of a.
    stdx::where(r == Lanes(0.0f), r) = stdx::copysign(Lanes(0.0f), a);
    return r;
}

inline float copysign(float magnitude, float sign) { return std::copysign(magnitude, sign); }
inline Lanes copysign(const Lanes& magnitude, const Lanes& sign) { return stdx::copysign(magnitude, sign); }

inline float abs(float v) { return std::fabs(v); }
inline Lanes abs(const Lanes& v) { return stdx::abs(v); }

// target = value where the condition holds.
inline void assign_where(bool condition, float& target, float value) {
    if (condition) {
        target = value;
    }
}
inline void assign_where(const Lanes::mask_type& condition, Lanes& target, const Lanes& value) {
    stdx::where(condition, target) = value;
}

// Runs row.operator()<V>(first row) over blocks of eight rows as V = Lanes,
// then over the remaining rows one at a time as V = float. Flattened: the
// eight-lane helpers only pay off once they are inlined into the loop.
template <typename Row>
[[gnu::flatten]] void for_each_block(std::size_t n, Row&& row) {
    std::size_t idx = 0;
    for (; idx + Constants::simd_size <= n; idx += Constants::simd_size) {
        row.template operator()<Lanes>(idx);
    }
    for (; idx < n; ++idx) {
        row.template operator()<float>(idx);
    }
}

// The heading controller's choice for one row or eight lanes: rule 4 first,
// then rules 3, 2 and 1 override it where they hold.
template <typename V>
V heading_acceleration(V ang_vel, V rot, V target_rot, V max_ang_acc) {
    const V displacement = wrap(target_rot - rot);
    const V breaking_distance = (ang_vel * ang_vel) / (max_ang_acc * V(-2.0f));
    V acc = copysign(max_ang_acc, displacement);
    assign_where(abs(displacement) < abs(breaking_distance), acc, copysign(max_ang_acc, -displacement));
    assign_where(displacement * ang_vel < V(0.0f), acc, copysign(max_ang_acc, displacement));
    V on_target = copysign(max_ang_acc, -ang_vel);
    assign_where(ang_vel == V(0.0f), on_target, V(0.0f));
    assign_where(displacement == V(0.0f), acc, on_target);
    return acc;
}

// min(max(v, lo), hi) with the lower bound first, as std::max and std::min compare.
template <typename V>
V clamp_low_first(V v, V lo, V hi) {
    assign_where(v < lo, v, lo);
    assign_where(hi < v, v, hi);
    return v;
}

}  // namespace systems_detail

template <VelocityStorage T>
void apply_velocity(T& store) {
    using namespace systems_detail;
    float* x = store.x.data();
    float* y = store.y.data();
    const float* vel_x = store.vel_x.data();
    const float* vel_y = store.vel_y.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        const V dt(delta_time);
        store_row(load_row<V>(x + i) + load_row<V>(vel_x + i) * dt, x + i);
        store_row(load_row<V>(y + i) + load_row<V>(vel_y + i) * dt, y + i);
    });
}

template <AccelerationStorage T>
void apply_acceleration(T& store) {
    using namespace systems_detail;
    float* vel_x = store.vel_x.data();
    float* vel_y = store.vel_y.data();
    const float* acc_x = store.acc_x.data();
    const float* acc_y = store.acc_y.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        const V dt(delta_time);
        store_row(load_row<V>(vel_x + i) + load_row<V>(acc_x + i) * dt, vel_x + i);
        store_row(load_row<V>(vel_y + i) + load_row<V>(acc_y + i) * dt, vel_y + i);
    });
}

template <AngularVelocityStorage T>
void apply_angular_velocity(T& store) {
    using namespace systems_detail;
    float* rot = store.rot.data();
    const float* ang_vel = store.ang_vel.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        const V dt(delta_time);
        store_row(wrap(load_row<V>(rot + i) + load_row<V>(ang_vel + i) * dt), rot + i);
    });
}

template <InputApplyAngularAcceleration T>
void apply_angular_acceleration(T& store) {
    using namespace systems_detail;
    float* ang_vel = store.ang_vel.data();
    const float* ang_acc = store.ang_acc.data();
    const float* max_ang_vel = store.max_ang_vel.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        const V dt(delta_time);
        const V v = load_row<V>(ang_vel + i) + load_row<V>(ang_acc + i) * dt;
        const V limit = load_row<V>(max_ang_vel + i);
        store_row(clamp_low_first(v, -limit, limit), ang_vel + i);
    });
}

template <CooldownStorage T>
void update_cooldown(T& store) {
    using namespace systems_detail;
    float* cooldown = store.cooldown.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        store_row(load_row<V>(cooldown + i) - V(delta_time), cooldown + i);
    });
}

// Picks each ship's angular acceleration so that it turns toward target_rot and stops there.
template <InputUpdateAngularAcceleration T>
void update_angular_acceleration(T& store) {
    using namespace systems_detail;
    const float* ang_vel = store.ang_vel.data();
    const float* rot = store.rot.data();
    const float* target_rot = store.target_rot.data();
    const float* max_ang_acc = store.max_ang_acc.data();
    float* ang_acc = store.ang_acc.data();
    for_each_block(store.size(), [&]<typename V>(std::size_t i) {
        store_row(heading_acceleration(load_row<V>(ang_vel + i), load_row<V>(rot + i), load_row<V>(target_rot + i),
                                   load_row<V>(max_ang_acc + i)),
              ang_acc + i);
    });
}
