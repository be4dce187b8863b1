#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/physics/physics.h"
#include "support/log_capture.h"

namespace {

constexpr float not_a_number = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

c2Poly box_poly(float x0, float y0, float x1, float y1) {
    c2Poly p{4, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}, {}};
    c2MakePoly(&p);
    return p;
}

// A body with the given box and one polygon per given box.
std::uint32_t add_body(DenseListKeyed<PhysicsBodies>& store, float x0, float y0, float x1, float y1,
                       const std::vector<c2Poly>& polygons = {}) {
    const DenseListKey key = store.push_back(-1);
    PhysicsBodies& b = store.dense_list;
    b.aabb_x_min[key.index] = x0;
    b.aabb_y_min[key.index] = y0;
    b.aabb_x_max[key.index] = x1;
    b.aabb_y_max[key.index] = y1;
    b.polygons[key.index] = polygons;
    return key.index;
}

std::uint32_t add_box_body(DenseListKeyed<PhysicsBodies>& store, float x0, float y0, float x1, float y1) {
    return add_body(store, x0, y0, x1, y1, {box_poly(x0, y0, x1, y1)});
}

std::vector<std::uint32_t> rows_in(SpatialIndex& index, Cell cell) {
    const auto found = index.find(cell);
    return found == index.end() ? std::vector<std::uint32_t>{} : found->second;
}

}  // namespace

TEST(GridCells, NegativeCoordinatesFallIntoNegativeCells) {
    EXPECT_EQ(cell_of_coordinate(-0.5f), -1);
    EXPECT_EQ(cell_of_coordinate(-500.0f), -1);
    EXPECT_EQ(cell_of_coordinate(-500.5f), -2);
    EXPECT_EQ(cell_of_coordinate(0.0f), 0);
    EXPECT_EQ(cell_of_coordinate(499.9f), 0);
    EXPECT_EQ(cell_of_coordinate(500.0f), 1);
}

TEST(GridCells, CoordinatesWithoutACellHaveNone) {
    EXPECT_EQ(cell_of_coordinate(not_a_number), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(inf), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(-inf), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(1.1e12f), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(-1.1e12f), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(std::numeric_limits<float>::max()), std::nullopt);
    EXPECT_EQ(cell_of_coordinate(1.0e12f), 2000000000);
    EXPECT_EQ(cell_of_position(0.0f, not_a_number), std::nullopt);
    EXPECT_EQ(cell_of_position(-1.0f, 501.0f), (Cell{-1, 1}));
}

TEST(SpatialIndexBuild, BoxAcrossCellEdgesIsEnteredInEveryCellItTouches) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, -10.0f, 490.0f, 10.0f, 510.0f);
    SpatialIndex index = make_spatial_index(store);
    EXPECT_EQ(index.size(), 4u);
    for (const Cell& cell : {Cell{-1, 0}, Cell{-1, 1}, Cell{0, 0}, Cell{0, 1}}) {
        EXPECT_EQ(rows_in(index, cell), std::vector<std::uint32_t>{0}) << cell.first << ", " << cell.second;
    }
}

TEST(SpatialIndexBuild, ALargeBodyIsEnteredInEveryCellItTouches) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, -25000.0f, 0.0f, 24999.0f, 1000.0f);  // cells -50 to 49 by 0 to 2
    add_body(store, 0.0f, -1.0e6f, 1.0f, 1.0e6f);           // cells 0 by -2000 to 2000
    SpatialIndex index = make_spatial_index(store);
    EXPECT_EQ(index.size(), 300u + 4001u - 3u);
    for (const Cell& cell : {Cell{-50, 0}, Cell{49, 2}, Cell{-50, 2}, Cell{49, 0}}) {
        EXPECT_EQ(rows_in(index, cell), std::vector<std::uint32_t>{0}) << cell.first << ", " << cell.second;
    }
    EXPECT_EQ(rows_in(index, Cell{0, 1}), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(rows_in(index, Cell{0, -2000}), std::vector<std::uint32_t>{1});
    EXPECT_EQ(rows_in(index, Cell{0, 2000}), std::vector<std::uint32_t>{1});
}

TEST(SpatialIndexBuild, AShipAsLargeAsLoadersAllowIsEnteredWhereFloatsAreCoarsest) {
    DenseListKeyed<PhysicsBodies> store;
    // 4000 units widened by two float steps on each axis, just inside the cell range.
    const float low = 1.0e12f;
    const float high = low + 4000.0f + 2.0f * 65536.0f;
    add_body(store, low, low, high, high);
    SpatialIndex index = make_spatial_index(store);
    EXPECT_EQ(rows_in(index, *cell_of_position(low, low)), std::vector<std::uint32_t>{0});
    EXPECT_EQ(rows_in(index, *cell_of_position(high, high)), std::vector<std::uint32_t>{0});
}

TEST(SpatialIndexBuild, RowsStandInAscendingOrderAndAnUpperEdgeOnTheGridCounts) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, 100.0f, 100.0f, 500.0f, 200.0f);
    add_body(store, 10.0f, 10.0f, 20.0f, 20.0f);
    SpatialIndex index = make_spatial_index(store);
    EXPECT_EQ(rows_in(index, Cell{0, 0}), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(rows_in(index, Cell{1, 0}), std::vector<std::uint32_t>{0});
}

TEST(SpatialIndexBuild, BodiesWithoutAUsableBoxAreEnteredNowhere) {
    DenseListKeyed<PhysicsBodies> store;
    const float big = std::numeric_limits<float>::max();
    add_body(store, big, big, -big, -big);                 // no polygons: inverted box
    add_body(store, not_a_number, 0.0f, not_a_number, 10.0f);                // not finite
    add_body(store, 0.0f, 0.0f, inf, 10.0f);               // unbounded
    add_body(store, 2.0e12f, 0.0f, 2.1e12f, 10.0f);        // beyond the cell range
    add_body(store, -1.0e12f, -1.0e12f, 1.0e12f, 1.0e12f);  // billions of cells
    add_body(store, 0.0f, 0.0f, 1.0e6f, 1.0e6f);            // millions of cells
    add_body(store, 1.0e12f, 0.0f, 1.0e12f, 1.0f);         // far out but a usable cell
    add_body(store, 10.0f, 0.0f, -10.0f, 10.0f);           // inverted within the range
    SpatialIndex index = make_spatial_index(store);
    ASSERT_EQ(index.size(), 1u);
    EXPECT_EQ(rows_in(index, Cell{2000000000, 0}), std::vector<std::uint32_t>{6});
}

TEST(SpatialIndexBuild, ABodyLeftOutIsLoggedOnceEachTimeItLeaves) {
    DenseListKeyed<PhysicsBodies> store;
    const float big = std::numeric_limits<float>::max();
    add_body(store, big, big, -big, -big);  // no polygons: nothing to leave out
    const std::uint32_t row = add_box_body(store, 0.0f, 0.0f, 1.0e6f, 1.0e6f);
    store.dense_list.owner_component_key[row].id = 7;
    test_support::LogCapture log;
    for (const float x_max : {1.0e6f, 1.0e6f, 10.0f, inf}) {
        store.dense_list.aabb_x_max[row] = x_max;
        make_spatial_index(store);
    }
    EXPECT_EQ(log.count_containing("leaving out the body of ship 7,"), 2);
    EXPECT_EQ(log.count_containing("leaving out"), 2);
}

TEST(SpatialIndexBuild, NoBodiesNoPairs) {
    DenseListKeyed<PhysicsBodies> store;
    SpatialIndex index = make_spatial_index(store);
    EXPECT_TRUE(index.empty());
    EXPECT_TRUE(make_adjacency_index(index).empty());
}

TEST(Adjacency, BodiesSharingSeveralCellsFormOnePair) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, 490.0f, 490.0f, 510.0f, 510.0f);
    add_body(store, 495.0f, 495.0f, 505.0f, 505.0f);
    add_body(store, 2000.0f, 0.0f, 2010.0f, 10.0f);
    SpatialIndex index = make_spatial_index(store);
    const AdjacencyIndex pairs = make_adjacency_index(index);
    EXPECT_EQ(pairs, (AdjacencyIndex{{0, 1}}));
}

TEST(Adjacency, RangesSharingACornerCellOrCrossingFormOnePair) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, 10.0f, 10.0f, 990.0f, 990.0f);      // cells 0 to 1 by 0 to 1
    add_body(store, 990.0f, 990.0f, 1490.0f, 1490.0f);  // cells 1 to 2 by 1 to 2
    add_body(store, 5010.0f, 5600.0f, 6490.0f, 5700.0f);  // cells 10 to 12 by 11
    add_body(store, 5600.0f, 5010.0f, 5700.0f, 6490.0f);  // cells 11 by 10 to 12
    SpatialIndex index = make_spatial_index(store);
    EXPECT_EQ(make_adjacency_index(index), (AdjacencyIndex{{0, 1}, {2, 3}}));
}

TEST(Adjacency, DisjointBoxesInOneCellArePairedThenFilteredOut) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, 0.0f, 0.0f, 10.0f, 10.0f);
    add_body(store, 100.0f, 100.0f, 110.0f, 110.0f);
    SpatialIndex index = make_spatial_index(store);
    AdjacencyIndex pairs = make_adjacency_index(index);
    EXPECT_EQ(pairs.size(), 1u);
    EXPECT_TRUE(aabb_filter_adjacency_index(store, pairs).empty());
}

TEST(Adjacency, TouchingBoxesDoNotOverlap) {
    DenseListKeyed<PhysicsBodies> store;
    add_body(store, 0.0f, 0.0f, 10.0f, 10.0f);
    add_body(store, 10.0f, 0.0f, 20.0f, 10.0f);
    add_body(store, 0.0f, 0.0f, 10.5f, 10.0f);
    EXPECT_FALSE(aabb_check(store, 0, 1));
    EXPECT_FALSE(aabb_check(store, 1, 0));
    EXPECT_TRUE(aabb_check(store, 2, 1));
    const float big = std::numeric_limits<float>::max();
    add_body(store, big, big, -big, -big);
    EXPECT_FALSE(aabb_check(store, 0, 3)) << "the inverted box overlaps nothing";
    EXPECT_FALSE(aabb_check(store, 3, 3));
}

TEST(RayToPolygons, FirstPolygonInOrderWinsNotTheNearest) {
    std::vector<c2Poly> polygons = {box_poly(0, 50, 10, 60), box_poly(30, -5, 40, 5), box_poly(10, -5, 20, 5)};
    c2Ray ray{{0, 0}, {1, 0}, 100};
    c2Raycast raycast{};
    ASSERT_TRUE(ray_to_polygons(ray, polygons, &raycast));
    EXPECT_FLOAT_EQ(raycast.t, 30.0f);
    EXPECT_FLOAT_EQ(raycast.n.x, -1.0f);
}

TEST(RayToPolygons, AMissLeavesTheRaycastAlone) {
    std::vector<c2Poly> polygons = {box_poly(0, 50, 10, 60)};
    c2Ray ray{{0, 0}, {1, 0}, 100};
    c2Raycast raycast{-7.0f, {0, 0}};
    EXPECT_FALSE(ray_to_polygons(ray, polygons, &raycast));
    EXPECT_EQ(raycast.t, -7.0f);
}

TEST(Collisions, EveryOverlappingPolygonPairLogsOneContact) {
    DenseListKeyed<PhysicsBodies> store;
    // Two ships of two polygons each, all four polygon pairs overlapping.
    add_body(store, 0, 0, 20, 10, {box_poly(0, 0, 10, 10), box_poly(8, 0, 20, 10)});
    add_body(store, 5, 2, 25, 8, {box_poly(5, 2, 15, 8), box_poly(9, 2, 25, 8)});
    test_support::LogCapture log;
    apply_collisions(store, make_spatial_index(store));
    EXPECT_EQ(log.count(spdlog::level::info, "CONTACT!"), 4);
}

TEST(Collisions, PairSharingFourCellsIsTestedOnce) {
    DenseListKeyed<PhysicsBodies> store;
    add_box_body(store, 490, 490, 510, 510);
    add_box_body(store, 495, 495, 505, 505);
    test_support::LogCapture log;
    apply_collisions(store, make_spatial_index(store));
    EXPECT_EQ(log.count("CONTACT!"), 1);
}

TEST(Collisions, TouchingOrSeparateBodiesLogNothing) {
    DenseListKeyed<PhysicsBodies> store;
    add_box_body(store, 0, 0, 10, 10);
    add_box_body(store, 10, 0, 20, 10);
    // Boxes overlap, polygons do not.
    add_body(store, 100, 100, 110, 110, {box_poly(100, 100, 102, 102)});
    add_body(store, 100, 100, 110, 110, {box_poly(108, 108, 110, 110)});
    const float big = std::numeric_limits<float>::max();
    add_body(store, big, big, -big, -big);
    test_support::LogCapture log;
    apply_collisions(store, make_spatial_index(store));
    EXPECT_EQ(log.count("CONTACT!"), 0);
}
