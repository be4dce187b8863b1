#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/systems/systems.h"
#include "support/log_capture.h"

namespace {

struct World {
    DenseListKeyed<Ships> ships;
    DenseListKeyed<PhysicsBodies> bodies;

    // A ship at (x, y, rot) with one body of the given configured polygons.
    std::uint32_t add_ship(float x, float y, float rot, const Polygons& polygons) {
        const DenseListKey ship = ships.push_back(-1);
        const DenseListKey body = bodies.push_back(-1);
        ships.dense_list.x[ship.index] = x;
        ships.dense_list.y[ship.index] = y;
        ships.dense_list.rot[ship.index] = rot;
        ships.dense_list.physics_body_key[ship.index] = body;
        bodies.dense_list.config_polygons[body.index] = polygons;
        bodies.dense_list.polygons[body.index].resize(polygons.size());
        bodies.dense_list.owner_component_key[body.index] = ship;
        return body.index;
    }
};

const Polygons square_of_20 = {{{-10, -10}, {10, -10}, {10, 10}, {-10, 10}}};

}  // namespace

TEST(PhysicsBodyUpdate, TurnsAndPlacesTheConfiguredPolygons) {
    World world;
    const std::uint32_t b = world.add_ship(100.0f, 50.0f, std::numbers::pi_v<float> / 2.0f, square_of_20);
    update_physics_bodies(world.bodies, world.ships);
    const PhysicsBodies& bodies = world.bodies.dense_list;
    EXPECT_NEAR(bodies.aabb_x_min[b], 90.0f, 1e-4f);
    EXPECT_NEAR(bodies.aabb_x_max[b], 110.0f, 1e-4f);
    EXPECT_NEAR(bodies.aabb_y_min[b], 40.0f, 1e-4f);
    EXPECT_NEAR(bodies.aabb_y_max[b], 60.0f, 1e-4f);
    const c2Poly& poly = bodies.polygons[b][0];
    ASSERT_EQ(poly.count, 4);
    for (int i = 0; i < poly.count; ++i) {
        EXPECT_NEAR(std::fabs(poly.verts[i].x - 100.0f), 10.0f, 1e-4f);
        EXPECT_NEAR(std::fabs(poly.verts[i].y - 50.0f), 10.0f, 1e-4f);
    }
    EXPECT_EQ(bodies.x[b], 100.0f);
    EXPECT_EQ(bodies.y[b], 50.0f);
}

TEST(PhysicsBodyUpdate, BodyWithoutPolygonsKeepsAnInvertedBox) {
    World world;
    const std::uint32_t b = world.add_ship(5.0f, 5.0f, 0.0f, {});
    update_physics_bodies(world.bodies, world.ships);
    const PhysicsBodies& bodies = world.bodies.dense_list;
    EXPECT_EQ(bodies.aabb_x_min[b], std::numeric_limits<float>::max());
    EXPECT_EQ(bodies.aabb_x_max[b], std::numeric_limits<float>::lowest());
    EXPECT_EQ(bodies.aabb_y_min[b], std::numeric_limits<float>::max());
    EXPECT_EQ(bodies.aabb_y_max[b], std::numeric_limits<float>::lowest());
}

TEST(PhysicsBodyUpdate, OwnerWithoutBodyIsReportedAndSkipped) {
    World world;
    const std::uint32_t b = world.add_ship(0.0f, 0.0f, 0.0f, square_of_20);
    world.ships.dense_list.physics_body_key[0] = DenseListKey{77, 9, 1};
    test_support::LogCapture log;
    update_physics_bodies(world.bodies, world.ships);
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Missing phys_body_idx for owner with id: 77"));
    EXPECT_EQ(world.bodies.dense_list.polygons[b][0].count, 0) << "the body keeps its previous shape";
}

TEST(PhysicsBodyUpdate, PlacesAtMostEightVerticesOfAPolygon) {
    Polygons nine_corners(1);
    for (int i = 0; i < 9; ++i) {
        const float a = static_cast<float>(i) * 2.0f * std::numbers::pi_v<float> / 9.0f;
        nine_corners[0].emplace_back(10.0f * std::cos(a), 10.0f * std::sin(a));
    }
    World world;
    const std::uint32_t b = world.add_ship(0.0f, 0.0f, 0.0f, nine_corners);
    update_physics_bodies(world.bodies, world.ships);
    EXPECT_EQ(world.bodies.dense_list.polygons[b][0].count, 8);
}

TEST(PhysicsBodyUpdate, ShipAtANonFinitePositionGetsAnEmptyShape) {
    World world;
    const std::uint32_t b = world.add_ship(std::numeric_limits<float>::quiet_NaN(), 0.0f, 0.0f, square_of_20);
    update_physics_bodies(world.bodies, world.ships);
    EXPECT_EQ(world.bodies.dense_list.polygons[b][0].count, 0);
}
