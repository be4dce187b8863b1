#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/components/projectiles/projectiles.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

namespace {

using List = DenseListKeyed<Projectiles>;

// A cheap deterministic sequence, so every run removes the same rows.
std::uint32_t next_pick(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Projectile churn: fill to a live count, then alternately remove a row by its
// id and fire a new one, as hits and firing do in a long game.
void BM_PushRemoveChurn(benchmark::State& state) {
    const auto live = static_cast<std::uint32_t>(state.range(0));
    List list;
    std::vector<std::uint32_t> ids;
    for (std::uint32_t i = 0; i < live; ++i) {
        ids.push_back(list.push_back(-1).id);
    }
    std::uint32_t pick_state = 1;
    for (auto _ : state) {
        const std::uint32_t slot = next_pick(pick_state) % live;
        benchmark::DoNotOptimize(list.remove_by_id(ids[slot]));
        ids[slot] = list.push_back(-1).id;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PushRemoveChurn)->Arg(100)->Arg(1000)->Arg(4000);

// Keys that are current (the generation check alone) and keys whose
// generation no longer matches (the look-up by id that refreshes the key).
void BM_GetIndexByKey(benchmark::State& state) {
    const bool outdated = state.range(0) != 0;
    List list;
    std::vector<DenseListKey> keys;
    for (int i = 0; i < 2000; ++i) {
        DenseListKey key = list.push_back(-1);
        if (outdated) {
            key.gen = 0;  // no row ever has generation 0
        }
        keys.push_back(key);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        DenseListKey key = keys[next];  // a copy, so every pass takes the same path
        benchmark::DoNotOptimize(list.get_index_by_key(key));
        next = (next + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetIndexByKey)->ArgName("outdated")->Arg(0)->Arg(1);

}  // namespace
