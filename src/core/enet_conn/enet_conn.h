#pragma once

#include <expected>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include <enet/enet.h>

using ENetHostPtr = std::unique_ptr<ENetHost, decltype(&enet_host_destroy)>;

class EnetConnError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EnetConnHostInitError : public EnetConnError {
public:
    using EnetConnError::EnetConnError;
};

// Owns one ENet host; each listen or connect replaces (and destroys) the host
// held before, with all of its peers.
class EnetConn {
public:
    // Any local address, the given port, 100 peers, 2 channels, no bandwidth limits.
    std::expected<void, EnetConnError> listen(int port);
    // A one-peer client host and a connection attempt under way; the handshake's
    // outcome arrives later through pump. An unresolvable endpoint is not reported.
    std::expected<ENetPeer*, EnetConnError> connect(std::string_view endpoint, int port);
    bool disconnect();
    // Every pending event, without blocking. A receive event's packet is the caller's to destroy.
    std::vector<ENetEvent> pump();

    ENetHostPtr enet_host{nullptr, &enet_host_destroy};
};

// Whether a UDP socket on any local address is refused `port` because another
// socket holds it. ENet does not say why a listening host could not be made,
// so this asks the system again with a bind of its own, released at once.
bool udp_port_in_use(int port);
