#pragma once

#include <cstdint>
#include <functional>
#include <utility>

// Mixes the standard hash of `value` into `seed` (the boost recipe).
template <typename T>
void hash_combine(std::uint64_t& seed, const T& value) {
    const std::uint64_t h = std::hash<T>{}(value);
    seed ^= h + 0x9e3779b9ULL + (seed << 6) + (seed >> 2);
}

// Hasher of the spatial index's grid cells.
struct pair_i32_hash {
    std::uint64_t operator()(const std::pair<std::int32_t, std::int32_t>& cell) const {
        std::uint64_t seed = 0;
        hash_combine(seed, cell.first);
        hash_combine(seed, cell.second);
        return seed;
    }
};
