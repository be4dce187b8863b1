#include "core/enet_conn/enet_conn.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"
#include "core/enet_conn/enet_loopback.h"
#include "support/enet_support.h"
#include "support/log_capture.h"

using enet_test::Loopback;
using test_support::LogCapture;

namespace {

int count_events(const std::vector<ENetEvent>& events, ENetEventType type) {
    int count = 0;
    for (const ENetEvent& event : events) {
        count += event.type == type ? 1 : 0;
    }
    return count;
}

}  // namespace

TEST(EnetConn, PumpWithoutHostReturnsNothing) {
    EnetConn conn;
    EXPECT_TRUE(conn.pump().empty());
}

TEST(EnetConn, ListenAndConnectMeetOverLoopback) {
    LogCapture log;
    Loopback loopback;
    ASSERT_TRUE(loopback.open());
    EXPECT_EQ(count_events(loopback.server_events, ENET_EVENT_TYPE_CONNECT), 1);
    EXPECT_EQ(count_events(loopback.client_events, ENET_EVENT_TYPE_CONNECT), 1);
    EXPECT_EQ(loopback.server.enet_host->peerCount, 100u);
    EXPECT_EQ(loopback.server.enet_host->channelLimit, 2u);
    EXPECT_EQ(loopback.client.enet_host->peerCount, 1u);
    EXPECT_EQ(loopback.server_seen_by_client->channelCount, 2u);
    EXPECT_TRUE(log.contains(spdlog::level::info,
                             "Server listening on port " + std::to_string(loopback.port)));
    EXPECT_EQ(log.count(spdlog::level::info, "Enet host created successfully."), 2);
}

TEST(EnetConn, SecondListenDestroysTheFirstHost) {
    EnetConn conn;
    const int first_port = enet_test::listen_on_free_port(conn);
    ASSERT_GT(first_port, 0);
    ASSERT_GT(enet_test::listen_on_free_port(conn), 0);

    EnetConn other;
    EXPECT_TRUE(other.listen(first_port).has_value());
}

TEST(EnetConn, ListenOnATakenPortFailsAndLeavesNoHost) {
    EnetConn holder;
    const int port = enet_test::listen_on_free_port(holder);
    ASSERT_GT(port, 0);

    LogCapture log;
    EnetConn conn;
    ASSERT_TRUE(conn.listen(test_support::ephemeral_udp_port()).has_value());
    const auto result = conn.listen(port);
    ASSERT_FALSE(result.has_value());
    EXPECT_STREQ(result.error().what(), "An error occurred while trying to create an ENet host.");
    EXPECT_TRUE(log.contains(spdlog::level::err,
                             "An error occurred while trying to create an ENet host."));
    EXPECT_EQ(conn.enet_host, nullptr);
    EXPECT_TRUE(conn.pump().empty());

    EXPECT_TRUE(udp_port_in_use(port));
    // The probe lets go of what it binds: a free port stays free for the host.
    const int free_port = test_support::ephemeral_udp_port();
    EXPECT_FALSE(udp_port_in_use(free_port));
    EXPECT_TRUE(conn.listen(free_port).has_value());
}

TEST(EnetConn, DisconnectDropsTheHostOnce) {
    EnetConn conn;
    ASSERT_GT(enet_test::listen_on_free_port(conn), 0);
    LogCapture log;
    EXPECT_TRUE(conn.disconnect());
    EXPECT_EQ(conn.enet_host, nullptr);
    EXPECT_FALSE(conn.disconnect());
    EXPECT_EQ(log.count(spdlog::level::warn, "disconnect called but enet_host is NULL"), 1);
}

TEST(EnetConn, ConnectToASilentEndpointStillGivesAPeer) {
    EnetConn conn;
    const auto peer = conn.connect("127.0.0.1", test_support::ephemeral_udp_port());
    ASSERT_TRUE(peer.has_value());
    EXPECT_NE(*peer, nullptr);
    for (int round = 0; round < 20; ++round) {
        for (const ENetEvent& event : conn.pump()) {
            EXPECT_NE(event.type, ENET_EVENT_TYPE_CONNECT);
        }
    }
}

TEST(EnetConn, AFailingServiceEndsThePumpWithOneEmptyEvent) {
    EnetConn conn;
    ASSERT_GT(enet_test::listen_on_free_port(conn), 0);
    // Receiving now fails on every call; the host's own teardown skips the null socket.
    enet_socket_destroy(conn.enet_host->socket);
    conn.enet_host->socket = ENET_SOCKET_NULL;

    const std::vector<ENetEvent> events = conn.pump();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, ENET_EVENT_TYPE_NONE);
    EXPECT_EQ(conn.pump().size(), 1u);
}

TEST(EnetConn, BatchesTravelBetweenTwoConns) {
    Loopback loopback;
    ASSERT_TRUE(loopback.open());

    std::vector<NetMsg> to_server = {
        NetMsgs::ClientInput{.up = true, .fire = true, .mouse_dir_x = 1.0f, .mouse_world_y = -3.5f},
        NetMsgs::ClientConnected{.client_id = 9},
    };
    send_peer(loopback.server_seen_by_client, to_server, ENET_PACKET_FLAG_RELIABLE, 41);
    std::vector<NetMsg> to_client(30, NetMsg{NetMsgs::ShipSnapshot{.id = 3, .x = 2.0f, .rot = 1.0f}});
    send_peer(loopback.client_seen_by_server, to_client, ENET_PACKET_FLAG_RELIABLE, 77);

    ASSERT_TRUE(loopback.pump_until([&] {
        return loopback.packets_received_by_server().size() == 1 &&
               loopback.packets_received_by_client().size() == 2;
    }));

    const NetMsgBatch at_server = deserialize_net_msg_batch(loopback.packets_received_by_server()[0]);
    EXPECT_EQ(at_server, (NetMsgBatch{.tick = 41, .messages = to_server}));

    const std::vector<ENetPacket*> at_client = loopback.packets_received_by_client();
    EXPECT_EQ(at_client[0]->dataLength, 965u);
    EXPECT_EQ(at_client[1]->dataLength, 8u + 33u);
    const NetMsgBatch first = deserialize_net_msg_batch(at_client[0]);
    const NetMsgBatch second = deserialize_net_msg_batch(at_client[1]);
    EXPECT_EQ(first.tick, 77u);
    EXPECT_EQ(second.tick, 77u);
    EXPECT_EQ(first.messages.size(), 29u);
    EXPECT_EQ(second.messages, std::vector<NetMsg>(to_client.begin() + 29, to_client.end()));
}

TEST(EnetConn, ASendToAPeerNotYetConnectedIsRefusedAndDropped) {
    EnetConn conn;
    const auto peer = conn.connect("127.0.0.1", test_support::ephemeral_udp_port());
    ASSERT_TRUE(peer.has_value());
    LogCapture log;
    std::vector<NetMsg> messages = {NetMsgs::AssignShip{.ship_id = 1}};
    send_peer(*peer, messages, ENET_PACKET_FLAG_RELIABLE, 1);
    EXPECT_TRUE(log.contains("ENet send: enet_peer_send returned -1"));
    EXPECT_EQ(log.count_containing("ENet send: complete peer="), 1);
}
