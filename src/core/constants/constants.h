#pragma once

#include <cstdint>

namespace Constants {

inline constexpr float fixed_tick_interval_seconds = 1.0f / 60.0f;
inline constexpr float tick_interval_seconds = 1.0f / 60.0f;
inline constexpr float net_send_interval_seconds = 0.05f;
inline constexpr std::uint64_t simd_size = 8;
// Edge of one grid cell of the spatial index, in world units.
inline constexpr std::int32_t spatial_index_size = 500;

}  // namespace Constants
