#pragma once

#include "core/config/config.h"

// Stand-in until the playing client lands: it only says that it is missing.
class ClientApp {
public:
    explicit ClientApp(Config config);
    void run();

    Config config;
};
