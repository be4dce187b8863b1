#pragma once

#include <enet/enet.h>

// ENet for the tests: linking any of these functions into a test executable
// also initialises ENet once for it (a GoogleTest global environment).
namespace test_support {

// A UDP port that was free a moment ago (bound with port 0, then released).
int ephemeral_udp_port();

// The port a host's socket is bound to, or -1.
int bound_port(const ENetHost* host);

}  // namespace test_support
