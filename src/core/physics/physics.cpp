#include "core/physics/physics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <fmt/format.h>
#include <spdlog/spdlog.h>

#include "core/constants/constants.h"

namespace {

constexpr float cell_size = static_cast<float>(Constants::spatial_index_size);

// A loaded ship's box is at most 4000 world units a side, 10 cells. Far out,
// where floats lie up to 65,536 units apart, rounding its vertices widens it
// to at most 273 cells a side. A box beyond this many cells is no ship's and
// is left out, with a line, rather than entered in up to billions of cells.
constexpr std::int64_t max_cells_per_body = std::int64_t{1} << 17;

struct CellRange {
    std::int64_t x_min, x_max, y_min, y_max;
};

// The cells a body's box touches; none for a box that has no cell or is too large.
std::optional<CellRange> cell_range(const PhysicsBodies& bodies, std::uint32_t idx) {
    const auto x_min = cell_of_coordinate(bodies.aabb_x_min[idx]);
    const auto x_max = cell_of_coordinate(bodies.aabb_x_max[idx]);
    const auto y_min = cell_of_coordinate(bodies.aabb_y_min[idx]);
    const auto y_max = cell_of_coordinate(bodies.aabb_y_max[idx]);
    if (!x_min || !x_max || !y_min || !y_max) {
        return std::nullopt;
    }
    const CellRange range{*x_min, *x_max, *y_min, *y_max};
    // 64-bit spans cannot overflow; an inverted box touches no cell.
    const std::int64_t span_x = range.x_max - range.x_min + 1;
    const std::int64_t span_y = range.y_max - range.y_min + 1;
    if (span_x < 1 || span_y < 1 || span_x > max_cells_per_body || span_y > max_cells_per_body / span_x) {
        return std::nullopt;
    }
    return range;
}

// The cells each row of the index stands in, as their range, by row. A body
// is entered in every cell of its range, so the range holds exactly its cells.
std::vector<CellRange> cell_ranges_of_rows(const SpatialIndex& index) {
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    constexpr std::int64_t highest = std::numeric_limits<std::int64_t>::max();
    std::vector<CellRange> ranges;
    for (const auto& [cell, rows] : index) {
        for (const std::uint32_t row : rows) {
            if (row >= ranges.size()) {
                ranges.resize(std::size_t{row} + 1, CellRange{highest, lowest, highest, lowest});
            }
            CellRange& range = ranges[row];
            range.x_min = std::min<std::int64_t>(range.x_min, cell.first);
            range.x_max = std::max<std::int64_t>(range.x_max, cell.first);
            range.y_min = std::min<std::int64_t>(range.y_min, cell.second);
            range.y_max = std::max<std::int64_t>(range.y_max, cell.second);
        }
    }
    return ranges;
}

// The lowest cell, by x then y, of two ranges that overlap.
Cell first_shared_cell(const CellRange& a, const CellRange& b) {
    return {static_cast<std::int32_t>(std::max(a.x_min, b.x_min)),
            static_cast<std::int32_t>(std::max(a.y_min, b.y_min))};
}

// A body without polygons has nothing to collide and no box; any other body
// the index leaves out takes no collision and no hit, which must not pass
// unseen. Logged when it leaves the index, not in every tick it stays out.
void note_left_out(PhysicsBodies& bodies, std::uint32_t idx, bool left_out) {
    if (left_out && !bodies.left_out_of_index[idx] && !bodies.polygons[idx].empty()) {
        const auto owner = bodies.owner_component_type[idx];
        SPDLOG_ERROR(
            "Spatial index: leaving out the body of {} {}, whose box (x {} to {}, y {} to {}) has no grid cell or "
            "more than {}; it takes no collisions or hits until it fits",
            owner == ComponentType::Ship ? "ship" : fmt::format("owner kind {}", static_cast<std::uint32_t>(owner)),
            bodies.owner_component_key[idx].id, bodies.aabb_x_min[idx], bodies.aabb_x_max[idx],
            bodies.aabb_y_min[idx], bodies.aabb_y_max[idx], max_cells_per_body);
    }
    bodies.left_out_of_index[idx] = left_out;
}

}  // namespace

std::optional<std::int32_t> cell_of_coordinate(float c) {
    const float cell = std::floor(c / cell_size);
    // Both bounds are exact in single precision; NaN fails the test.
    if (!(cell >= -2147483648.0f && cell < 2147483648.0f)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(cell);
}

std::optional<Cell> cell_of_position(float x, float y) {
    const auto cell_x = cell_of_coordinate(x);
    const auto cell_y = cell_of_coordinate(y);
    if (!cell_x || !cell_y) {
        return std::nullopt;
    }
    return Cell{*cell_x, *cell_y};
}

SpatialIndex make_spatial_index(DenseListKeyed<PhysicsBodies>& store) {
    SpatialIndex index;
    PhysicsBodies& bodies = store.dense_list;
    for (std::uint32_t idx = 0; idx < store.size(); ++idx) {
        const auto range = cell_range(bodies, idx);
        note_left_out(bodies, idx, !range);
        if (!range) {
            continue;
        }
        // 64-bit counters: a range ending at the largest cell must not overflow.
        for (std::int64_t cx = range->x_min; cx <= range->x_max; ++cx) {
            for (std::int64_t cy = range->y_min; cy <= range->y_max; ++cy) {
                index[Cell{static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy)}].push_back(idx);
            }
        }
    }
    return index;
}

// Stacked bodies share every cell of their boxes, so a pair is taken only in
// the lowest cell its two ranges share rather than once per shared cell.
AdjacencyIndex make_adjacency_index(SpatialIndex& spatial_index) {
    const std::vector<CellRange> ranges = cell_ranges_of_rows(spatial_index);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const auto& [cell, rows] : spatial_index) {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            for (std::size_t j = i + 1; j < rows.size(); ++j) {
                if (rows[i] != rows[j] && first_shared_cell(ranges[rows[i]], ranges[rows[j]]) == cell) {
                    pairs.emplace_back(std::min(rows[i], rows[j]), std::max(rows[i], rows[j]));
                }
            }
        }
    }
    // Sorted, the set is built in linear time.
    std::ranges::sort(pairs);
    return {pairs.begin(), pairs.end()};
}

AdjacencyIndex aabb_filter_adjacency_index(DenseListKeyed<PhysicsBodies>& store, AdjacencyIndex& adjacency_index) {
    AdjacencyIndex kept;
    for (const auto& pair : adjacency_index) {
        if (aabb_check(store, pair.first, pair.second)) {
            kept.insert(kept.end(), pair);
        }
    }
    return kept;
}

bool aabb_check(DenseListKeyed<PhysicsBodies>& store, std::uint32_t idx1, std::uint32_t idx2) {
    const PhysicsBodies& b = store.dense_list;
    return b.aabb_x_min[idx1] < b.aabb_x_max[idx2] && b.aabb_x_max[idx1] > b.aabb_x_min[idx2] &&
           b.aabb_y_min[idx1] < b.aabb_y_max[idx2] && b.aabb_y_max[idx1] > b.aabb_y_min[idx2];
}

bool ray_to_polygons(c2Ray& ray, std::vector<c2Poly>& polygons, c2Raycast* raycast) {
    for (const c2Poly& polygon : polygons) {
        if (c2RaytoPoly(ray, &polygon, nullptr, raycast) != 0) {
            return true;
        }
    }
    return false;
}

void apply_collisions(DenseListKeyed<PhysicsBodies>& store, SpatialIndex spatial_index) {
    AdjacencyIndex adjacency_index = make_adjacency_index(spatial_index);
    adjacency_index = aabb_filter_adjacency_index(store, adjacency_index);
    const PhysicsBodies& bodies = store.dense_list;
    for (const auto& [idx_a, idx_b] : adjacency_index) {
        for (const c2Poly& a_poly : bodies.polygons[idx_a]) {
            for (const c2Poly& b_poly : bodies.polygons[idx_b]) {
                c2Manifold m{};
                c2PolytoPolyManifold(&a_poly, nullptr, &b_poly, nullptr, &m);
                if (m.count > 0) {
                    SPDLOG_INFO("CONTACT!");
                }
            }
        }
    }
}
