#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// Mixes the standard hash of `value` into `state` (the boost recipe).
template <typename T>
void hash_combine(std::uint64_t& state, const T& value) {
    const std::uint64_t h = std::hash<T>{}(value);
    state ^= h + 0x9e3779b9ULL + (state << 6) + (state >> 2);
}

// Hasher of the spatial index's grid cells.
struct pair_i32_hash {
    std::uint64_t operator()(const std::pair<std::int32_t, std::int32_t>& cell) const {
        std::uint64_t state = 0;
        hash_combine(state, cell.first);
        hash_combine(state, cell.second);
        return state;
    }
};
