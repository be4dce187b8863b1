#pragma once

#include "core/config/config.h"
#include "core/engine/engine.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "server/network/network.h"
#include "server/support/game_config.h"

namespace server_test {

// What the server application builds, in its order: the module registers
// with the engine and borrows the rest.
struct ServerWorld {
    Config config = game_config();
    Engine engine{config};
    Server::Network network;
    Store store;
    Server::CaptureTheFlagModule module{&config, &engine, &network, &store};
};

}  // namespace server_test
