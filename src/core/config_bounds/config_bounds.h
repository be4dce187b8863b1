#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "core/math/math.h"

// A range of values the game can run with.
struct Bound {
    float lowest = 0.0f;
    float highest = 0.0f;
    bool lowest_excluded = false;  // "greater than" rather than "at least"
};

// What the game can run with, in one table for the editors' fields and the
// files' keys alike. Every shipped file lies well inside it.
namespace ConfigBounds {

inline constexpr float float_max = std::numeric_limits<float>::max();

// Ship max_speed and max_acc: negative thrust turns braking into acceleration;
// beyond, velocities overflow in a long session.
inline constexpr Bound ship_speed{0.0f, 100000.0f};
// Ship max_ang_vel: a negative limit inverts the clamp and the ship spins.
inline constexpr Bound ship_turn_rate{0.0f, 1000.0f};
inline constexpr Bound ship_turn_acceleration{0.0f, 10000.0f};
// All three kinds: a negative scale mirrors, and far below 0.01 an outline
// shrinks to points that never collide.
inline constexpr Bound scale{0.01f, 16.0f};
// World units a loaded vertex of any kind may lie from its centroid, which
// further limits the scale: it keeps a ship's body inside a 4000-unit box and
// so bounds the cells of the spatial index one body enters.
inline constexpr double outline_reach = 2000.0;
inline constexpr Bound slot_position{-10000.0f, 10000.0f};
// Slot angles: the game only carries them.
inline constexpr Bound any_float{-float_max, float_max};
inline constexpr Bound mount_cooldown{0.0f, 3600.0f};
inline constexpr Bound mount_turn_speed{0.0f, 1000.0f};
inline constexpr Bound projectile_speed{0.0f, 100000.0f};
// Image sizes divide the centroid ratio and the editor's image ratio.
inline constexpr Bound image_size{0.0f, 16384.0f, true};
// 100 players' mounts must fit the 4999 ids of the mount list.
inline constexpr std::size_t max_ship_slots = 49;
// Every pair of overlapping ships tests polygon against polygon: 100 ships
// stacked at the spawn point with three polygons each keep the fixed tick
// near 7 ms, with four near the 16.7 ms budget.
inline constexpr std::size_t max_ship_polygons = 3;

}  // namespace ConfigBounds

bool allows(const Bound& bound, float value);
// What a bound allows, as a refusal states it: "must be greater than 0 and at most 16384".
std::string allowed_text(const Bound& bound);
// The greatest distance of a vertex from the point, in doubles.
double farthest_vertex(const Polygons& polygons, Vec2 centroid);
// The scale bound of an outline with these file polygons, whose centroid must
// be finite: its maximum also keeps every loaded vertex within the outline
// reach, rounded down to three significant digits so the stated maximum is allowed.
Bound outline_scale_bound(const Polygons& file_polygons);

// A file value the game cannot run with. The text names the key and what is
// allowed; the loader puts the file in front.
class ConfigValueError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "\"scale\" must be at least 0.01 and at most 16, not -1", the value as it
// was read: the file's double, or the float the game holds.
template <typename Number>
std::string refusal_text(std::string_view key, const Bound& bound, Number value) {
    return fmt::format("\"{}\" {}, not {}", key, allowed_text(bound), value);
}

// The JSON library's message without its "[json.exception.<kind>.<id>] " head.
std::string_view without_exception_name(const nlohmann::json::exception& error);

// The same library exception, its id kept and `place` (a file, a slot) put in
// front of its text: "[json.exception.out_of_range.403] <place>: key 'pos_x' not found".
template <typename Error>
Error naming_place(const Error& error, std::string_view place) {
    return Error::create(error.id, fmt::format("{}: {}", place, without_exception_name(error)), nullptr);
}

// Readers for the configurations' from_json. A missing key raises the JSON
// library's exception; a value of the wrong JSON type, or one the game cannot
// run with, raises ConfigValueError naming the key.
float read_float(const nlohmann::json& j, const char* key, const Bound& bound);
std::string read_text(const nlohmann::json& j, const char* key);
// `value` itself when it is an array, or an object; `name` is how a refusal names it.
const nlohmann::json& read_array(const nlohmann::json& value, std::string_view name);
const nlohmann::json& read_object(const nlohmann::json& value, std::string_view name);
// Vertices take the first two numbers of their arrays, each a float's worth.
Polygons read_polygons(const nlohmann::json& j, const char* key);
// A list of more than `most` entries is refused, naming what it holds.
void check_count(const char* key, std::size_t count, std::size_t most, std::string_view entries);

// The value of `key` must be a JSON integer naming one of `types`; `kind`
// names them in the refusal ("ship" for "names a ship type").
template <typename Type, std::size_t count>
Type read_type(const nlohmann::json& j, const char* key, const std::array<Type, count>& types, std::string_view kind) {
    const nlohmann::json& value = j.at(key);
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        for (const Type type : types) {
            if (static_cast<std::uint64_t>(type) == number) return type;
        }
    }
    throw ConfigValueError(
        fmt::format("\"{}\" must be an integer that names a {} type, not {}", key, kind, value.dump()));
}
