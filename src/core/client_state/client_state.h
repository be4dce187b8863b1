#pragma once

#include <cstdint>
#include <vector>

#include <enet/enet.h>

#include "core/net_msg_batch/net_msg_batch.h"

// One per client that ever connected to the server; never removed.
struct ClientState {
    std::uint32_t client_id = 0;
    ENetPeer* enet_peer = nullptr;  // borrowed from the host
    std::vector<NetMsg> outgoing_tcp;  // reliable packets
    std::vector<NetMsg> outgoing_udp;  // unreliable-fragment packets
};
