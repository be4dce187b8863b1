#pragma once

#include <atomic>

#include "core/config/config.h"

// The combined loop's stop flag, set by SIGINT or an SDL quit event; nothing clears it.
extern std::atomic<bool> client_server_shutdown_requested;
void on_sigint_client_server(int signal_number);

// A game client and a game server side by side in one process and one loop.
// The client reaches the server side only through ENet, at the default
// server address.
class ClientServerApp {
public:
    explicit ClientServerApp(Config config);
    // Listens and connects on the game's port, 1234. True when the loop has
    // ended; false at once after a set-up failure.
    bool run();
    // The same on another port, for tests that cannot count on 1234 being free.
    bool run(int port);

    Config config;
};
