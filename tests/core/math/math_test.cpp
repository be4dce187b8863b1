#include <gtest/gtest.h>

#include <cmath>

#include "core/math/math.h"
#include "support/log_capture.h"

namespace {

const Polygon square = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};

Polygon reversed(Polygon polygon) { return {polygon.rbegin(), polygon.rend()}; }

}  // namespace

TEST(PolygonMath, SquareAreaIsSignedByOrientationAndCentroidIsNot) {
    EXPECT_FLOAT_EQ(area_of_polygon(square), 10000.0f);
    const Polygon clockwise = reversed(square);
    EXPECT_FLOAT_EQ(area_of_polygon(clockwise), -10000.0f);
    for (const Polygon& p : {square, clockwise}) {
        const Vec2 c = centroid_of_polygon(p, area_of_polygon(p));
        EXPECT_FLOAT_EQ(c.first, 50.0f);
        EXPECT_FLOAT_EQ(c.second, 50.0f);
    }
    EXPECT_EQ(area_of_polygon({}), 0.0f);
}

TEST(PolygonMath, CentroidOfAListIsAreaWeighted) {
    const Polygon right = {{100, 0}, {200, 0}, {200, 100}, {100, 100}};
    const Vec2 c = centroid_of_polygons({square, right});
    EXPECT_FLOAT_EQ(c.first, 100.0f);
    EXPECT_FLOAT_EQ(c.second, 50.0f);

    // A square of a hundredth of the area pulls the centroid a hundredth as hard.
    const Polygon small = {{200, 0}, {210, 0}, {210, 10}, {200, 10}};
    const Vec2 weighted = centroid_of_polygons({square, small});
    EXPECT_NEAR(weighted.first, (50.0f * 10000 + 205.0f * 100) / 10100, 1e-3);
    EXPECT_EQ(centroid_of_polygons({}), Vec2(0.0f, 0.0f));
}

TEST(PolygonMath, DegeneratePolygonsGiveNonFiniteCentroids) {
    const Polygon line = {{0, 0}, {10, 0}, {20, 0}};
    EXPECT_FALSE(std::isfinite(centroid_of_polygon(line, area_of_polygon(line)).first));
    EXPECT_FALSE(std::isfinite(centroid_of_polygons({square, line}).first));
    EXPECT_FALSE(std::isfinite(centroid_of_polygons({square, reversed(square)}).first));
}

TEST(PolygonMath, ImageCentroidRatioCountsYFromTheTop) {
    const Vec2 ratio = image_centroid_ratio({50, 50}, 100, 200);
    EXPECT_FLOAT_EQ(ratio.first, 0.5f);
    EXPECT_FLOAT_EQ(ratio.second, 0.75f);
}

TEST(PolygonMath, CordsTurnAQuarterClockwiseThenScale) {
    EXPECT_EQ(rotate_cord(3, 4), Vec2(4.0f, -3.0f));
    EXPECT_EQ(rotate_cord(1, 0), Vec2(0.0f, -1.0f));
    EXPECT_EQ(scale_cord(4, -3, 0.5f), Vec2(2.0f, -1.5f));
}

TEST(PolygonMath, InPlaceTransformsVisitEveryVertex) {
    Polygons polygons = {{{10, 20}, {30, 40}}, {{50, 60}}};
    translate_polygons_to_origin(polygons, {10, 20});
    EXPECT_EQ(polygons, (Polygons{{{0, 0}, {20, 20}}, {{40, 40}}}));
    rotate_polygons(polygons);
    EXPECT_EQ(polygons, (Polygons{{{0, -0.0f}, {20, -20}}, {{40, -40}}}));
    scale_polygons(polygons, 0.5f);
    EXPECT_EQ(polygons, (Polygons{{{0, 0}, {10, -10}}, {{20, -20}}}));
}

TEST(VectorMath, NormalizeDividesByTheGivenMagnitude) {
    test_support::LogCapture log;
    EXPECT_FLOAT_EQ(magnitude_of_vector(3, 4), 5.0f);
    const Vec2 n = normalize_vector(3, 4, 5);
    EXPECT_FLOAT_EQ(n.first, 0.6f);
    EXPECT_FLOAT_EQ(n.second, 0.8f);
    // A NaN magnitude is not zero: it divides and logs nothing.
    EXPECT_TRUE(std::isnan(normalize_vector(1, 1, std::nanf("")).first));
    EXPECT_TRUE(log.lines().empty());
}

TEST(VectorMath, NormalizingZeroLogsAndPointsUp) {
    test_support::LogCapture log;
    EXPECT_EQ(normalize_vector(0, 0, 0), Vec2(0.0f, 1.0f));
    EXPECT_EQ(log.count(spdlog::level::err, "Can't normalize vector with 0 magnitude"), 1);
}
