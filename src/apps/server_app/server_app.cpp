#include "apps/server_app/server_app.h"

#include <csignal>
#include <utility>

#include "core/logging/logging.h"

#include "apps/quit_events/quit_events.h"
#include "core/sdl_helpers/sdl_helpers.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"

// The signal handler may only touch a lock-free atomic.
static_assert(std::atomic<bool>::is_always_lock_free);

std::atomic<bool> server_shutdown_requested{false};

void on_sigint_server(int) { server_shutdown_requested.store(true); }

ServerApp::ServerApp(Config config) : config(std::move(config)) {}

bool ServerApp::run() {
    std::signal(SIGINT, on_sigint_server);
    Engine engine(config);
    Server::Network network;
    if (!network.listen(server_port)) {
        return false;
    }
    engine.network = &network;
    Store store;
    Server::CaptureTheFlagModule module(&config, &engine, &network, &store);
    run_server_loop(engine, network);
    return true;
}

void run_server_loop(Engine& engine, Server::Network& network) {
    while (!server_shutdown_requested.load()) {
        run_server_pass(engine, network);
    }
}

void run_server_pass(Engine& engine, Server::Network& network) {
    feed_server_engine(engine, network);
    engine.step();
    finish_server_pass(network);
}

void feed_server_engine(Engine& engine, Server::Network& network) {
    const std::vector<SDL_Event> events = pump_sdl_events();
    stop_on_quit_events(events, server_shutdown_requested);
    const auto messages = network.pump_net_msgs();
    engine.send_sdl_events(events);
    engine.send_received_client_net_msgs(messages);
}

void finish_server_pass(const Server::Network& network) {
    SPDLOG_INFO("Connected clients: {}", network.num_clients());
    flush_log();
}
