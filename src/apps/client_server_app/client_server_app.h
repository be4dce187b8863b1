#pragma once

#include "core/config/config.h"

// Stand-in until the client and server run side by side: it only says that it is missing.
class ClientServerApp {
public:
    explicit ClientServerApp(Config config);
    void run();

    Config config;
};
