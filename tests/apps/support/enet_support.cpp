#include "apps/support/enet_support.h"

#include "support/enet_support.h"

namespace apps_test {

int listen_on_free_port(Server::Network& network) {
    return network.listen(0) ? test_support::bound_port(network.enet_conn.enet_host.get()) : -1;
}

}  // namespace apps_test
