#pragma once

#include <atomic>

#include "core/config/config.h"
#include "core/engine/engine.h"
#include "server/network/network.h"

inline constexpr int server_port = 1234;

// The server loop's stop flag, set by SIGINT or an SDL quit event; nothing clears it.
extern std::atomic<bool> server_shutdown_requested;
void on_sigint_server(int signal_number);

// The headless game server: engine, network, world and game module, driven by
// one loop that never sleeps until the stop flag is set.
class ServerApp {
public:
    explicit ServerApp(Config config);
    // True when the loop has ended; false at once when listening fails.
    bool run();

    Config config;
};

// Runs passes until the stop flag is found set at the top of one.
void run_server_loop(Engine& engine, Server::Network& network);

// One pass: hand the engine its input, step it, finish the pass.
void run_server_pass(Engine& engine, Server::Network& network);

// The input of one pass: every pending SDL event (a quit event sets the stop
// flag) and every message the network received.
void feed_server_engine(Engine& engine, Server::Network& network);

// The end of one pass, whether or not the engine ticked: log the client count,
// then write out the log lines of the pass.
void finish_server_pass(const Server::Network& network);
