#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include <SDL3/SDL.h>
#include <spdlog/spdlog.h>

#include "client/modules/capture_the_flag/capture_the_flag.h"
#include "client/render/render.h"
#include "core/ship_type/ship_type.h"

namespace {

// The keyed list's id limit: one projectile list holds at most 4999 rows.
constexpr std::uint32_t projectile_count = 4999;
constexpr std::uint32_t ship_count = 100;

// Info lines would measure the console, not the client.
class QuietLog {
public:
    QuietLog() : level(spdlog::get_level()) { spdlog::set_level(spdlog::level::warn); }
    ~QuietLog() { spdlog::set_level(level); }
    QuietLog(const QuietLog&) = delete;
    QuietLog& operator=(const QuietLog&) = delete;

private:
    spdlog::level::level_enum level;
};

// A client as it stands mid-game: 100 ships of every type with all their
// mounts spread over the window, and a full projectile list flying among them,
// everything mirrored through the messages the server would send.
class ClientScene {
public:
    ClientScene() {
        SDL_SetHint(SDL_HINT_VIDEO_DRIVER, "dummy");
        SDL_Init(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("bench", 1280, 720, 0);
        renderer = SDL_CreateRenderer(window, "software");
        load_texture_map(renderer, config.get());
        module = std::make_unique<Client::CaptureTheFlagModule>(
            config.get(), &engine, &network, window, renderer, &rml_manager, &store);
        spawn_ships();
        module->fixed_tick();  // mounts onto their ships
        spawn_projectiles();
    }

    ~ClientScene() {
        module.reset();
        unload_texture_map();
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(window);
        SDL_Quit();
    }

    ClientScene(const ClientScene&) = delete;
    ClientScene& operator=(const ClientScene&) = delete;

    void draw_frame() {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        module->render();
        SDL_RenderPresent(renderer);
    }

    std::unique_ptr<Config> config = std::make_unique<Config>();
    Engine engine{*config};
    Client::Network network;
    RmlManager rml_manager;
    Store store;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<Client::CaptureTheFlagModule> module;

private:
    void receive(NetMsg net_msg) { module->receive_net_msg(net_msg); }

    void spawn_ships() {
        std::uint32_t mount_id = 1;
        for (std::uint32_t i = 0; i < ship_count; ++i) {
            const ShipType type = ordered_ship_types[i % ordered_ship_types.size()];
            const auto x = static_cast<float>(i % 10) * 120.0f - 540.0f;
            const auto y = static_cast<float>(i / 10) * 70.0f - 315.0f;
            receive(NetMsgs::ShipSpawn{.id = i + 1, .ship_type = type, .x = x, .y = y,
                                       .rot = static_cast<float>(i) * 0.3f});
            const auto& slots = config->ship_configs.at(type).mounts;
            for (std::uint32_t slot = 0; slot < slots.size(); ++slot) {
                receive(NetMsgs::MountSpawn{.id = mount_id++, .ship_id = i + 1,
                                            .ship_mount_index = slot,
                                            .mount_type = slots[slot].mount_type});
            }
        }
    }

    // Each projectile leaves a random mount in a random direction.
    void spawn_projectiles() {
        std::mt19937 rng(7);
        std::uniform_real_distribution<float> heading(-3.14f, 3.14f);
        Mounts& mounts = store.mounts.dense_list;
        for (std::uint32_t i = 0; i < projectile_count; ++i) {
            const std::uint32_t row = static_cast<std::uint32_t>(rng()) % mounts.size();
            mounts.rot[row] = heading(rng);
            receive(NetMsgs::ProjectileSpawn{.mount_id = *store.mounts.get_id_by_index(row)});
        }
    }
};

void BM_ClientFrame(benchmark::State& state) {
    const QuietLog quiet;
    ClientScene scene;
    for (auto _ : state) {
        scene.draw_frame();
    }
    state.counters["ships"] = static_cast<double>(scene.store.ships.size());
    state.counters["mounts"] = static_cast<double>(scene.store.mounts.size());
    state.counters["projectiles"] = static_cast<double>(scene.store.projectiles.size());
}
BENCHMARK(BM_ClientFrame)->Unit(benchmark::kMillisecond);

// The projectiles that hit are removed, so every iteration starts again from
// the same full list.
void BM_ClientFixedTick(benchmark::State& state) {
    const QuietLog quiet;
    ClientScene scene;
    const DenseListKeyed<Projectiles> start = scene.store.projectiles;
    for (auto _ : state) {
        state.PauseTiming();
        scene.store.projectiles = start;
        state.ResumeTiming();
        scene.module->fixed_tick();
    }
    state.counters["projectiles"] = static_cast<double>(start.size());
}
BENCHMARK(BM_ClientFixedTick)->Unit(benchmark::kMicrosecond);

}  // namespace
