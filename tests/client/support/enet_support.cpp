#include "client/support/enet_support.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "support/enet_support.h"

#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"

namespace client_test {

int listen_on_free_port(EnetConn& conn) {
    return conn.listen(0) ? test_support::bound_port(conn.enet_host.get()) : -1;
}

bool pump_until(const std::function<void()>& pump, const std::function<bool()>& done) {
    for (int round = 0; round < 5000; ++round) {
        pump();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

BareServer::BareServer() { port = listen_on_free_port(conn); }

BareServer::~BareServer() {
    for (const ENetEvent& event : events) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            enet_packet_destroy(event.packet);
        }
    }
}

void BareServer::pump() {
    for (const ENetEvent& event : conn.pump()) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            client_peer = event.peer;
        }
        events.push_back(event);
    }
}

void BareServer::send(std::vector<NetMsg> messages, ENetPacketFlag flag) {
    send_enet_peer_net_batch_message(client_peer, NetMsgBatch{.tick = 1, .messages = messages},
                                     flag);
}

void BareServer::send_bytes(const std::vector<std::uint8_t>& bytes, ENetPacketFlag flag) {
    enet_peer_send(client_peer, 0, enet_packet_create(bytes.data(), bytes.size(), flag));
}

std::vector<NetMsgBatch> BareServer::received_batches() const {
    std::vector<NetMsgBatch> batches;
    for (const ENetEvent& event : events) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            batches.push_back(deserialize_net_msg_batch(event.packet));
        }
    }
    return batches;
}

std::vector<bool> BareServer::received_reliability() const {
    std::vector<bool> reliable;
    for (const ENetEvent& event : events) {
        if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            reliable.push_back((event.packet->flags & ENET_PACKET_FLAG_RELIABLE) != 0);
        }
    }
    return reliable;
}

}  // namespace client_test
