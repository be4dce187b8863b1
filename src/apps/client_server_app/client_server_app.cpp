#include "apps/client_server_app/client_server_app.h"

#include <csignal>
#include <utility>
#include <vector>

#include <spdlog/spdlog.h>

#include "apps/client_app/client_app.h"
#include "apps/server_app/server_app.h"
#include "client/modules/capture_the_flag/capture_the_flag.h"
#include "client/network/network.h"
#include "core/engine/engine.h"
#include "core/logging/logging.h"
#include "core/sdl_helpers/sdl_helpers.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "server/network/network.h"

std::atomic<bool> client_server_shutdown_requested{false};

void on_sigint_client_server(int) { client_server_shutdown_requested.store(true); }

namespace {

struct Sides {
    Engine& client_engine;
    Engine& server_engine;
    Client::Network& client_network;
    Server::Network& server_network;
};

// Client before server at every stage; the engines keep their own clocks, so
// either, both or neither may tick in one pass.
void run_client_server_pass(const Sides& sides, RmlManager& rml_manager) {
    const std::vector<SDL_Event> events = pump_sdl_events();
    handle_window_events(events, client_server_shutdown_requested, rml_manager);
    const std::vector<NetMsg> client_messages = sides.client_network.pump_net_msgs();
    const auto server_messages = sides.server_network.pump_net_msgs();
    sides.client_engine.send_sdl_events(events);
    sides.server_engine.send_sdl_events(events);
    sides.client_engine.send_received_server_net_msgs(client_messages);
    sides.server_engine.send_received_client_net_msgs(server_messages);
    sides.client_engine.step();
    sides.server_engine.step();
    flush_log();
}

}  // namespace

ClientServerApp::ClientServerApp(Config config) : config(std::move(config)) {}

bool ClientServerApp::run() { return run(server_port); }

bool ClientServerApp::run(int port) {
    std::signal(SIGINT, on_sigint_client_server);
    std::optional<GameWindow> game_window = open_game_window(config, WindowLog::FailuresOnly);
    if (!game_window) {
        return false;
    }
    SDL_Window* window = game_window->window;
    SDL_Renderer* renderer = game_window->renderer;
    RmlManager rml_manager(window, renderer, config.ship_configs, config.mount_configs,
                           config.projectile_configs);
    Engine client_engine(config);
    Engine server_engine(config);
    Client::Network client_network;
    Server::Network server_network;
    if (!server_network.listen(port)) {
        return false;
    }
    if (!client_network.connect(Client::default_server_address, port)) {
        return false;
    }
    client_engine.network = &client_network;
    client_engine.rml_manager = &rml_manager;
    client_engine.renderer = renderer;
    server_engine.network = &server_network;
    Store client_store;
    Store server_store;
    Client::CaptureTheFlagModule client_module(&config, &client_engine, &client_network, window,
                                               renderer, &rml_manager, &client_store);
    Server::CaptureTheFlagModule server_module(&config, &server_engine, &server_network,
                                               &server_store);

    const Sides sides{client_engine, server_engine, client_network, server_network};
    while (!client_server_shutdown_requested.load()) {
        run_client_server_pass(sides, rml_manager);
    }

    SPDLOG_INFO("loop ended");
    close_game_window(*game_window, rml_manager, WindowLog::FailuresOnly);
    return true;
}
