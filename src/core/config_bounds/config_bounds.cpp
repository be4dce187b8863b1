#include "core/config_bounds/config_bounds.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

using nlohmann::json;

bool fits_float(double value) { return std::fabs(value) <= ConfigBounds::float_max; }

// A wrong value as a refusal quotes it: in full unless it is a whole array or object.
std::string shown_value(const json& value) {
    if (value.is_array()) return "an array";
    if (value.is_object()) return "an object";
    return value.dump();
}

// Rounded down to three significant digits, as a float no greater than `limit`.
float three_digits_down(double limit) {
    const double unit = std::pow(10.0, std::floor(std::log10(limit)) - 2.0);
    const double digits = std::floor(limit / unit);
    const float rounded = static_cast<float>(digits * unit);
    return rounded <= limit ? rounded : static_cast<float>((digits - 1.0) * unit);
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

Bound outline_scale_bound(const Polygons& file_polygons) {
    Bound bound = ConfigBounds::scale;
    const double limit =
        ConfigBounds::outline_reach / farthest_vertex(file_polygons, centroid_of_polygons(file_polygons));
    if (limit < bound.highest) bound.highest = three_digits_down(limit);
    return bound;
}

std::string_view without_exception_name(const json::exception& error) {
    const std::string_view text = error.what();
    const auto head_end = text.find("] ");
    return head_end == std::string_view::npos ? text : text.substr(head_end + 2);
}

float read_float(const json& j, const char* key, const Bound& bound) {
    const json& file_value = j.at(key);
    if (!file_value.is_number()) {
        throw ConfigValueError(fmt::format("\"{}\" must be a number, not {}", key, shown_value(file_value)));
    }
    const double value = file_value.get<double>();
    // Converting a double beyond a float's range is undefined; within it, the
    // bound applies to the float the game runs with.
    if (!fits_float(value) || !allows(bound, static_cast<float>(value))) {
        throw ConfigValueError(refusal_text(key, bound, value));
    }
    return static_cast<float>(value);
}

std::string read_text(const json& j, const char* key) {
    const json& value = j.at(key);
    if (!value.is_string()) {
        throw ConfigValueError(fmt::format("\"{}\" must be a string, not {}", key, shown_value(value)));
    }
    return value.get<std::string>();
}

const json& read_array(const json& value, std::string_view name) {
    if (!value.is_array()) throw ConfigValueError(fmt::format("{} must be an array, not {}", name, shown_value(value)));
    return value;
}

const json& read_object(const json& value, std::string_view name) {
    if (!value.is_object()) throw ConfigValueError(fmt::format("{} must be an object, not {}", name, shown_value(value)));
    return value;
}

Polygons read_polygons(const json& j, const char* key) {
    const json& file_polygons = read_array(j.at(key), fmt::format("\"{}\"", key));
    Polygons polygons(file_polygons.size());
    for (std::size_t p = 0; p < file_polygons.size(); ++p) {
        const json& vertices = read_array(file_polygons[p], fmt::format("\"{}\"[{}]", key, p));
        for (std::size_t v = 0; v < vertices.size(); ++v) {
            const json& vertex = vertices[v];
            if (!vertex.is_array() || vertex.size() < 2 || !vertex[0].is_number() || !vertex[1].is_number()) {
                throw ConfigValueError(
                    fmt::format("\"{}\"[{}][{}] must be [x, y] numbers, not {}", key, p, v, vertex.dump()));
            }
            const double x = vertex[0].get<double>();
            const double y = vertex[1].get<double>();
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
