#pragma once

#include <functional>
#include <vector>

#include <enet/enet.h>

#include "core/enet_conn/enet_conn.h"

namespace enet_test {

// Listens on a free port, retrying if another process took it in between; -1 on failure.
int listen_on_free_port(EnetConn& conn);

// A listening and a connecting EnetConn on 127.0.0.1, with every event either
// of them pumped; received packets are destroyed with the pair.
struct Loopback {
    EnetConn server;
    EnetConn client;
    int port = -1;
    ENetPeer* server_seen_by_client = nullptr;
    ENetPeer* client_seen_by_server = nullptr;
    std::vector<ENetEvent> server_events;
    std::vector<ENetEvent> client_events;

    Loopback() = default;
    Loopback(const Loopback&) = delete;
    Loopback& operator=(const Loopback&) = delete;
    ~Loopback();

    // Listens, connects and waits until both sides saw their connect event.
    bool open();
    void pump_once();
    // Pumps both sides until `done` holds; false if it never did within a few seconds.
    bool pump_until(const std::function<bool()>& done);
    std::vector<ENetPacket*> packets_received_by_server() const;
    std::vector<ENetPacket*> packets_received_by_client() const;
};

}  // namespace enet_test
