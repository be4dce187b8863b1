#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <enet/enet.h>

#include "core/enet_conn/enet_conn.h"
#include "core/net_msg_batch/net_msg_batch.h"

namespace server_test {

// A UDP port that was free a moment ago, never the game's own 1234.
int free_udp_port();

// One batch as a test client received it, and on which stream.
struct ReceivedBatch {
    bool reliable = false;
    NetMsgBatch batch;
};

// A real ENet client on 127.0.0.1 that speaks the batch format.
class TestClient {
public:
    TestClient() = default;
    TestClient(const TestClient&) = delete;
    TestClient& operator=(const TestClient&) = delete;

    bool connect(int port);
    // Services the host once; decodes and destroys every received packet.
    void pump();
    void send(std::vector<NetMsg> net_msgs, ENetPacketFlag flag = ENET_PACKET_FLAG_RELIABLE);
    void send_bytes(const std::vector<std::uint8_t>& bytes);
    void disconnect();

    std::vector<NetMsg> messages(bool reliable) const;
    std::vector<NetMsg> reliable_messages() const { return messages(true); }
    std::vector<NetMsg> unreliable_messages() const { return messages(false); }

    EnetConn conn;
    ENetPeer* server = nullptr;
    bool connected = false;
    bool disconnected = false;
    std::vector<ReceivedBatch> received;
};

// Runs `pass` (one round of pumping everything involved) until `done` holds;
// false when it never did within a couple of seconds.
bool run_until(const std::function<void()>& pass, const std::function<bool()>& done);

template <typename Record>
std::vector<Record> of_kind(const std::vector<NetMsg>& net_msgs) {
    std::vector<Record> records;
    for (const NetMsg& net_msg : net_msgs) {
        if (const Record* record = std::get_if<Record>(&net_msg)) {
            records.push_back(*record);
        }
    }
    return records;
}

}  // namespace server_test
