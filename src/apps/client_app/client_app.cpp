#include "apps/client_app/client_app.h"

#include <csignal>
#include <utility>

#include <spdlog/spdlog.h>

#include "apps/quit_events/quit_events.h"
#include "client/modules/admin/admin.h"
#include "client/modules/capture_the_flag/capture_the_flag.h"
#include "client/network/network.h"
#include "client/render/render.h"
#include "core/engine/engine.h"
#include "core/logging/logging.h"
#include "core/sdl_helpers/sdl_helpers.h"
#include "core/store/store.h"

// The signal handler may only touch a lock-free atomic.
static_assert(std::atomic<bool>::is_always_lock_free);

std::atomic<bool> client_shutdown_requested{false};

void on_sigint_client(int) { client_shutdown_requested.store(true); }

namespace {

constexpr const char* window_title = "voidlance";
constexpr int window_width = 1280;
constexpr int window_height = 720;
// Every page fits a window of this size; a smaller one would cut the editors off.
constexpr int least_window_width = 1024;
constexpr int least_window_height = 600;

void log_step(WindowLog log, const char* text) {
    if (log == WindowLog::EachStep) {
        SPDLOG_INFO(text);
    }
}

void run_client_pass(Engine& engine, Client::Network& network, RmlManager& rml_manager) {
    SPDLOG_INFO("Starting app loop start");
    const std::vector<SDL_Event> events = pump_sdl_events();
    handle_window_events(events, client_shutdown_requested, rml_manager);
    const std::vector<NetMsg> messages = network.pump_net_msgs();
    engine.send_sdl_events(events);
    engine.send_received_server_net_msgs(messages);
    engine.step();
    SPDLOG_INFO("Starting app loop end");
    flush_log();
}

}  // namespace

ClientApp::ClientApp(Config config) : config(std::move(config)) {}

bool ClientApp::run() {
    std::signal(SIGINT, on_sigint_client);
    std::optional<GameWindow> game_window = open_game_window(config, WindowLog::EachStep);
    if (!game_window) {
        return false;
    }
    SDL_Window* window = game_window->window;
    SDL_Renderer* renderer = game_window->renderer;
    RmlManager rml_manager(window, renderer, config.ship_configs, config.mount_configs,
                           config.projectile_configs);
    SPDLOG_INFO("RmlManager created");
    Engine engine(config);
    SPDLOG_INFO("Engine created");
    Client::Network network;
    SPDLOG_INFO("Network created");
    if (!network.connect(Client::default_server_address, Client::default_server_port)) {
        SPDLOG_ERROR("Client network setup failed; exiting.");
        return false;
    }
    SPDLOG_INFO("Client network connected to: {}:{}", Client::default_server_address,
                Client::default_server_port);
    engine.network = &network;
    engine.rml_manager = &rml_manager;
    engine.renderer = renderer;
    Store store;
    SPDLOG_INFO("Created store");
    // Registered before the capture-the-flag module, whose tick and render
    // therefore run first.
    Client::AdminModule admin(&engine, &rml_manager, window);
    SPDLOG_INFO("Added module AdminModule");
    Client::CaptureTheFlagModule capture_the_flag(&config, &engine, &network, window, renderer,
                                                  &rml_manager, &store);
    SPDLOG_INFO("Added module CaptureTheFlagModule");
    SPDLOG_INFO("Starting app loop");

    while (!client_shutdown_requested.load()) {
        run_client_pass(engine, network, rml_manager);
    }

    SPDLOG_INFO("App loop ended");
    close_game_window(*game_window, rml_manager, WindowLog::EachStep);
    SPDLOG_INFO("Client exited normally.");
    return true;
}

std::optional<GameWindow> open_game_window(Config& config, WindowLog log) {
    if (!SDL_Init(SDL_INIT_VIDEO)) {
        SPDLOG_ERROR("SDL_Init failed: {}", SDL_GetError());
        return std::nullopt;
    }
    GameWindow game_window;
    game_window.window =
        SDL_CreateWindow(window_title, window_width, window_height, SDL_WINDOW_RESIZABLE);
    if (!game_window.window) {
        SPDLOG_ERROR("SDL_CreateWindow failed: {}", SDL_GetError());
        return std::nullopt;
    }
    log_step(log, "SDL_Window created");
    if (!SDL_SetWindowMinimumSize(game_window.window, least_window_width, least_window_height)) {
        SPDLOG_WARN("SDL_SetWindowMinimumSize failed: {}", SDL_GetError());
    }
    game_window.renderer = SDL_CreateRenderer(game_window.window, nullptr);
    if (!game_window.renderer) {
        SPDLOG_ERROR("SDL_CreateRenderer failed: {}", SDL_GetError());
        return std::nullopt;
    }
    log_step(log, "SDL_Renderer created");
    SDL_SetRenderVSync(game_window.renderer, 1);
    load_texture_map(game_window.renderer, &config);
    return game_window;
}

void handle_window_events(const std::vector<SDL_Event>& events, std::atomic<bool>& stop_flag,
                          RmlManager& rml_manager) {
    stop_on_quit_events(events, stop_flag);
    if (!rml_manager.context) {
        return;
    }
    for (const SDL_Event& event : events) {
        if (event.type == SDL_EVENT_WINDOW_RESIZED) {
            rml_manager.context->SetDimensions({event.window.data1, event.window.data2});
        }
    }
}

void close_game_window(GameWindow& game_window, RmlManager& rml_manager, WindowLog log) {
    unload_texture_map();
    log_step(log, "Unloaded texture map");
    rml_manager.shutdown();
    log_step(log, "Shutdown RmlManager");
    if (game_window.renderer) {
        SDL_DestroyRenderer(game_window.renderer);
        game_window.renderer = nullptr;
        log_step(log, "Destroyed SDL_Render");
    }
    if (game_window.window) {
        SDL_DestroyWindow(game_window.window);
        game_window.window = nullptr;
        log_step(log, "Destroyed SDL_Window");
    }
    SDL_Quit();
}
