#include <benchmark/benchmark.h>

#include <cstdint>

#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "core/systems/systems.h"

namespace {

// Ships in motion with varied headings, so every branch of the heading
// controller and of the clamps is taken somewhere.
Ships moving_ships(std::uint32_t n) {
    Ships ships;
    for (std::uint32_t i = 0; i < n; ++i) {
        ships.push_back();
        const auto f = static_cast<float>(i % 97);
        ships.x[i] = f * 13.0f;
        ships.y[i] = f * -7.0f;
        ships.vel_x[i] = f - 48.0f;
        ships.vel_y[i] = 30.0f - f;
        ships.acc_x[i] = f * 0.5f;
        ships.acc_y[i] = -f * 0.25f;
        ships.rot[i] = f * 0.07f - 3.0f;
        ships.target_rot[i] = 3.0f - f * 0.05f;
        ships.ang_vel[i] = (f - 48.0f) * 0.05f;
        ships.max_ang_vel[i] = 2.0f;
        ships.ang_acc[i] = (f - 48.0f) * 0.1f;
        ships.max_ang_acc[i] = 4.0f;
    }
    return ships;
}

template <void (*System)(Ships&)>
void BM_ShipSystem(benchmark::State& state) {
    Ships ships = moving_ships(static_cast<std::uint32_t>(state.range(0)));
    for (auto _ : state) {
        System(ships);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_UpdateCooldown(benchmark::State& state) {
    Mounts mounts;
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        mounts.push_back();
    }
    for (auto _ : state) {
        update_cooldown(mounts);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void run_apply_velocity(Ships& s) { apply_velocity(s); }
void run_apply_acceleration(Ships& s) { apply_acceleration(s); }
void run_apply_angular_velocity(Ships& s) { apply_angular_velocity(s); }
void run_apply_angular_acceleration(Ships& s) { apply_angular_acceleration(s); }
void run_update_angular_acceleration(Ships& s) { update_angular_acceleration(s); }

}  // namespace

BENCHMARK(BM_ShipSystem<run_apply_velocity>)->Name("apply_velocity")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_ShipSystem<run_apply_acceleration>)->Name("apply_acceleration")->Arg(1000)->Arg(10000)->Arg(100000);
BENCHMARK(BM_ShipSystem<run_apply_angular_velocity>)
    ->Name("apply_angular_velocity")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000);
BENCHMARK(BM_ShipSystem<run_apply_angular_acceleration>)
    ->Name("apply_angular_acceleration")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000);
BENCHMARK(BM_ShipSystem<run_update_angular_acceleration>)
    ->Name("update_angular_acceleration")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000);
BENCHMARK(BM_UpdateCooldown)->Name("update_cooldown")->Arg(1000)->Arg(10000)->Arg(100000);
