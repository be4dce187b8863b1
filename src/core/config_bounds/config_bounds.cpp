#include "core/config_bounds/config_bounds.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;

bool fits_float(double value) { return std::fabs(value) <= ConfigBounds::float_max; }

// Rounded down to three significant digits, as a float no greater than `limit`.
float three_digits_down(double limit) {
    const double unit = std::pow(10.0, std::floor(std::log10(limit)) - 2.0);
    const double digits = std::floor(limit / unit);
    const float rounded = static_cast<float>(digits * unit);
    return rounded <= limit ? rounded : static_cast<float>((digits - 1.0) * unit);
}

double farthest_vertex(const Polygons& polygons, Vec2 centroid) {
    double farthest = 0.0;
    for (const Polygon& polygon : polygons) {
        for (const auto& [x, y] : polygon) {
            farthest = std::max(farthest, std::hypot(static_cast<double>(x) - centroid.first,
                                                     static_cast<double>(y) - centroid.second));
        }
    }
    return farthest;
}

}  // namespace

bool allows(const Bound& bound, float value) {
    const bool above_lowest = bound.lowest_excluded ? value > bound.lowest : value >= bound.lowest;
    return above_lowest && value <= bound.highest;
}

std::string allowed_text(const Bound& bound) {
    if (bound.lowest == -ConfigBounds::float_max && bound.highest == ConfigBounds::float_max) {
        return "must be a number a float can hold";
    }
    return fmt::format("must be {} {} and at most {}", bound.lowest_excluded ? "greater than" : "at least",
                       bound.lowest, bound.highest);
}

Bound ship_scale_bound(const Polygons& file_polygons) {
    Bound bound = ConfigBounds::scale;
    const double limit =
        ConfigBounds::ship_reach / farthest_vertex(file_polygons, centroid_of_polygons(file_polygons));
    if (limit < bound.highest) bound.highest = three_digits_down(limit);
    return bound;
}

float read_float(const json& j, const char* key, const Bound& bound) {
    const double value = j.at(key).get<double>();
    // Converting a double beyond a float's range is undefined; within it, the
    // bound applies to the float the game runs with.
    if (!fits_float(value) || !allows(bound, static_cast<float>(value))) {
        throw ConfigValueError(refusal_text(key, bound, value));
    }
    return static_cast<float>(value);
}

Polygons read_polygons(const json& j, const char* key) {
    const auto file_polygons = j.at(key).get<std::vector<std::vector<std::pair<double, double>>>>();
    Polygons polygons(file_polygons.size());
    for (std::size_t p = 0; p < file_polygons.size(); ++p) {
        for (std::size_t v = 0; v < file_polygons[p].size(); ++v) {
            const auto [x, y] = file_polygons[p][v];
            if (!fits_float(x) || !fits_float(y)) {
                throw ConfigValueError(fmt::format("\"{}\"[{}][{}] must hold numbers a float can hold, not [{}, {}]",
                                                   key, p, v, x, y));
            }
            polygons[p].emplace_back(static_cast<float>(x), static_cast<float>(y));
        }
    }
    return polygons;
}

void check_count(const char* key, std::size_t count, std::size_t most, std::string_view entries) {
    if (count > most) {
        throw ConfigValueError(fmt::format("\"{}\" must hold at most {} {}, not {}", key, most, entries, count));
    }
}
