#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/hash_helpers/hash_helpers.h"
#include "lib/c2/c2.h"

// A grid cell of the broad phase: (cell x, cell y).
using Cell = std::pair<std::int32_t, std::int32_t>;

// Grid cell -> physics body rows whose box touches it, in ascending row order.
using SpatialIndex = std::unordered_map<Cell, std::vector<std::uint32_t>, pair_i32_hash>;

// Pairs of body rows (lower row first) that share a cell.
using AdjacencyIndex = std::set<std::pair<std::uint32_t, std::uint32_t>>;

// The cell holding world coordinate c along one axis; none for a coordinate
// that is not finite or lies beyond the 32-bit cell range.
std::optional<std::int32_t> cell_of_coordinate(float c);

// The cell holding (x, y); none when either coordinate has no cell.
std::optional<Cell> cell_of_position(float x, float y);

SpatialIndex make_spatial_index(DenseListKeyed<PhysicsBodies>& store);

// Each pair of rows that share a cell, once. The index must be one that
// make_spatial_index built: each row stands in every cell of one range.
AdjacencyIndex make_adjacency_index(SpatialIndex& spatial_index);

AdjacencyIndex aabb_filter_adjacency_index(DenseListKeyed<PhysicsBodies>& store, AdjacencyIndex& adjacency_index);

// True when the boxes of the two bodies overlap with positive area.
bool aabb_check(DenseListKeyed<PhysicsBodies>& store, std::uint32_t idx1, std::uint32_t idx2);

// Casts the ray at one body's polygons; the first polygon hit in order wins.
bool ray_to_polygons(c2Ray& ray, std::vector<c2Poly>& polygons, c2Raycast* raycast);

// Logs every overlapping polygon pair of the bodies that share a cell; moves nothing.
void apply_collisions(DenseListKeyed<PhysicsBodies>& store, SpatialIndex spatial_index);
