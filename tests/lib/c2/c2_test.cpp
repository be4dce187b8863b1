#include "lib/c2/c2.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <random>

#include <gtest/gtest.h>

namespace {

c2Poly make_poly(std::initializer_list<c2v> points) {
    c2Poly p{};
    for (const c2v v : points) {
        p.verts[p.count++] = v;
    }
    c2MakePoly(&p);
    return p;
}

c2Poly box(float x0, float y0, float x1, float y1) { return make_poly({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}); }

float signed_area(const c2Poly& p) {
    float a = 0.0f;
    for (int i = 0; i < p.count; ++i) {
        const c2v u = p.verts[i];
        const c2v v = p.verts[(i + 1) % p.count];
        a += u.x * v.y - v.x * u.y;
    }
    return a * 0.5f;
}

bool has_vertex(const c2Poly& p, c2v v) {
    for (int i = 0; i < p.count; ++i) {
        if (p.verts[i].x == v.x && p.verts[i].y == v.y) {
            return true;
        }
    }
    return false;
}

// Every vertex lies on or behind every edge's outward normal.
bool inside_or_on(const c2Poly& p, c2v q, float tolerance) {
    for (int i = 0; i < p.count; ++i) {
        const float d = p.norms[i].x * (q.x - p.verts[i].x) + p.norms[i].y * (q.y - p.verts[i].y);
        if (d > tolerance) {
            return false;
        }
    }
    return true;
}

c2Manifold manifold(const c2Poly& a, const c2Poly& b) {
    c2Manifold m{};
    c2PolytoPolyManifold(&a, nullptr, &b, nullptr, &m);
    return m;
}

c2Ray ray(c2v origin, c2v direction, float length) {
    const float len = std::hypot(direction.x, direction.y);
    return {origin, {direction.x / len, direction.y / len}, length};
}

}  // namespace

TEST(C2MakePoly, HullOfShuffledPointsIsCounterClockwiseWithUnitOutwardNormals) {
    const c2Poly p = make_poly({{10, 10}, {0, 0}, {5, 5}, {0, 10}, {10, 0}, {3, 7}});
    ASSERT_EQ(p.count, 4);
    EXPECT_FLOAT_EQ(signed_area(p), 100.0f);
    for (const c2v corner : {c2v{0, 0}, c2v{10, 0}, c2v{10, 10}, c2v{0, 10}}) {
        EXPECT_TRUE(has_vertex(p, corner));
    }
    for (int i = 0; i < p.count; ++i) {
        const c2v n = p.norms[i];
        const c2v a = p.verts[i];
        const c2v b = p.verts[(i + 1) % p.count];
        EXPECT_FLOAT_EQ(std::hypot(n.x, n.y), 1.0f);
        EXPECT_FLOAT_EQ(n.x * (b.x - a.x) + n.y * (b.y - a.y), 0.0f);
        EXPECT_GT(n.x * (a.x - 5.0f) + n.y * (a.y - 5.0f), 0.0f) << "normal " << i << " points inward";
    }
}

TEST(C2MakePoly, DropsCollinearAndRepeatedPoints) {
    const c2Poly p = make_poly({{0, 0}, {5, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 5}, {0, 0}});
    EXPECT_EQ(p.count, 4);
    EXPECT_FLOAT_EQ(signed_area(p), 100.0f);
}

TEST(C2MakePoly, ClockwiseInputBecomesCounterClockwiseAndRemakingChangesNothing) {
    c2Poly p = make_poly({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    EXPECT_FLOAT_EQ(signed_area(p), 100.0f);
    const c2Poly before = p;
    c2MakePoly(&p);
    ASSERT_EQ(p.count, before.count);
    for (int i = 0; i < p.count; ++i) {
        EXPECT_EQ(p.verts[i].x, before.verts[i].x);
        EXPECT_EQ(p.verts[i].y, before.verts[i].y);
    }
}

TEST(C2MakePoly, DegenerateInputsLeaveAnEmptyPolygonThatBlocksNothing) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const c2Poly degenerate[] = {
        make_poly({}),
        make_poly({{1, 1}}),
        make_poly({{0, 0}, {10, 10}}),
        make_poly({{0, 0}, {5, 5}, {10, 10}, {2, 2}}),
        make_poly({{3, 3}, {3, 3}, {3, 3}}),
        make_poly({{nan, 0}, {10, nan}, {inf, 10}, {0, -inf}}),
    };
    const c2Poly other = box(-100, -100, 100, 100);
    for (const c2Poly& p : degenerate) {
        EXPECT_EQ(p.count, 0);
        EXPECT_EQ(manifold(p, other).count, 0);
        EXPECT_EQ(manifold(other, p).count, 0);
        c2Raycast hit{};
        EXPECT_EQ(c2RaytoPoly(ray({-200, 0}, {1, 0}, 400), &p, nullptr, &hit), 0);
    }
}

TEST(C2MakePoly, DropsNonFiniteVerticesAndKeepsTheRest) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const c2Poly p = make_poly({{0, 0}, {nan, nan}, {10, 0}, {0, 10}});
    EXPECT_EQ(p.count, 3);
    EXPECT_FLOAT_EQ(signed_area(p), 50.0f);
}

TEST(C2MakePoly, ReadsAtMostEightVertices) {
    c2Poly p{};
    p.count = 1000;
    const c2v octagonish[8] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}, {5, 6}, {6, 5}, {4, 4}};
    for (int i = 0; i < 8; ++i) {
        p.verts[i] = octagonish[i];
    }
    c2MakePoly(&p);
    EXPECT_EQ(p.count, 4);
}

TEST(C2Manifold, SeparatedTouchingAndDiagonallySeparatedPolygonsDoNotOverlap) {
    const c2Poly a = box(0, 0, 10, 10);
    EXPECT_EQ(manifold(a, box(11, 0, 21, 10)).count, 0);
    EXPECT_EQ(manifold(a, box(10, 0, 20, 10)).count, 0) << "shared edge";
    EXPECT_EQ(manifold(a, box(10, 10, 20, 20)).count, 0) << "shared corner";
    // Boxes around these triangles overlap, but the diagonal separates them.
    const c2Poly lower = make_poly({{0, 0}, {10, 0}, {0, 10}});
    const c2Poly upper = make_poly({{10, 1}, {10, 10}, {1, 10}});
    EXPECT_EQ(manifold(lower, upper).count, 0);
    EXPECT_EQ(manifold(upper, lower).count, 0);
}

TEST(C2Manifold, OverlappingBoxesGiveTwoContactsAlongTheShallowAxis) {
    const c2Poly a = box(0, 0, 10, 10);
    const c2Poly b = box(8, 2, 18, 8);
    const c2Manifold m = manifold(a, b);
    ASSERT_EQ(m.count, 2);
    EXPECT_FLOAT_EQ(m.n.x, 1.0f);
    EXPECT_FLOAT_EQ(m.n.y, 0.0f);
    for (int i = 0; i < m.count; ++i) {
        EXPECT_FLOAT_EQ(m.depths[i], 2.0f);
        EXPECT_TRUE(inside_or_on(a, m.contact_points[i], 1e-4f));
        EXPECT_TRUE(inside_or_on(b, m.contact_points[i], 1e-4f));
    }
    // Swapping the polygons flips the normal so it still points from A to B.
    const c2Manifold swapped = manifold(b, a);
    ASSERT_EQ(swapped.count, 2);
    EXPECT_FLOAT_EQ(swapped.n.x, -1.0f);
    EXPECT_FLOAT_EQ(swapped.depths[0], 2.0f);
}

TEST(C2Manifold, CornerIntoEdgeGivesOneContact) {
    const c2Poly a = box(0, 0, 10, 10);
    const c2Poly diamond = make_poly({{5, 9}, {9, 13}, {5, 17}, {1, 13}});
    const c2Manifold m = manifold(a, diamond);
    ASSERT_EQ(m.count, 1);
    EXPECT_FLOAT_EQ(m.n.y, 1.0f);
    EXPECT_FLOAT_EQ(m.depths[0], 1.0f);
    EXPECT_FLOAT_EQ(m.contact_points[0].x, 5.0f);
    EXPECT_FLOAT_EQ(m.contact_points[0].y, 9.0f);
}

TEST(C2Manifold, ContainmentAndIdenticalPolygonsOverlap) {
    const c2Poly big = box(0, 0, 100, 100);
    const c2Poly small = box(40, 45, 60, 50);
    for (const c2Manifold& m : {manifold(big, small), manifold(small, big), manifold(big, big)}) {
        ASSERT_GT(m.count, 0);
        for (int i = 0; i < m.count; ++i) {
            EXPECT_GT(m.depths[i], 0.0f);
        }
        EXPECT_FLOAT_EQ(std::hypot(m.n.x, m.n.y), 1.0f);
    }
}

TEST(C2Manifold, TransformsPlaceThePolygons) {
    const c2Poly unit = box(-1, -1, 1, 1);
    const c2x far_right{{100, 0}, {1, 0}};
    const c2x near_far_right{{101.5f, 0}, {0, 1}};  // quarter turn, still a square
    c2Manifold m{};
    c2PolytoPolyManifold(&unit, nullptr, &unit, &far_right, &m);
    EXPECT_EQ(m.count, 0);
    c2PolytoPolyManifold(&unit, &far_right, &unit, &near_far_right, &m);
    ASSERT_GT(m.count, 0);
    EXPECT_NEAR(m.n.x, 1.0f, 1e-6f);
    EXPECT_NEAR(m.depths[0], 0.5f, 1e-5f);
}

TEST(C2Ray, EntersTheFirstEdgeItCrosses) {
    const c2Poly b = box(0, 0, 10, 10);
    c2Raycast hit{};
    ASSERT_NE(c2RaytoPoly(ray({-5, 5}, {1, 0}, 20), &b, nullptr, &hit), 0);
    EXPECT_FLOAT_EQ(hit.t, 5.0f);
    EXPECT_FLOAT_EQ(hit.n.x, -1.0f);
    EXPECT_FLOAT_EQ(hit.n.y, 0.0f);
    ASSERT_NE(c2RaytoPoly(ray({5, -3}, {0, 1}, 4), &b, nullptr, &hit), 0);
    EXPECT_FLOAT_EQ(hit.t, 3.0f);
    EXPECT_FLOAT_EQ(hit.n.y, -1.0f);
}

TEST(C2Ray, OnlyTheSegmentCounts) {
    const c2Poly b = box(0, 0, 10, 10);
    c2Raycast hit{-1.0f, {0, 0}};
    EXPECT_EQ(c2RaytoPoly(ray({-5, 5}, {1, 0}, 4.9f), &b, nullptr, &hit), 0);
    EXPECT_EQ(c2RaytoPoly(ray({-5, 5}, {1, 0}, 5), &b, nullptr, &hit), 0) << "ends on the edge";
    EXPECT_EQ(c2RaytoPoly(ray({-5, 5}, {-1, 0}, 100), &b, nullptr, &hit), 0) << "points away";
    EXPECT_EQ(c2RaytoPoly(ray({-5, 5}, {1, 0}, 0), &b, nullptr, &hit), 0) << "no length";
    EXPECT_EQ(hit.t, -1.0f) << "a miss leaves the result untouched";
}

TEST(C2Ray, ARayFromInsideDoesNotHitButOneFromTheSurfaceInwardDoes) {
    const c2Poly b = box(0, 0, 10, 10);
    c2Raycast hit{};
    EXPECT_EQ(c2RaytoPoly(ray({5, 5}, {1, 0}, 100), &b, nullptr, &hit), 0);
    EXPECT_EQ(c2RaytoPoly(ray({5, 5}, {0.3f, -0.7f}, 1), &b, nullptr, &hit), 0);
    ASSERT_NE(c2RaytoPoly(ray({0, 5}, {1, 0}, 1), &b, nullptr, &hit), 0);
    EXPECT_FLOAT_EQ(hit.t, 0.0f);
    EXPECT_FLOAT_EQ(hit.n.x, -1.0f);
}

TEST(C2Ray, GrazingAVertexOrRunningAlongAnEdgeIsNoHit) {
    const c2Poly b = box(0, 0, 10, 10);
    c2Raycast hit{};
    EXPECT_EQ(c2RaytoPoly(ray({5, 15}, {1, -1}, 20), &b, nullptr, &hit), 0) << "touches corner (10, 10)";
    EXPECT_EQ(c2RaytoPoly(ray({-5, 10}, {1, 0}, 30), &b, nullptr, &hit), 0) << "along the top edge";
    EXPECT_EQ(c2RaytoPoly(ray({-5, 11}, {1, 0}, 30), &b, nullptr, &hit), 0) << "parallel above";
    const c2Poly diamond = make_poly({{0, 10}, {-10, 0}, {0, -10}, {10, 0}});
    EXPECT_EQ(c2RaytoPoly(ray({-20, 10}, {1, 0}, 40), &diamond, nullptr, &hit), 0) << "tangent at the top vertex";
    ASSERT_NE(c2RaytoPoly(ray({-5, 15}, {1, -1}, 20), &b, nullptr, &hit), 0) << "through a corner into the box";
    EXPECT_NEAR(hit.t, std::sqrt(50.0f), 1e-5f);
}

TEST(C2Ray, ParallelToAnEdgeInsideTheStripHitsTheFacingEdge) {
    const c2Poly b = box(0, 0, 10, 10);
    c2Raycast hit{};
    ASSERT_NE(c2RaytoPoly(ray({20, 5}, {-1, 0}, 30), &b, nullptr, &hit), 0);
    EXPECT_FLOAT_EQ(hit.t, 10.0f);
    EXPECT_FLOAT_EQ(hit.n.x, 1.0f);
}

TEST(C2Ray, NonFiniteRaysHitNothing) {
    const c2Poly b = box(0, 0, 10, 10);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    c2Raycast hit{};
    EXPECT_EQ(c2RaytoPoly({{nan, 5}, {1, 0}, 100}, &b, nullptr, &hit), 0);
    EXPECT_EQ(c2RaytoPoly({{-5, 5}, {nan, nan}, 100}, &b, nullptr, &hit), 0);
    EXPECT_EQ(c2RaytoPoly({{-inf, 5}, {1, 0}, inf}, &b, nullptr, &hit), 0);
    EXPECT_EQ(c2RaytoPoly({{-5, 5}, {1, 0}, nan}, &b, nullptr, &hit), 0);
}

TEST(C2Ray, TransformPlacesThePolygon) {
    const c2Poly unit = box(-1, -1, 1, 1);
    const c2x moved{{50, 0}, {1, 0}};
    c2Raycast hit{};
    ASSERT_NE(c2RaytoPoly(ray({0, 0}, {1, 0}, 100), &unit, &moved, &hit), 0);
    EXPECT_FLOAT_EQ(hit.t, 49.0f);
    EXPECT_FLOAT_EQ(hit.n.x, -1.0f);
}

namespace {

c2Poly random_poly(std::mt19937& rng, float cx, float cy) {
    std::uniform_real_distribution<float> offset(-10.0f, 10.0f);
    std::uniform_int_distribution<int> count(3, 8);
    c2Poly p{};
    p.count = count(rng);
    for (int i = 0; i < p.count; ++i) {
        p.verts[i] = {cx + offset(rng), cy + offset(rng)};
    }
    return p;
}

}  // namespace

TEST(C2Properties, HullsOfRandomPointsAreConvexAndContainEveryPoint) {
    std::mt19937 rng(20240611u);
    for (int round = 0; round < 500; ++round) {
        const c2Poly raw = random_poly(rng, 0.0f, 0.0f);
        c2Poly hull = raw;
        c2MakePoly(&hull);
        ASSERT_GE(hull.count, 3);
        EXPECT_GT(signed_area(hull), 0.0f);
        for (int i = 0; i < hull.count; ++i) {
            const c2v a = hull.verts[i];
            const c2v b = hull.verts[(i + 1) % hull.count];
            const c2v c = hull.verts[(i + 2) % hull.count];
            EXPECT_GT((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x), 0.0f) << "round " << round;
        }
        for (int i = 0; i < raw.count; ++i) {
            EXPECT_TRUE(inside_or_on(hull, raw.verts[i], 1e-4f)) << "round " << round;
        }
    }
}

TEST(C2Properties, PushingBByTheDepthAlongTheNormalSeparatesThePair) {
    std::mt19937 rng(777u);
    std::uniform_real_distribution<float> centre(-12.0f, 12.0f);
    int overlapping = 0;
    for (int round = 0; round < 2000; ++round) {
        c2Poly a = random_poly(rng, 0.0f, 0.0f);
        c2Poly b = random_poly(rng, centre(rng), centre(rng));
        c2MakePoly(&a);
        c2MakePoly(&b);
        const c2Manifold m = manifold(a, b);
        EXPECT_EQ(m.count > 0, manifold(b, a).count > 0) << "round " << round;
        if (m.count == 0) {
            continue;
        }
        ++overlapping;
        float depth = 0.0f;
        for (int i = 0; i < m.count; ++i) {
            EXPECT_GT(m.depths[i], 0.0f);
            const c2v point = m.contact_points[i];
            EXPECT_TRUE(inside_or_on(a, point, 1e-3f) || inside_or_on(b, point, 1e-3f)) << "round " << round;
            depth = std::max(depth, m.depths[i]);
        }
        const float push = depth + 1e-3f;
        for (int i = 0; i < b.count; ++i) {
            b.verts[i].x += m.n.x * push;
            b.verts[i].y += m.n.y * push;
        }
        EXPECT_EQ(manifold(a, b).count, 0) << "round " << round;
    }
    EXPECT_GT(overlapping, 200);
}
