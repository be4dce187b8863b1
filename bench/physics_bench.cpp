#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <spdlog/spdlog.h>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/physics/physics.h"
#include "core/systems/systems.h"

namespace {

struct World {
    DenseListKeyed<Ships> ships;
    DenseListKeyed<PhysicsBodies> bodies;
};

// A synthetic hull of two convex polygons, about 90 by 40 units, so the contact pass
// tests more than one polygon pair per overlapping body.
const Polygons hull = {
    {{-45, -12}, {20, -15}, {45, 0}, {20, 15}, {-45, 12}},
    {{-30, 12}, {0, 12}, {-20, 20}},
};

// Ships scattered at random over a square that grows with their number, about
// one ship per 400 by 400 units, so neighbours sometimes overlap.
World spread_ships(std::uint32_t count, std::uint32_t start) {
    World world;
    std::mt19937 rng(start);
    const float side = std::sqrt(static_cast<float>(count)) * 400.0f;
    std::uniform_real_distribution<float> position(-side / 2.0f, side / 2.0f);
    std::uniform_real_distribution<float> heading(-3.14f, 3.14f);
    for (std::uint32_t i = 0; i < count; ++i) {
        const DenseListKey ship = world.ships.push_back(-1);
        const DenseListKey body = world.bodies.push_back(-1);
        Ships& s = world.ships.dense_list;
        s.x[ship.index] = position(rng);
        s.y[ship.index] = position(rng);
        s.rot[ship.index] = heading(rng);
        s.physics_body_key[ship.index] = body;
        PhysicsBodies& b = world.bodies.dense_list;
        b.config_polygons[body.index] = hull;
        b.polygons[body.index].resize(hull.size());
        b.owner_component_key[body.index] = ship;
    }
    return world;
}

// Turns every ship a little, so the bodies really change from tick to tick.
void turn_ships(World& world) {
    for (float& rot : world.ships.dense_list.rot) {
        rot = wrap_angle(rot + 0.01f);
    }
}

// One server tick's body work: bodies follow their ships, the grid is rebuilt
// and every overlapping pair is tested polygon against polygon.
void BM_BodiesIndexCollisions(benchmark::State& state) {
    const auto ships = static_cast<std::uint32_t>(state.range(0));
    World world = spread_ships(ships, 42u);
    const auto level = spdlog::get_level();
    spdlog::set_level(spdlog::level::warn);
    for (auto _ : state) {
        turn_ships(world);
        update_physics_bodies(world.bodies, world.ships);
        SpatialIndex index = make_spatial_index(world.bodies);
        apply_collisions(world.bodies, index);
        benchmark::DoNotOptimize(index);
    }
    spdlog::set_level(level);
    state.SetItemsProcessed(state.iterations() * ships);
}

// The flight of a full projectile list among 100 ships: every projectile casts
// its step's ray into its cells. Positions are put back before each pass so
// hits and misses stay the same from pass to pass.
void BM_UpdateProjectiles(benchmark::State& state) {
    World world = spread_ships(100, 7u);
    update_physics_bodies(world.bodies, world.ships);
    SpatialIndex index = make_spatial_index(world.bodies);
    DenseListKeyed<Projectiles> projectiles;
    const DenseListKeyed<Mounts> mounts;  // the projectiles name no firing mount
    std::mt19937 rng(99u);
    const float side = std::sqrt(100.0f) * 400.0f;
    std::uniform_real_distribution<float> position(-side / 2.0f, side / 2.0f);
    std::uniform_real_distribution<float> heading(-3.14f, 3.14f);
    for (DenseListKey key = projectiles.push_back(-1); key.id != 0; key = projectiles.push_back(-1)) {
        Projectiles& p = projectiles.dense_list;
        p.x[key.index] = position(rng);
        p.y[key.index] = position(rng);
        p.rot[key.index] = heading(rng);
        p.speed[key.index] = 600.0f;
    }
    const std::vector<float> start_x = projectiles.dense_list.x;
    const std::vector<float> start_y = projectiles.dense_list.y;
    std::vector<ProjectileHit> hits;
    const auto level = spdlog::get_level();
    spdlog::set_level(spdlog::level::warn);
    for (auto _ : state) {
        projectiles.dense_list.x = start_x;
        projectiles.dense_list.y = start_y;
        hits.clear();
        update_projectiles(projectiles, mounts, world.bodies, index, hits);
        benchmark::DoNotOptimize(hits.data());
    }
    spdlog::set_level(level);
    state.counters["hits"] = static_cast<double>(hits.size());
    state.SetItemsProcessed(state.iterations() * projectiles.size());
}

}  // namespace

BENCHMARK(BM_UpdateProjectiles)->Name("update_projectiles/4999_among_100_ships");
BENCHMARK(BM_BodiesIndexCollisions)->Name("bodies_index_collisions")->Arg(100)->Arg(1000);
