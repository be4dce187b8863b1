#include "core/math/math.h"

#include <cmath>
#include <cstddef>

#include <spdlog/spdlog.h>

Vec2 scale_cord(float x, float y, float scale) { return {x * scale, y * scale}; }

Vec2 rotate_cord(float x, float y) { return {y, -x}; }

void scale_polygons(Polygons& polygons, float scale) {
    for (auto& polygon : polygons) {
        for (auto& vertex : polygon) {
            vertex = scale_cord(vertex.first, vertex.second, scale);
        }
    }
}

void rotate_polygons(Polygons& polygons) {
    for (auto& polygon : polygons) {
        for (auto& vertex : polygon) {
            vertex = rotate_cord(vertex.first, vertex.second);
        }
    }
}

void translate_polygons_to_origin(Polygons& polygons, Vec2 centroid) {
    for (auto& polygon : polygons) {
        for (auto& vertex : polygon) {
            vertex = {vertex.first - centroid.first, vertex.second - centroid.second};
        }
    }
}

namespace {

// The cross term x_i * y_{i+1} - x_{i+1} * y_i shared by area and centroid.
float edge_cross(const Vec2& a, const Vec2& b) { return a.first * b.second - b.first * a.second; }

const Vec2& next_vertex(const Polygon& polygon, std::size_t i) {
    return polygon[(i + 1) % polygon.size()];
}

}  // namespace

float area_of_polygon(const Polygon& polygon) {
    float area = 0.0f;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        area = area + edge_cross(polygon[i], next_vertex(polygon, i));
    }
    return area * 0.5f;
}

Vec2 centroid_of_polygon(const Polygon& polygon, float area) {
    float sx = 0.0f;
    float sy = 0.0f;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vec2& a = polygon[i];
        const Vec2& b = next_vertex(polygon, i);
        const float cross = edge_cross(a, b);
        sx = sx + (a.first + b.first) * cross;
        sy = sy + (a.second + b.second) * cross;
    }
    const float factor = 1.0f / (area * 6.0f);
    return {factor * sx, factor * sy};
}

Vec2 centroid_of_polygons(const Polygons& polygons) {
    std::vector<float> areas;
    std::vector<Vec2> centroids;
    float sum_area = 0.0f;
    for (const auto& polygon : polygons) {
        const float area = area_of_polygon(polygon);
        areas.push_back(area);
        centroids.push_back(centroid_of_polygon(polygon, area));
        sum_area = sum_area + area;
    }
    float centroid_x = 0.0f;
    float centroid_y = 0.0f;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        const float weight = areas[i] / sum_area;
        centroid_x = centroids[i].first * weight + centroid_x;
        centroid_y = centroids[i].second * weight + centroid_y;
    }
    return {centroid_x, centroid_y};
}

Vec2 image_centroid_ratio(Vec2 centroid, float image_width, float image_height) {
    return {centroid.first / image_width, 1.0f - centroid.second / image_height};
}

float magnitude_of_vector(float x, float y) { return std::sqrt(x * x + y * y); }

Vec2 normalize_vector(float x, float y, float magnitude) {
    if (magnitude != 0.0f) {
        return {x / magnitude, y / magnitude};
    }
    SPDLOG_ERROR("Can't normalize vector with 0 magnitude");
    return {0.0f, 1.0f};
}
