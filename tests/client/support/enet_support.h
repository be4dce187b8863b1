#pragma once

#include <functional>
#include <vector>

#include <enet/enet.h>

#include "core/enet_conn/enet_conn.h"
#include "core/net_msg_batch/net_msg_batch.h"

namespace client_test {

// Listens on a port the system picks; returns that port, or -1.
int listen_on_free_port(EnetConn& conn);

// Calls `pump` (which should service every host involved) until `done` holds;
// false when it never did within a few seconds.
bool pump_until(const std::function<void()>& pump, const std::function<bool()>& done);

// A bare server host for talking to a client network: records its events and
// keeps received packets until it is destroyed.
struct BareServer {
    EnetConn conn;
    int port = -1;
    ENetPeer* client_peer = nullptr;
    std::vector<ENetEvent> events;

    BareServer();
    BareServer(const BareServer&) = delete;
    BareServer& operator=(const BareServer&) = delete;
    ~BareServer();

    void pump();
    // Encodes the messages as one batch and queues it for the client.
    void send(std::vector<NetMsg> messages, ENetPacketFlag flag);
    void send_bytes(const std::vector<std::uint8_t>& bytes, ENetPacketFlag flag);
    std::vector<NetMsgBatch> received_batches() const;
    std::vector<bool> received_reliability() const;
};

}  // namespace client_test
