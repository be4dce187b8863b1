#include "client/network/network.h"

#include <gtest/gtest.h>

#include "client/support/enet_support.h"
#include "support/log_capture.h"

namespace {

using client_test::BareServer;
using client_test::pump_until;

// A client network connected to a bare server on a free port.
class ConnectedClient : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server.port, 0);
        ASSERT_TRUE(network.connect("127.0.0.1", server.port));
        ASSERT_TRUE(pump_until([this] { pump_both(); }, [this] {
            return server.client_peer != nullptr && has_server_connected();
        }));
        received.clear();
    }

    void pump_both() {
        server.pump();
        for (NetMsg& message : network.pump_net_msgs()) {
            received.push_back(std::move(message));
        }
    }

    bool has_server_connected() const {
        for (const NetMsg& message : received) {
            if (std::holds_alternative<NetMsgs::ServerConnected>(message)) {
                return true;
            }
        }
        return false;
    }

    BareServer server;
    Client::Network network;
    std::vector<NetMsg> received;
};

TEST(ClientNetwork, PumpWithoutHostReturnsNothingAndLogsZero) {
    test_support::LogCapture log;
    Client::Network network;
    EXPECT_TRUE(network.pump_net_msgs().empty());
    EXPECT_EQ(log.count("ENet pump: 0 events"), 1);
}

TEST(ClientNetwork, ConnectLogsThePeerAndTheHandshakeBecomesServerConnected) {
    test_support::LogCapture log;
    BareServer server;
    Client::Network network;
    ASSERT_TRUE(network.connect("127.0.0.1", server.port));
    EXPECT_NE(network.server_enet_peer, nullptr);
    EXPECT_EQ(log.count_containing("ENet peer created: "), 1);

    std::vector<NetMsg> received;
    ASSERT_TRUE(pump_until(
        [&] {
            server.pump();
            for (NetMsg& message : network.pump_net_msgs()) {
                received.push_back(message);
            }
        },
        [&] { return !received.empty(); }));
    ASSERT_EQ(received.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<NetMsgs::ServerConnected>(received[0]));
    EXPECT_GE(log.count_containing("ENet event: type=1, peer="), 1);
}

TEST_F(ConnectedClient, OnePacketGivesItsMessagesInBatchOrder) {
    const std::vector<NetMsg> sent = {
        NetMsgs::AssignShip{.ship_id = 7},
        NetMsgs::ShipSpawn{.id = 7, .ship_type = ShipType::FrigateTwo, .x = 1, .y = 2},
        NetMsgs::MountSpawn{.id = 8, .ship_id = 7, .ship_mount_index = 0},
        NetMsgs::CaptureTheFlagMatchState{.current_round = 1},
    };
    server.send(sent, ENET_PACKET_FLAG_RELIABLE);
    ASSERT_TRUE(pump_until([this] { pump_both(); }, [this] { return received.size() >= 4; }));
    EXPECT_EQ(received, sent);
}

TEST_F(ConnectedClient, TwoPacketsInOnePumpKeepTheirArrivalOrder) {
    server.send({NetMsgs::AssignShip{.ship_id = 1}}, ENET_PACKET_FLAG_RELIABLE);
    server.send({NetMsgs::MountSnapshot{.id = 2, .rot = 0.5f}},
                ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT);
    ASSERT_TRUE(pump_until([this] { pump_both(); }, [this] { return received.size() >= 2; }));
    const std::vector<NetMsg> expected = {NetMsgs::AssignShip{.ship_id = 1},
                                          NetMsgs::MountSnapshot{.id = 2, .rot = 0.5f}};
    EXPECT_EQ(received, expected);
}

// One bad packet from the wire is dropped; the client goes on and later packets still arrive.
TEST_F(ConnectedClient, PacketThatDoesNotDecodeIsDroppedWithAWarning) {
    test_support::LogCapture log;
    const std::vector<std::uint8_t> bad_tag = {1, 0, 0, 0, 1, 0, 0, 0, 15};
    const std::vector<std::uint8_t> too_short = {1, 0, 0, 0, 2, 0, 0, 0, 13};
    server.send_bytes(bad_tag, ENET_PACKET_FLAG_RELIABLE);
    server.send_bytes(too_short, ENET_PACKET_FLAG_RELIABLE);
    server.send({NetMsgs::AssignMount{.mount_id = 3}}, ENET_PACKET_FLAG_RELIABLE);
    ASSERT_TRUE(pump_until([this] { pump_both(); }, [this] { return !received.empty(); }));
    const std::vector<NetMsg> expected = {NetMsgs::AssignMount{.mount_id = 3}};
    EXPECT_EQ(received, expected);
    EXPECT_EQ(log.count_containing("Dropping a packet that does not decode: "), 2);
}

TEST_F(ConnectedClient, SendPutsTheReliableQueueBeforeTheUnreliableAndEmptiesBoth) {
    network.send_client_udp(NetMsgs::ClientInput{.up = true});
    network.send_client_tcp(NetMsgs::AssignShip{.ship_id = 4});
    network.send(42);
    EXPECT_TRUE(network.outgoing_tcp.empty());
    EXPECT_TRUE(network.outgoing_udp.empty());
    ASSERT_TRUE(pump_until([this] { pump_both(); },
                           [this] { return server.received_batches().size() >= 2; }));
    const auto batches = server.received_batches();
    EXPECT_EQ(batches[0], (NetMsgBatch{42, {NetMsgs::AssignShip{.ship_id = 4}}}));
    EXPECT_EQ(batches[1], (NetMsgBatch{42, {NetMsgs::ClientInput{.up = true}}}));
    EXPECT_EQ(server.received_reliability(), (std::vector<bool>{true, false}));
}

TEST_F(ConnectedClient, SendWithEmptyQueuesSendsNothingButLogsItsLines) {
    test_support::LogCapture log;
    network.send(3);
    EXPECT_EQ(log.count_containing("Network send begin: peer="), 1);
    EXPECT_EQ(log.count_containing(", state=5, tcp=0, udp=0, tick=3"), 1);
    EXPECT_EQ(log.count("Network send end"), 1);
    EXPECT_EQ(log.count_containing("ENet send: begin peer="), 2);
    EXPECT_EQ(log.count_containing("ENet send: complete peer="), 2);
    EXPECT_EQ(log.count_containing("ENet send: serialize begin"), 0);
}

TEST_F(ConnectedClient, ServerGoingAwayBecomesServerDisconnected) {
    enet_peer_disconnect(server.client_peer, 0);
    ASSERT_TRUE(pump_until([this] { pump_both(); }, [this] { return !received.empty(); }));
    EXPECT_TRUE(std::holds_alternative<NetMsgs::ServerDisconnected>(received.at(0)));
}

TEST(ClientNetwork, InputQueuedWhileConnectingNeverReachesTheServer) {
    BareServer server;
    Client::Network network;
    ASSERT_TRUE(network.connect("127.0.0.1", server.port));
    network.send_client_udp(NetMsgs::ClientInput{.fire = true});
    network.send(1);
    EXPECT_TRUE(network.outgoing_udp.empty());

    int connects_seen = 0;
    ASSERT_TRUE(pump_until(
        [&] {
            server.pump();
            connects_seen += static_cast<int>(network.pump_net_msgs().size());
        },
        [&] { return connects_seen > 0 && server.client_peer != nullptr; }));
    for (int round = 0; round < 20; ++round) {
        server.pump();
        network.pump_net_msgs();
    }
    EXPECT_TRUE(server.received_batches().empty());
}

TEST(ClientNetwork, SendWithoutPeerDropsTheQueuesAndLogsStateMinusOne) {
    test_support::LogCapture log;
    Client::Network network;
    network.send_client_udp(NetMsgs::ClientInput{});
    network.send(0);
    EXPECT_TRUE(network.outgoing_udp.empty());
    EXPECT_EQ(log.count_containing("state=-1, tcp=0, udp=1, tick=0"), 1);
}

}  // namespace
