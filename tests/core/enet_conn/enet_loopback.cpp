#include "core/enet_conn/enet_loopback.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "support/enet_support.h"

namespace enet_test {

namespace {

bool has_event(const std::vector<ENetEvent>& events, ENetEventType type) {
    for (const ENetEvent& event : events) {
        if (event.type == type) {
            return true;
        }
    }
    return false;
}

ENetPeer* peer_of_first(const std::vector<ENetEvent>& events, ENetEventType type) {
    for (const ENetEvent& event : events) {
        if (event.type == type) {
            return event.peer;
        }
    }
    return nullptr;
}

std::vector<ENetPacket*> received_packets(const std::vector<ENetEvent>& events) {
    std::vector<ENetPacket*> packets;
    for (const ENetEvent& event : events) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            packets.push_back(event.packet);
        }
    }
    return packets;
}

}  // namespace

int listen_on_free_port(EnetConn& conn) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int port = test_support::ephemeral_udp_port();
        if (port > 0 && conn.listen(port)) {
            return port;
        }
    }
    return -1;
}

Loopback::~Loopback() {
    for (ENetPacket* packet : received_packets(server_events)) {
        enet_packet_destroy(packet);
    }
    for (ENetPacket* packet : received_packets(client_events)) {
        enet_packet_destroy(packet);
    }
}

bool Loopback::open() {
    port = listen_on_free_port(server);
    if (port < 0) {
        return false;
    }
    const auto peer = client.connect("127.0.0.1", port);
    if (!peer) {
        return false;
    }
    const bool connected = pump_until([this] {
        return has_event(server_events, ENET_EVENT_TYPE_CONNECT) &&
               has_event(client_events, ENET_EVENT_TYPE_CONNECT);
    });
    server_seen_by_client = peer_of_first(client_events, ENET_EVENT_TYPE_CONNECT);
    client_seen_by_server = peer_of_first(server_events, ENET_EVENT_TYPE_CONNECT);
    return connected && server_seen_by_client == *peer;
}

void Loopback::pump_once() {
    for (const ENetEvent& event : server.pump()) {
        server_events.push_back(event);
    }
    for (const ENetEvent& event : client.pump()) {
        client_events.push_back(event);
    }
}

bool Loopback::pump_until(const std::function<bool()>& done) {
    for (int round = 0; round < 5000; ++round) {
        pump_once();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

std::vector<ENetPacket*> Loopback::packets_received_by_server() const {
    return received_packets(server_events);
}

std::vector<ENetPacket*> Loopback::packets_received_by_client() const {
    return received_packets(client_events);
}

}  // namespace enet_test
