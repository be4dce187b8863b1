#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include <enet/enet.h>

#include "bot_client.h"
#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"
#include "support/enet_support.h"

namespace {

// A server end on a free loopback port, holding the bot's peer once it connects.
struct FakeServer {
    EnetConn conn;
    int port = -1;
    ENetPeer* bot_peer = nullptr;
    std::vector<NetMsgBatch> received;

    // On a port the system picks.
    bool listen() {
        if (!conn.listen(0)) {
            return false;
        }
        port = test_support::bound_port(conn.enet_host.get());
        return port > 0;
    }

    void pump() {
        for (const ENetEvent& event : conn.pump()) {
            if (event.type == ENET_EVENT_TYPE_CONNECT) {
                bot_peer = event.peer;
            } else if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                received.push_back(deserialize_net_msg_batch(event.packet));
                enet_packet_destroy(event.packet);
            }
        }
    }
};

bool pump_until(FakeServer& server, BotClient& bot, const std::function<bool()>& done) {
    for (int round = 0; round < 5000; ++round) {
        server.pump();
        pump_bot(bot, BotClock::now());
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

class BotClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen());
        ASSERT_TRUE(start_bot(bot, "127.0.0.1", server.port));
        ASSERT_TRUE(pump_until(server, bot, [this] { return bot.connected && server.bot_peer; }));
    }

    FakeServer server;
    BotClient bot;
};

TEST_F(BotClientTest, CountsReliableAndUnreliableMessagesApartAndFollowsItsShip) {
    std::array<NetMsg, 2> reliable{NetMsgs::AssignShip{7}, NetMsgs::AssignMount{8}};
    std::array<NetMsg, 3> unreliable{NetMsgs::ShipSnapshot{3, 1.0f, 1.0f},
                                     NetMsgs::ShipSnapshot{7, 5.0f, -2.0f},
                                     NetMsgs::CaptureTheFlagMatchState{}};
    send_peer(server.bot_peer, reliable, ENET_PACKET_FLAG_RELIABLE, 41);
    send_peer(server.bot_peer, unreliable, ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT, 42);

    ASSERT_TRUE(pump_until(server, bot, [this] { return bot.traffic.packets == 2; }));
    EXPECT_EQ(bot.traffic.reliable_messages, 2);
    EXPECT_EQ(bot.traffic.unreliable_messages, 3);
    EXPECT_EQ(bot.traffic.match_states, 1);
    EXPECT_EQ(bot.traffic.payload_bytes, (8 + 2 * 5) + (8 + 2 * 33 + 29));
    EXPECT_EQ(bot.ship_id, 7u);
    EXPECT_EQ(bot.ship_x, 5.0f);
    EXPECT_EQ(bot.ship_y, -2.0f);
    ASSERT_TRUE(bot.traffic.last_tick.has_value());
    EXPECT_EQ(bot.traffic.last_tick->tick, 42u);
}

TEST_F(BotClientTest, SendsOneClientInputPerCallWithItsOwnCount) {
    send_bot_input(bot, 0.0);
    send_bot_input(bot, 0.05);
    ASSERT_TRUE(pump_until(server, bot, [this] { return server.received.size() == 2; }));
    for (std::uint32_t tick = 0; tick < 2; ++tick) {
        EXPECT_EQ(server.received[tick].tick, tick);
        ASSERT_EQ(server.received[tick].messages.size(), 1u);
        EXPECT_TRUE(std::holds_alternative<NetMsgs::ClientInput>(server.received[tick].messages[0]));
    }
}

}  // namespace
