#include "apps/support/enet_support.h"

#include <enet/enet.h>
#include <gtest/gtest.h>

namespace apps_test {

namespace {

// ENet once for the whole apps test executable.
class EnetEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(enet_initialize(), 0); }
    void TearDown() override { enet_deinitialize(); }
};

[[maybe_unused]] ::testing::Environment* const enet_environment =
    ::testing::AddGlobalTestEnvironment(new EnetEnvironment);

}  // namespace

int listen_on_free_port(Server::Network& network) {
    ENetAddress bound{};
    if (!network.listen(0) ||
        enet_socket_get_address(network.enet_conn.enet_host->socket, &bound) != 0) {
        return -1;
    }
    return bound.port;
}

}  // namespace apps_test
