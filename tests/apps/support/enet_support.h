#pragma once

#include "server/network/network.h"

namespace apps_test {

// Listens on a port the system picks; returns that port, or -1.
int listen_on_free_port(Server::Network& network);

}  // namespace apps_test
