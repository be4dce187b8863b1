#pragma once

#include <utility>
#include <vector>

// Plain polygon lists of the configurations: vertices in order, the last edge
// closing back to the first. All arithmetic is single precision.
using Vec2 = std::pair<float, float>;
using Polygon = std::vector<Vec2>;
using Polygons = std::vector<Polygon>;

Vec2 scale_cord(float x, float y, float scale);
// A quarter turn clockwise: (x, y) becomes (y, -x).
Vec2 rotate_cord(float x, float y);

void scale_polygons(Polygons& polygons, float scale);
void rotate_polygons(Polygons& polygons);
void translate_polygons_to_origin(Polygons& polygons, Vec2 centroid);

// Positive for counter-clockwise vertices (y up), negative for clockwise.
float area_of_polygon(const Polygon& polygon);
Vec2 centroid_of_polygon(const Polygon& polygon, float area);
// Area-weighted centroid of all polygons; (0, 0) for an empty list.
Vec2 centroid_of_polygons(const Polygons& polygons);
// The centroid as fractions of the image: x from the left, y from the top.
Vec2 image_centroid_ratio(Vec2 centroid, float image_width, float image_height);

float magnitude_of_vector(float x, float y);
// (0, 1) with an error line when the magnitude is zero.
Vec2 normalize_vector(float x, float y, float magnitude);
