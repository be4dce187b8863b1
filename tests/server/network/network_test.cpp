#include "server/network/network.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/net_msg_helpers/net_msg_codec.h"
#include "server/support/enet_test_client.h"
#include "support/log_capture.h"

using server_test::of_kind;
using server_test::run_until;
using server_test::TestClient;
using test_support::LogCapture;

namespace {

using Pairs = std::vector<Server::Network::ClientNetMsg>;

// A listening network and the pairs it has pumped so far.
struct ListeningServer {
    Server::Network network;
    int port = -1;
    Pairs pumped;

    bool listen() {
        for (int attempt = 0; attempt < 20 && port < 0; ++attempt) {
            const int candidate = server_test::free_udp_port();
            if (candidate > 0 && network.listen(candidate)) {
                port = candidate;
            }
        }
        return port > 0;
    }

    void pump() {
        for (auto& pair : network.pump_net_msgs()) {
            pumped.push_back(std::move(pair));
        }
    }

    template <typename Record>
    int count_pumped() const {
        int count = 0;
        for (const auto& [client_id, net_msg] : pumped) {
            count += std::holds_alternative<Record>(net_msg) ? 1 : 0;
        }
        return count;
    }
};

// Pumps the server and `clients` until `done` holds.
bool pump_until(ListeningServer& server, const std::vector<TestClient*>& clients,
                const std::function<bool()>& done) {
    return run_until(
        [&] {
            server.pump();
            for (TestClient* client : clients) {
                client->pump();
            }
        },
        done);
}

// Connects `clients` one after the other until the server has seen each.
bool connect_all(ListeningServer& server, const std::vector<TestClient*>& clients) {
    for (TestClient* client : clients) {
        const int before = server.count_pumped<NetMsgs::ClientConnected>();
        if (!client->connect(server.port) ||
            !pump_until(server, {client}, [&] {
                return client->connected &&
                       server.count_pumped<NetMsgs::ClientConnected>() == before + 1;
            })) {
            return false;
        }
    }
    return true;
}

bool disconnect(ListeningServer& server, TestClient& client) {
    const int before = server.count_pumped<NetMsgs::ClientDisconnected>();
    client.disconnect();
    return pump_until(server, {&client}, [&] {
        return server.count_pumped<NetMsgs::ClientDisconnected>() == before + 1;
    });
}

bool receive_batches(ListeningServer& server, TestClient& client, std::size_t count) {
    return pump_until(server, {&client}, [&] { return client.received.size() >= count; });
}

bool server_pumped_any(ListeningServer& server, TestClient& client) {
    return pump_until(server, {&client}, [&] { return !server.pumped.empty(); });
}

// A listening network, ready for clients.
struct ServerNetworkLive : ::testing::Test {
    ListeningServer server;

    void SetUp() override { ASSERT_TRUE(server.listen()); }
    // Connects the clients and forgets their connect pairs.
    bool join(const std::vector<TestClient*>& clients) {
        const bool joined = connect_all(server, clients);
        server.pumped.clear();
        return joined;
    }
};

ClientState client_without_peer(std::uint32_t client_id) {
    ClientState client_state;
    client_state.client_id = client_id;
    return client_state;
}

}  // namespace

TEST(ServerNetwork, QueueingForAnIdNeverIssuedQueuesNothing) {
    LogCapture log;
    Server::Network network;
    network.clients[1] = client_without_peer(1);

    network.send_client_tcp(1, NetMsgs::AssignShip{4});
    network.send_client_udp(1, NetMsgs::MountSnapshot{2, 0.5f});
    network.send_client_tcp(7, NetMsgs::AssignShip{5});
    network.send_client_udp(7, NetMsgs::AssignShip{5});

    EXPECT_EQ(network.num_clients(), 1);
    EXPECT_FALSE(network.clients.contains(7));
    EXPECT_EQ(network.clients[1].outgoing_tcp, std::vector<NetMsg>{NetMsgs::AssignShip{4}});
    EXPECT_EQ(network.clients[1].outgoing_udp,
              std::vector<NetMsg>{(NetMsgs::MountSnapshot{2, 0.5f})});
    EXPECT_EQ(log.count(spdlog::level::warn, "No client 7 to queue a message for; message dropped"),
              2);
}

TEST(ServerNetwork, SendEmptiesEveryQueueAndHandsNothingWithoutAPeerToEnet) {
    LogCapture log;
    Server::Network network;
    network.clients[1] = client_without_peer(1);
    network.clients[2] = client_without_peer(2);
    network.send_client_tcp(1, NetMsgs::AssignShip{1});
    network.send_client_udp(2, NetMsgs::AssignMount{3});

    network.send(9);

    for (const auto& [client_id, client_state] : network.clients) {
        EXPECT_TRUE(client_state.outgoing_tcp.empty());
        EXPECT_TRUE(client_state.outgoing_udp.empty());
    }
    EXPECT_EQ(log.count_containing("ENet send: begin"), 0);
}

// ENet can report the end of a peer that never got its connect handled.
TEST(ServerNetwork, ADisconnectOfAPeerWithoutAnIdRecordIsIgnored) {
    LogCapture log;
    Server::Network network;
    network.clients[1] = client_without_peer(1);
    ENetPeer peer{};
    ENetEvent event{};
    event.type = ENET_EVENT_TYPE_DISCONNECT;
    event.peer = &peer;

    EXPECT_FALSE(network.process_enet_event_disconnect(event).has_value());
    EXPECT_EQ(network.num_clients(), 1);
    EXPECT_TRUE(log.contains(spdlog::level::warn,
                             "Ignoring enet disconnect event for a peer without a client id"));
}

TEST(ServerNetwork, ListenOnATakenPortFailsWithItsOwnLine) {
    ListeningServer holder;
    ASSERT_TRUE(holder.listen());
    LogCapture log;
    Server::Network network;
    EXPECT_FALSE(network.listen(holder.port));
    EXPECT_TRUE(log.contains(spdlog::level::err, "Failed to listen for enet conn on port " +
                                                     std::to_string(holder.port) + "."));
    EXPECT_TRUE(log.contains(spdlog::level::err,
                             "UDP port " + std::to_string(holder.port) +
                                 " is already in use; stop the other server first"));
}

TEST_F(ServerNetworkLive, ClientsAreNumberedFromOneAndNeverReused) {
    LogCapture log;
    TestClient first;
    ASSERT_TRUE(connect_all(server, {&first}));

    ASSERT_EQ(server.pumped.size(), 1u);
    EXPECT_EQ(server.pumped[0].first, 1u);
    EXPECT_EQ(server.pumped[0].second, NetMsg{NetMsgs::ClientConnected{1}});
    EXPECT_EQ(server.network.clients.at(1).client_id, 1u);
    ASSERT_NE(server.network.clients.at(1).enet_peer, nullptr);
    const ENetPeer* peer = server.network.clients.at(1).enet_peer;
    EXPECT_TRUE(log.contains(spdlog::level::info,
                             "A new client connected from " + std::to_string(peer->address.host) +
                                 ":" + std::to_string(peer->address.port) + "."));

    ASSERT_TRUE(disconnect(server, first));
    ASSERT_EQ(server.pumped.size(), 2u);
    EXPECT_EQ(server.pumped[1].first, 1u);
    EXPECT_EQ(server.pumped[1].second, NetMsg{NetMsgs::ClientDisconnected{1}});
    EXPECT_EQ(server.network.num_clients(), 1);
    EXPECT_EQ(log.count_containing(" disconnected."), 1);

    TestClient second;
    ASSERT_TRUE(connect_all(server, {&second}));
    EXPECT_EQ(server.pumped.back().first, 2u);
    EXPECT_EQ(server.pumped.back().second, NetMsg{NetMsgs::ClientConnected{2}});
    EXPECT_EQ(server.network.num_clients(), 2);
}

TEST_F(ServerNetworkLive, PacketsOfOneClientArriveInOrderPairedWithItsId) {
    TestClient other;
    TestClient client;
    ASSERT_TRUE(join({&other, &client}));

    client.send({NetMsgs::ClientInput{.up = true}, NetMsgs::ClientInput{.down = true}});
    client.send({NetMsgs::ClientInput{.left = true}});
    ASSERT_TRUE(pump_until(server, {&client}, [&] { return server.pumped.size() == 3; }));

    const Pairs expected = {{2, NetMsgs::ClientInput{.up = true}},
                            {2, NetMsgs::ClientInput{.down = true}},
                            {2, NetMsgs::ClientInput{.left = true}}};
    EXPECT_EQ(server.pumped, expected);
}

TEST_F(ServerNetworkLive, LocalKindsInsideAClientsPacketAreDropped) {
    LogCapture log;
    TestClient client;
    ASSERT_TRUE(join({&client}));

    client.send({NetMsgs::ClientConnected{1}, NetMsgs::ClientInput{.fire = true},
                 NetMsgs::ClientDisconnected{1}, NetMsgs::ServerConnected{},
                 NetMsgs::ServerDisconnected{}, NetMsgs::ClientInput{.c = true}});
    ASSERT_TRUE(server_pumped_any(server, client));

    const Pairs expected = {{1, NetMsgs::ClientInput{.fire = true}},
                            {1, NetMsgs::ClientInput{.c = true}}};
    EXPECT_EQ(server.pumped, expected);
    for (const int kind : {11, 12, 13, 14}) {
        EXPECT_EQ(log.count(spdlog::level::warn, "Dropping message of local kind " +
                                                     std::to_string(kind) +
                                                     " received from client 1"),
                  1);
    }
    EXPECT_EQ(server.network.num_clients(), 1);
}

TEST_F(ServerNetworkLive, MalformedPacketsAreDroppedAndTheServerGoesOn) {
    LogCapture log;
    TestClient client;
    ASSERT_TRUE(join({&client}));

    std::vector<std::uint8_t> bad_tag =
        serialize_net_msg_batch({.tick = 1, .messages = {NetMsgs::ClientInput{.up = true}}});
    bad_tag[8] = 15;
    std::vector<std::uint8_t> cut_short =
        serialize_net_msg_batch({.tick = 1, .messages = {NetMsgs::ClientInput{.up = true}}});
    cut_short.resize(cut_short.size() - 2);
    const std::vector<std::uint8_t> huge_count = {0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff, 3};
    client.send_bytes({1, 2, 3});
    client.send_bytes(bad_tag);
    client.send_bytes(cut_short);
    client.send_bytes(huge_count);
    client.send({NetMsgs::ClientInput{.right = true}});
    ASSERT_TRUE(server_pumped_any(server, client));

    EXPECT_EQ(server.pumped, (Pairs{{1, NetMsgs::ClientInput{.right = true}}}));
    EXPECT_EQ(log.count_containing("Dropping malformed packet from client 1: "), 4);
}

TEST_F(ServerNetworkLive, SendDeliversReliableThenUnreliableStampedWithTheTick) {
    TestClient a;
    TestClient b;
    TestClient c;
    ASSERT_TRUE(connect_all(server, {&a, &b, &c}));

    // Empty queues send nothing: the first batch each client gets is the later one.
    server.network.send(3);
    server.network.send_client_udp(2, NetMsgs::MountSnapshot{5, 1.0f});
    server.network.send_client_tcp(2, NetMsgs::AssignShip{8});
    server.network.send(4);
    ASSERT_TRUE(receive_batches(server, b, 2));

    ASSERT_EQ(b.received.size(), 2u);
    EXPECT_TRUE(b.received[0].reliable);
    EXPECT_EQ(b.received[0].batch,
              (NetMsgBatch{.tick = 4, .messages = {NetMsgs::AssignShip{8}}}));
    EXPECT_FALSE(b.received[1].reliable);
    EXPECT_EQ(b.received[1].batch,
              (NetMsgBatch{.tick = 4, .messages = {NetMsgs::MountSnapshot{5, 1.0f}}}));

    server.network.send_client_tcp(1, NetMsgs::AssignMount{1});
    server.network.send_client_tcp(3, NetMsgs::AssignMount{3});
    server.network.send(5);
    ASSERT_TRUE(receive_batches(server, a, 1));
    ASSERT_TRUE(receive_batches(server, c, 1));
    EXPECT_EQ(a.received[0].batch, (NetMsgBatch{.tick = 5, .messages = {NetMsgs::AssignMount{1}}}));
    EXPECT_EQ(c.received[0].batch, (NetMsgBatch{.tick = 5, .messages = {NetMsgs::AssignMount{3}}}));
}

TEST_F(ServerNetworkLive, ADepartedClientsStreamNeverReachesTheNextClientOnItsPeer) {
    TestClient first;
    ASSERT_TRUE(connect_all(server, {&first}));
    ENetPeer* first_peer = server.network.clients.at(1).enet_peer;
    ASSERT_TRUE(disconnect(server, first));

    TestClient second;
    ASSERT_TRUE(connect_all(server, {&second}));
    ASSERT_EQ(server.network.clients.at(2).enet_peer, first_peer);  // ENet reused the slot

    server.network.send_client_tcp(1, NetMsgs::AssignShip{1});
    server.network.send_client_udp(1, NetMsgs::AssignShip{1});
    EXPECT_EQ(server.network.clients.at(1).outgoing_tcp.size(), 1u);
    server.network.send(1);
    EXPECT_TRUE(server.network.clients.at(1).outgoing_tcp.empty());
    EXPECT_TRUE(server.network.clients.at(1).outgoing_udp.empty());
    server.network.send_client_tcp(2, NetMsgs::AssignShip{2});
    server.network.send(2);
    ASSERT_TRUE(receive_batches(server, second, 1));

    // One reliable channel keeps order: had the first send reached the peer,
    // its batch would have come first.
    EXPECT_EQ(second.received[0].batch,
              (NetMsgBatch{.tick = 2, .messages = {NetMsgs::AssignShip{2}}}));
    EXPECT_EQ(server.network.num_clients(), 2);
}
