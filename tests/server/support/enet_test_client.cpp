#include "server/support/enet_test_client.h"

#include <chrono>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>

#include "support/enet_support.h"

#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"

namespace server_test {

namespace {

constexpr auto run_deadline = std::chrono::seconds(3);
constexpr int game_port = 1234;

}  // namespace

int free_udp_port() {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int port = test_support::ephemeral_udp_port();
        if (port > 0 && port != game_port) {
            return port;
        }
    }
    return -1;
}

bool TestClient::connect(int port) {
    const auto peer = conn.connect("127.0.0.1", port);
    server = peer ? *peer : nullptr;
    return server != nullptr;
}

void TestClient::pump() {
    for (ENetEvent& event : conn.pump()) {
        if (event.type == ENET_EVENT_TYPE_CONNECT) {
            connected = true;
        } else if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
            disconnected = true;
        } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
            const bool reliable = (event.packet->flags & ENET_PACKET_FLAG_RELIABLE) != 0;
            try {
                received.push_back({reliable, deserialize_net_msg_batch(event.packet)});
            } catch (const std::system_error& error) {
                ADD_FAILURE() << "the server sent a malformed packet: " << error.what();
            }
            enet_packet_destroy(event.packet);
        }
    }
}

void TestClient::send(std::vector<NetMsg> net_msgs, ENetPacketFlag flag) {
    send_peer(server, net_msgs, flag, 0);
}

void TestClient::send_bytes(const std::vector<std::uint8_t>& bytes) {
    enet_peer_send(server, 0,
                   enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE));
}

void TestClient::disconnect() { enet_peer_disconnect(server, 0); }

std::vector<NetMsg> TestClient::messages(bool reliable) const {
    std::vector<NetMsg> net_msgs;
    for (const ReceivedBatch& received_batch : received) {
        if (received_batch.reliable == reliable) {
            net_msgs.insert(net_msgs.end(), received_batch.batch.messages.begin(),
                            received_batch.batch.messages.end());
        }
    }
    return net_msgs;
}

bool run_until(const std::function<void()>& pass, const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + run_deadline;
    while (std::chrono::steady_clock::now() < deadline) {
        pass();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return false;
}

}  // namespace server_test
