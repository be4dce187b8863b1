// The module and the network driven by a real engine, against real ENet
// clients over loopback: pump, hand the messages to the engine, step.
#include <algorithm>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/constants/constants.h"
#include "core/net_msg_helpers/net_msg_codec.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "server/support/enet_test_client.h"
#include "server/support/server_world.h"
#include "support/log_capture.h"

using server_test::of_kind;
using server_test::run_until;
using server_test::TestClient;

namespace {

struct LiveServer : ::testing::Test, server_test::ServerWorld {
    int port = -1;
    std::vector<TestClient*> clients;

    void SetUp() override {
        for (int attempt = 0; attempt < 20 && port < 0; ++attempt) {
            const int candidate = server_test::free_udp_port();
            if (candidate > 0 && network.listen(candidate)) {
                port = candidate;
            }
        }
        ASSERT_GT(port, 0);
        engine.network = &network;
    }

    // One pass of the server's main loop, then every client's.
    void pass() {
        engine.send_received_client_net_msgs(network.pump_net_msgs());
        engine.step();
        for (TestClient* client : clients) {
            client->pump();
        }
    }

    bool run_until(const std::function<bool()>& done) {
        return server_test::run_until([this] { pass(); }, done);
    }

    // Connects and waits for the client's first ship spawn.
    void join(TestClient& client) {
        clients.push_back(&client);
        ASSERT_TRUE(client.connect(port));
        ASSERT_TRUE(run_until(
            [&] { return !of_kind<NetMsgs::ShipSpawn>(client.reliable_messages()).empty(); }));
    }

    static std::uint32_t assigned_ship(const TestClient& client) {
        const auto assignments = of_kind<NetMsgs::AssignShip>(client.reliable_messages());
        return assignments.empty() ? 0 : assignments.front().ship_id;
    }

    static std::vector<NetMsgs::ShipSnapshot> snapshots_of(const TestClient& client,
                                                           std::uint32_t ship_id) {
        std::vector<NetMsgs::ShipSnapshot> snapshots;
        for (const auto& snapshot : of_kind<NetMsgs::ShipSnapshot>(client.unreliable_messages())) {
            if (snapshot.id == ship_id) {
                snapshots.push_back(snapshot);
            }
        }
        return snapshots;
    }

    static int spawns_of(const TestClient& client, std::uint32_t ship_id) {
        const auto spawns = of_kind<NetMsgs::ShipSpawn>(client.reliable_messages());
        return static_cast<int>(std::ranges::count_if(
            spawns, [ship_id](const NetMsgs::ShipSpawn& spawn) { return spawn.id == ship_id; }));
    }
};

// Whether some whole number of fixed ticks under constant acceleration `acc`
// from rest gives exactly this velocity and position, integrated as the
// server does: velocity first, then position, in single precision.
bool reachable_by_thrust(float acc, float vel, float pos) {
    const float dt = Constants::fixed_tick_interval_seconds;
    float v = 0;
    float x = 0;
    for (int tick = 0; tick < 2000 && v <= vel; ++tick) {
        v = v + acc * dt;
        x = x + v * dt;
        if (v == vel && x == pos) {
            return true;
        }
    }
    return false;
}

const NetMsg match_state_message =
    NetMsgs::CaptureTheFlagMatchState{.phase = 0, .current_round = 1};

}  // namespace

TEST_F(LiveServer, AJoiningClientLearnsItsShipBeforeTheSpawnsAndThenGetsSnapshots) {
    TestClient client;
    join(client);
    ASSERT_TRUE(run_until([&] { return snapshots_of(client, 1).size() >= 2; }));

    const std::vector<NetMsg> reliable = client.reliable_messages();
    ASSERT_GE(reliable.size(), 4u);
    EXPECT_EQ(reliable[0], NetMsg{NetMsgs::AssignShip{1}});
    EXPECT_EQ(reliable[1], NetMsg{NetMsgs::AssignMount{1}});
    ASSERT_TRUE(std::holds_alternative<NetMsgs::ShipSpawn>(reliable[2]));
    EXPECT_EQ(std::get<NetMsgs::ShipSpawn>(reliable[2]).id, 1u);
    EXPECT_EQ(std::get<NetMsgs::ShipSpawn>(reliable[2]).ship_type, ShipType::FrigateOne);
    EXPECT_EQ(reliable[3], NetMsg{(NetMsgs::MountSpawn{1, 1, 0, MountType::SmallOne})});

    // Every unreliable batch is one net send: the first holds only the match
    // state, each later one the ship, the mount, then the match state.
    std::vector<NetMsgBatch> unreliable;
    for (const server_test::ReceivedBatch& received : client.received) {
        if (!received.reliable) {
            unreliable.push_back(received.batch);
        }
    }
    ASSERT_GE(unreliable.size(), 3u);
    EXPECT_EQ(unreliable[0].messages, std::vector<NetMsg>{match_state_message});
    for (std::size_t i = 1; i < unreliable.size(); ++i) {
        const NetMsgBatch& batch = unreliable[i];
        EXPECT_GT(batch.tick, unreliable[i - 1].tick);
        ASSERT_EQ(batch.messages.size(), 3u);
        EXPECT_TRUE(std::holds_alternative<NetMsgs::ShipSnapshot>(batch.messages[0]));
        EXPECT_TRUE(std::holds_alternative<NetMsgs::MountSnapshot>(batch.messages[1]));
        EXPECT_EQ(batch.messages[2], match_state_message);
    }
    EXPECT_EQ(network.num_clients(), 1);
}

TEST_F(LiveServer, ThrustMovesTheShipAsThePhysicsSays) {
    TestClient client;
    join(client);
    client.send({NetMsgs::ClientInput{.up = true, .mouse_dir_x = 1.0f}},
                ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT);
    ASSERT_TRUE(run_until([&] {
        const auto snapshots = snapshots_of(client, 1);
        return !snapshots.empty() && snapshots.back().x > 1.0f;
    }));

    const float max_acc = config.ship_configs.at(ShipType::FrigateOne).max_acc;
    const NetMsgs::ShipSnapshot moving = snapshots_of(client, 1).back();
    EXPECT_EQ(moving.acc_x, max_acc);
    EXPECT_EQ(moving.acc_y, 0.0f);
    EXPECT_EQ(moving.y, 0.0f);
    EXPECT_EQ(moving.rot, 0.0f);
    EXPECT_TRUE(reachable_by_thrust(max_acc, moving.vel_x, moving.x))
        << "vel_x " << moving.vel_x << " x " << moving.x;
}

TEST_F(LiveServer, FiringAnnouncesProjectilesOfTheAssignedMount) {
    TestClient client;
    join(client);
    // Aimed off the nose, so the shots clear the ship's own hull.
    client.send({NetMsgs::ClientInput{.fire = true, .mouse_world_y = 500.0f}});
    ASSERT_TRUE(run_until(
        [&] { return !of_kind<NetMsgs::ProjectileSpawn>(client.reliable_messages()).empty(); }));
    EXPECT_EQ(of_kind<NetMsgs::ProjectileSpawn>(client.reliable_messages()).front().mount_id, 1u);
}

TEST_F(LiveServer, BadInputFromAClientNeverStopsTheServer) {
    test_support::LogCapture log;
    TestClient client;
    join(client);

    std::vector<std::uint8_t> bad_tag = serialize_net_msg_batch({.messages = {NetMsgs::AssignShip{1}}});
    bad_tag[8] = 200;
    client.send_bytes({0xde, 0xad});
    client.send_bytes(bad_tag);
    client.send({NetMsgs::ClientConnected{1}, NetMsgs::ClientConnected{7},
                 NetMsgs::ClientDisconnected{1}});
    client.send({NetMsgs::ClientInput{.up = true,
                                      .mouse_dir_x = std::numeric_limits<float>::quiet_NaN(),
                                      .mouse_dir_y = std::numeric_limits<float>::infinity(),
                                      .mouse_world_x = std::numeric_limits<float>::quiet_NaN()}});
    ASSERT_TRUE(run_until([&] { return module.players.at(1).input_up; }));
    ASSERT_TRUE(run_until([&] {
        const auto snapshots = snapshots_of(client, 1);
        return !snapshots.empty() && snapshots.back().x > 1.0f;
    }));

    EXPECT_EQ(log.count_containing("Dropping malformed packet from client 1"), 2);
    EXPECT_EQ(log.count_containing("Dropping message of local kind"), 3);
    EXPECT_EQ(store.ships.size(), 1u);
    EXPECT_EQ(module.players.size(), 1u);
    const NetMsgs::ShipSnapshot ship = snapshots_of(client, 1).back();
    EXPECT_EQ(ship.rot, 0.0f);
    EXPECT_EQ(ship.y, 0.0f);
    EXPECT_TRUE(std::isfinite(store.mounts.dense_list.rot[0]));
}

TEST_F(LiveServer, TwoClientsEachGetBothShips) {
    TestClient first;
    TestClient second;
    join(first);
    join(second);
    ASSERT_TRUE(run_until([&] { return spawns_of(first, 2) == 1 && !snapshots_of(second, 1).empty(); }));

    EXPECT_EQ(assigned_ship(first), 1u);
    EXPECT_EQ(assigned_ship(second), 2u);
    EXPECT_EQ(spawns_of(first, 1), 1);
    EXPECT_EQ(spawns_of(second, 1), 1);
    EXPECT_EQ(spawns_of(second, 2), 1);
}

TEST_F(LiveServer, AReconnectingClientGetsAFreshIdAndOnlyItsOwnStream) {
    TestClient first;
    join(first);
    first.send({NetMsgs::ClientInput{.up = true, .mouse_dir_x = 1.0f}});
    ASSERT_TRUE(run_until([&] { return module.players.at(1).input_up; }));
    first.disconnect();
    ASSERT_TRUE(run_until([&] { return network.clients.at(1).enet_peer == nullptr; }));
    clients.clear();

    TestClient second;
    join(second);
    ASSERT_TRUE(run_until([&] { return snapshots_of(second, 1).size() >= 3; }));

    EXPECT_EQ(network.num_clients(), 2);
    EXPECT_EQ(module.players.size(), 2u);
    EXPECT_EQ(of_kind<NetMsgs::AssignShip>(second.reliable_messages()),
              std::vector<NetMsgs::AssignShip>{NetMsgs::AssignShip{2}});
    EXPECT_EQ(spawns_of(second, 1), 1);
    EXPECT_EQ(spawns_of(second, 2), 1);
    // The departed player's ship keeps following its last input.
    const auto snapshots = snapshots_of(second, 1);
    EXPECT_GT(snapshots.back().x, snapshots.front().x);
}
