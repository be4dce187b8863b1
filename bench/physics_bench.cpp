#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <optional>
#include <random>
#include <vector>

#include <spdlog/spdlog.h>

#include "core/components/physics_bodies/physics_bodies.h"
#include "core/config/config.h"
#include "core/config_bounds/config_bounds.h"
#include "core/engine/engine.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/physics/physics.h"
#include "core/store/store.h"
#include "core/systems/systems.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "server/network/network.h"

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

// Sets the default logger's level for one scope.
class LogLevel {
public:
    explicit LogLevel(spdlog::level::level_enum level) : previous(spdlog::get_level()) {
        spdlog::set_level(level);
    }
    ~LogLevel() { spdlog::set_level(previous); }
    LogLevel(const LogLevel&) = delete;
    LogLevel& operator=(const LogLevel&) = delete;

private:
    spdlog::level::level_enum previous;
};

// The loaders keep every vertex of a ship within this many world units of its centroid.
constexpr float largest_body_radius = static_cast<float>(ConfigBounds::outline_reach);

// A regular octagon around (x, y) with a vertex on the x axis.
Polygon octagon(float x, float y, float radius) {
    Polygon polygon;
    for (int k = 0; k < 8; ++k) {
        const float angle = static_cast<float>(k) * std::numbers::pi_v<float> / 4.0f;
        polygon.push_back({x + radius * std::cos(angle), y + radius * std::sin(angle)});
    }
    return polygon;
}

enum class Placement { Stacked, Spread };

// The largest hull the loaders accept, of `count` octagons: one reaching the
// bound, or several half as wide around a ring, reaching out to the bound.
Polygons largest_hull(std::int64_t count) {
    if (count == 1) {
        return {octagon(0.0f, 0.0f, largest_body_radius)};
    }
    Polygons polygons;
    const float ring = largest_body_radius / 2.0f;
    for (std::int64_t k = 0; k < count; ++k) {
        const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(count);
        polygons.push_back(octagon(ring * std::cos(angle), ring * std::sin(angle), ring));
    }
    return polygons;
}

// A server as its application builds it, with 100 players who have joined and
// each got a FrigateOne, with its shipped hull or the given one.
struct ServerScene {
    ServerScene(const std::optional<Polygons>& hull, Placement placement) {
        const LogLevel quiet(spdlog::level::off);  // no client takes the ship assignments
        if (hull) {
            config->ship_configs.at(ShipType::FrigateOne).polygons = *hull;
        }
        module = std::make_unique<Server::CaptureTheFlagModule>(config.get(), &engine, &network, &store);
        for (std::uint32_t client_id = 1; client_id <= player_count; ++client_id) {
            module->process_net_msg_client_connected(client_id, NetMsgs::ClientConnected{client_id});
        }
        if (placement == Placement::Spread) {
            spread_on_grid();
        }
    }

    // Ten by ten, 3000 units apart: neighbouring boxes of the largest hull overlap.
    void spread_on_grid() {
        Ships& ships = store.ships.dense_list;
        for (std::uint32_t row = 0; row < ships.size(); ++row) {
            ships.x[row] = static_cast<float>(row % 10) * 3000.0f - 13500.0f;
            ships.y[row] = static_cast<float>(row / 10) * 3000.0f - 13500.0f;
        }
    }

    static constexpr std::uint32_t player_count = 100;
    std::unique_ptr<Config> config = std::make_unique<Config>();
    Engine engine{*config};
    Server::Network network;
    Store store;
    std::unique_ptr<Server::CaptureTheFlagModule> module;
};

// The server's whole fixed tick with 100 players at rest. Counters: the body
// pairs whose boxes overlap, and the grid entries.
void measure_fixed_tick(benchmark::State& state, const std::optional<Polygons>& hull) {
    ServerScene scene(hull, state.range(0) == 0 ? Placement::Stacked : Placement::Spread);
    const LogLevel quiet(spdlog::level::warn);  // contacts are logged at info
    for (auto _ : state) {
        scene.module->fixed_tick();
    }
    SpatialIndex index = make_spatial_index(scene.store.physics_bodies);
    std::size_t entries = 0;
    for (const auto& [cell, rows] : index) {
        entries += rows.size();
    }
    AdjacencyIndex pairs = make_adjacency_index(index);
    state.counters["box_pairs"] =
        static_cast<double>(aabb_filter_adjacency_index(scene.store.physics_bodies, pairs).size());
    state.counters["grid_entries"] = static_cast<double>(entries);
}

void BM_ServerFixedTickShippedHull(benchmark::State& state) { measure_fixed_tick(state, std::nullopt); }

void BM_ServerFixedTickLargestHull(benchmark::State& state) {
    measure_fixed_tick(state, largest_hull(state.range(1)));
}

}  // namespace

// spread 0: all at the spawn point; 1: ten by ten, 3000 units apart.
BENCHMARK(BM_ServerFixedTickShippedHull)
    ->Name("server_fixed_tick/frigate_one")
    ->ArgName("spread")
    ->DenseRange(0, 1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ServerFixedTickLargestHull)
    ->Name("server_fixed_tick/largest_hull")
    ->ArgNames({"spread", "polygons"})
    ->ArgsProduct({{0, 1}, {1, static_cast<std::int64_t>(ConfigBounds::max_ship_polygons)}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateProjectiles)->Name("update_projectiles/4999_among_100_ships");
BENCHMARK(BM_BodiesIndexCollisions)->Name("bodies_index_collisions")->Arg(100)->Arg(1000);
