#include "support/enet_support.h"

#include <gtest/gtest.h>

namespace test_support {

namespace {

class EnetEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_EQ(enet_initialize(), 0); }
    void TearDown() override { enet_deinitialize(); }
};

[[maybe_unused]] ::testing::Environment* const enet_environment =
    ::testing::AddGlobalTestEnvironment(new EnetEnvironment);

}  // namespace

int ephemeral_udp_port() {
    ENetSocket socket = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
    ENetAddress address{};
    address.host = ENET_HOST_ANY;
    address.port = 0;
    int port = -1;
    if (enet_socket_bind(socket, &address) == 0 && enet_socket_get_address(socket, &address) == 0) {
        port = address.port;
    }
    enet_socket_destroy(socket);
    return port;
}

int bound_port(const ENetHost* host) {
    ENetAddress bound{};
    if (host == nullptr || enet_socket_get_address(host->socket, &bound) != 0) {
        return -1;
    }
    return bound.port;
}

}  // namespace test_support
