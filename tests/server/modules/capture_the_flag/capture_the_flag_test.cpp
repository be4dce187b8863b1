#include "server/modules/capture_the_flag/capture_the_flag.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include <gtest/gtest.h>

#include "core/constants/constants.h"
#include "server/support/enet_test_client.h"
#include "server/support/server_world.h"
#include "support/log_capture.h"

using server_test::of_kind;
using test_support::LogCapture;

namespace {

// The module against a network that never listened: its clients have no
// peer, so the queues can be read directly and nothing reaches ENet.
struct CaptureTheFlag : ::testing::Test, server_test::ServerWorld {

    void connect(std::uint32_t client_id) {
        network.clients[client_id].client_id = client_id;
        receive(client_id, NetMsgs::ClientConnected{client_id});
    }
    void receive(std::uint32_t client_id, NetMsg net_msg) {
        module.receive_net_msg(client_id, net_msg);
    }
    std::vector<NetMsg>& tcp(std::uint32_t client_id) {
        return network.clients.at(client_id).outgoing_tcp;
    }
    std::vector<NetMsg>& udp(std::uint32_t client_id) {
        return network.clients.at(client_id).outgoing_udp;
    }
    void clear_queues() { network.send(0); }
    Server::PlayerState& player(std::uint32_t client_id) { return module.players.at(client_id); }
    std::uint32_t ship_row(std::uint32_t client_id) { return player(client_id).ship_key->index; }
    // A projectile as firing makes it, without flying it.
    std::uint32_t add_projectile(std::uint32_t mount_id) {
        const DenseListKey key = store.projectiles.push_back(-1);
        store.projectiles.dense_list.mount_key[key.index] = *store.mounts.make_key_for_id(mount_id);
        return key.id;
    }
};

const NetMsg match_state_message = NetMsgs::CaptureTheFlagMatchState{
    .phase = 0, .current_round = 1, .red_score = 0, .blue_score = 0, .flag_carrier_ship_id = 0,
    .flag_position_x = 0, .flag_position_y = 0};

}  // namespace

TEST_F(CaptureTheFlag, AJoiningClientGetsAFrigateAndItsAssignments) {
    connect(1);

    ASSERT_TRUE(module.players.contains(1));
    EXPECT_EQ(player(1).client_id, 1u);
    EXPECT_EQ(player(1).ship_key, (DenseListKey{1, 0, 1}));
    EXPECT_EQ(player(1).mount_keys, std::vector<DenseListKey>{(DenseListKey{1, 0, 1})});
    EXPECT_EQ(store.ships.dense_list.type[0], ShipType::FrigateOne);
    EXPECT_EQ(store.ships.dense_list.x[0], 0.0f);
    EXPECT_EQ(store.ships.dense_list.y[0], 0.0f);
    EXPECT_EQ(tcp(1), (std::vector<NetMsg>{NetMsgs::AssignShip{1}, NetMsgs::AssignMount{1}}));
    EXPECT_TRUE(udp(1).empty());
}

TEST_F(CaptureTheFlag, TheDeliveredIdCountsNotTheOneInTheMessage) {
    network.clients[3].client_id = 3;
    receive(3, NetMsgs::ClientConnected{42});
    EXPECT_TRUE(module.players.contains(3));
    EXPECT_FALSE(module.players.contains(42));
}

TEST_F(CaptureTheFlag, ASecondConnectKeepsTheRecordAndLeavesTheFirstShip) {
    connect(1);
    receive(1, NetMsgs::ClientInput{.up = true});
    module.collect_outgoing_net_messages();
    clear_queues();

    receive(1, NetMsgs::ClientConnected{1});

    EXPECT_TRUE(player(1).input_up);
    EXPECT_EQ(player(1).known_ship_ids, (std::unordered_set<std::uint32_t>{1}));
    EXPECT_EQ(player(1).ship_key->id, 2u);
    EXPECT_EQ(player(1).mount_keys[0].id, 2u);
    EXPECT_EQ(store.ships.size(), 2u);
    EXPECT_EQ(store.mounts.size(), 2u);
    EXPECT_EQ(tcp(1), (std::vector<NetMsg>{NetMsgs::AssignShip{2}, NetMsgs::AssignMount{2}}));
}

TEST_F(CaptureTheFlag, TheLastInputOfAStepCountsAndNonFiniteValuesBecomeZero) {
    connect(1);
    receive(1, NetMsgs::ClientInput{.up = true, .mouse_dir_x = 2.0f});
    receive(1, NetMsgs::ClientInput{.left = true,
                                    .mouse_dir_x = std::numeric_limits<float>::quiet_NaN(),
                                    .mouse_dir_y = std::numeric_limits<float>::infinity(),
                                    .mouse_world_x = -std::numeric_limits<float>::infinity(),
                                    .mouse_world_y = 3.0f});
    EXPECT_FALSE(player(1).input_up);
    EXPECT_TRUE(player(1).input_left);
    EXPECT_EQ(player(1).input_mouse_dir_x, 0.0f);
    EXPECT_EQ(player(1).input_mouse_dir_y, 0.0f);
    EXPECT_EQ(player(1).input_mouse_world_x, 0.0f);
    EXPECT_EQ(player(1).input_mouse_world_y, 3.0f);

    for (int tick = 0; tick < 10; ++tick) {
        module.fixed_tick();
    }
    const Ships& ships = store.ships.dense_list;
    for (const float value : {ships.x[0], ships.y[0], ships.rot[0], ships.vel_x[0],
                              ships.target_rot[0], store.mounts.dense_list.rot[0]}) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

TEST_F(CaptureTheFlag, AnInputWithoutAPlayerIsDropped) {
    LogCapture log;
    receive(5, NetMsgs::ClientInput{.fire = true});
    EXPECT_TRUE(module.players.empty());
    EXPECT_TRUE(log.contains(spdlog::level::warn, "Dropping input from client 5 without a player record"));
}

TEST_F(CaptureTheFlag, ServerKindsFromAClientAndDisconnectsChangeNothing) {
    connect(1);
    receive(1, NetMsgs::ClientInput{.up = true, .fire = true});
    clear_queues();
    const std::vector<NetMsg> ignored = {
        NetMsgs::ShipSnapshot{1, 5.0f}, NetMsgs::ShipSpawn{9}, NetMsgs::ShipDespawn{1},
        NetMsgs::MountSpawn{9, 1}, NetMsgs::MountSnapshot{1, 2.0f}, NetMsgs::MountDespawn{1},
        NetMsgs::ProjectileSpawn{1}, NetMsgs::AssignShip{9}, NetMsgs::AssignMount{9},
        NetMsgs::CaptureTheFlagMatchState{.red_score = 5}, NetMsgs::ClientDisconnected{1},
        NetMsgs::ServerConnected{}, NetMsgs::ServerDisconnected{}};
    for (const NetMsg& net_msg : ignored) {
        receive(1, net_msg);
    }

    EXPECT_EQ(module.players.size(), 1u);
    EXPECT_TRUE(player(1).input_up);
    EXPECT_EQ(store.ships.size(), 1u);
    EXPECT_EQ(store.ships.dense_list.x[0], 0.0f);
    EXPECT_TRUE(tcp(1).empty());
    EXPECT_EQ(module.match_state.red_score, 0);

    // The last input goes on acting after the disconnect.
    module.fixed_tick();
    EXPECT_GT(store.ships.dense_list.vel_x[0], 0.0f);
    EXPECT_GT(store.projectiles.size(), 0u);
}

// One player thrusting, turning toward the mouse and firing, over three fixed
// ticks. Every value below holds only with the tick's order: steering first;
// turn acceleration, then turn rate, then rotation; velocity, then position;
// mounts placed on the moved ship, then turned, then fired after the cooldown
// ran down; a new shot first flies on the next tick.
TEST_F(CaptureTheFlag, AFixedTickSteersMovesPlacesTurnsAndFiresInThatOrder) {
    connect(1);
    const float dt = Constants::fixed_tick_interval_seconds;
    Ships& ships = store.ships.dense_list;
    Mounts& mounts = store.mounts.dense_list;
    const Projectiles& shots = store.projectiles.dense_list;
    ships.max_ang_acc[0] = 12.0f;
    ships.max_ang_vel[0] = 4.5f;
    ships.max_acc[0] = 520.0f;
    mounts.local_x[0] = 10.0f;
    mounts.local_y[0] = 0.0f;
    mounts.cooldown_max[0] = 2 * dt;
    config.projectile_configs[mounts.projectile_type[0]].speed = 600.0f;
    // Heading toward +y; the mount, still at the origin, aims along +x.
    receive(1, NetMsgs::ClientInput{.up = true, .fire = true, .mouse_dir_y = 1.0f,
                                    .mouse_world_x = 1000.0f});

    module.fixed_tick();

    EXPECT_EQ(ships.target_rot[0], std::numbers::pi_v<float> / 2);
    EXPECT_EQ(ships.acc_x[0], 520.0f);  // along the heading the ship had
    EXPECT_EQ(ships.acc_y[0], 0.0f);
    const float ang_vel = 12.0f * dt;
    const float rot = ang_vel * dt;
    EXPECT_EQ(ships.ang_acc[0], 12.0f);
    EXPECT_EQ(ships.ang_vel[0], ang_vel);
    EXPECT_EQ(ships.rot[0], rot);
    const float vel_x = 520.0f * dt;
    const float x = vel_x * dt;
    EXPECT_EQ(ships.vel_x[0], vel_x);
    EXPECT_EQ(ships.x[0], x);
    EXPECT_EQ(ships.y[0], 0.0f);
    // The body is the ship's outline turned by `rot` and moved to x.
    const PhysicsBodies& bodies = store.physics_bodies.dense_list;
    float box_x_min = std::numeric_limits<float>::max();
    float box_y_max = std::numeric_limits<float>::lowest();
    for (const Polygon& polygon : bodies.config_polygons[0]) {
        for (const auto& [vertex_x, vertex_y] : polygon) {
            box_x_min = std::min(box_x_min, (vertex_x * std::cos(rot) - vertex_y * std::sin(rot)) + x);
            box_y_max = std::max(box_y_max, (vertex_x * std::sin(rot) + vertex_y * std::cos(rot)));
        }
    }
    EXPECT_EQ(bodies.x[0], x);
    EXPECT_EQ(bodies.aabb_x_min[0], box_x_min);
    EXPECT_EQ(bodies.aabb_y_max[0], box_y_max);
    // At its slot of the moved, turned ship; carried `rot` off its aim by the
    // turn, less than 0.01 rad, it then snaps back onto it.
    const float mount_x = 10.0f * std::cos(rot) + x;
    const float mount_y = 10.0f * std::sin(rot);
    EXPECT_EQ(mounts.x[0], mount_x);
    EXPECT_EQ(mounts.y[0], mount_y);
    EXPECT_EQ(mounts.rot[0], 0.0f);
    // Fired from there with the ship's new velocity, not moved yet.
    ASSERT_EQ(store.projectiles.size(), 1u);
    EXPECT_EQ(shots.x[0], mount_x);
    EXPECT_EQ(shots.y[0], mount_y);
    EXPECT_EQ(shots.rot[0], 0.0f);
    EXPECT_EQ(shots.inherited_vel_x[0], vel_x);
    EXPECT_EQ(mounts.cooldown[0], 2 * dt);

    module.fixed_tick();
    ASSERT_EQ(store.projectiles.size(), 1u);
    EXPECT_EQ(shots.x[0], mount_x + (vel_x + 600.0f) * dt);
    EXPECT_EQ(shots.y[0], mount_y);
    EXPECT_EQ(mounts.cooldown[0], dt);

    module.fixed_tick();  // the cooldown reaches exactly 0 and the mount fires again
    EXPECT_EQ(store.projectiles.size(), 2u);
    EXPECT_EQ(mounts.cooldown[0], 2 * dt);
}

// Ships 1 and 3 overlap at the origin; ship 2 was put at (1000, 0) just before
// the tick, so only this tick's bodies and index know where it is. A fast shot
// flies into it, a shot without speed stays put, and player 1 fires: one tick
// logs contact, flight, hit and firing in the order of its steps.
TEST_F(CaptureTheFlag, AFixedTickHitsTheBodiesWhereTheShipsNowStand) {
    connect(1);
    connect(2);
    connect(3);
    receive(1, NetMsgs::ClientInput{.fire = true});
    store.ships.dense_list.x[ship_row(2)] = 1000.0f;
    const auto add_shot = [this](float x, float y, float speed) {
        const DenseListKey key = store.projectiles.push_back(-1);
        Projectiles& shots = store.projectiles.dense_list;
        shots.x[key.index] = x;
        shots.y[key.index] = y;
        shots.speed[key.index] = speed;
        return key.id;
    };
    const std::uint32_t fast = add_shot(900.0f, 0.0f, 6000.0f);  // 100 units a tick, at rot 0
    const std::uint32_t still = add_shot(-5000.0f, -5000.0f, 0.0f);
    LogCapture log;

    module.fixed_tick();

    const std::set<std::string> events = {"CONTACT!", "Can't normalize vector with 0 magnitude",
                                          "Proj hit! Removing", "Spawning projectile"};
    std::vector<std::string> logged;
    for (const auto& line : log.lines()) {
        if (events.contains(line.text)) {
            logged.push_back(line.text);
        }
    }
    EXPECT_EQ(logged, (std::vector<std::string>{"CONTACT!", "Can't normalize vector with 0 magnitude",
                                                "Proj hit! Removing", "Spawning projectile"}));
    // The still shot took the hit one's row; the new shot came after it.
    ASSERT_EQ(store.projectiles.size(), 2u);
    EXPECT_EQ(store.projectiles.get_id_by_index(0), still);
    EXPECT_EQ(store.projectiles.dense_list.x[0], -5000.0f);
    EXPECT_NE(store.projectiles.get_id_by_index(1), fast);
    EXPECT_EQ(store.projectiles.dense_list.mount_key[1].id, 1u);
}

TEST_F(CaptureTheFlag, HoldingFireSpawnsProjectilesFromTheMount) {
    connect(1);
    receive(1, NetMsgs::ClientInput{.fire = true, .mouse_world_x = 100.0f});
    module.fixed_tick();
    ASSERT_EQ(store.projectiles.size(), 1u);
    EXPECT_EQ(store.projectiles.dense_list.mount_key[0].id, 1u);
    EXPECT_GT(store.mounts.dense_list.cooldown[0], 0.0f);

    receive(1, NetMsgs::ClientInput{.fire = false});
    module.fixed_tick();
    EXPECT_FALSE(store.mounts.dense_list.is_active[0]);
}

TEST_F(CaptureTheFlag, TheFirstPassSpawnsAndLaterPassesSnapshot) {
    connect(1);
    clear_queues();

    module.collect_outgoing_net_messages();
    const auto ship_spawn = *NetMsgs::ShipSpawn::from_store(store.ships, 0);
    const auto mount_spawn = *NetMsgs::MountSpawn::from_store(store.mounts, 0);
    EXPECT_EQ(tcp(1), (std::vector<NetMsg>{ship_spawn, mount_spawn}));
    EXPECT_EQ(mount_spawn, (NetMsgs::MountSpawn{1, 1, 0, MountType::SmallOne}));
    EXPECT_EQ(udp(1), std::vector<NetMsg>{match_state_message});
    clear_queues();

    store.ships.dense_list.x[0] = 12.0f;
    module.collect_outgoing_net_messages();
    EXPECT_TRUE(tcp(1).empty());
    const std::vector<NetMsg> expected = {*NetMsgs::ShipSnapshot::from_store(store.ships, 0),
                                          *NetMsgs::MountSnapshot::from_store(store.mounts, 0),
                                          match_state_message};
    EXPECT_EQ(udp(1), expected);
    EXPECT_EQ(of_kind<NetMsgs::ShipSnapshot>(udp(1))[0].x, 12.0f);
}

// A client creates a mount only under a ship it has and a projectile only from
// a mount it has, so the reliable stream must name them in that order.
TEST_F(CaptureTheFlag, ALateJoinerGetsEveryLiveEntityShipsThenMountsThenProjectiles) {
    connect(1);
    receive(1, NetMsgs::ClientInput{.fire = true, .mouse_world_y = 500.0f});
    module.fixed_tick();  // a live shot of mount 1
    module.collect_outgoing_net_messages();
    module.collect_outgoing_net_messages();
    clear_queues();

    connect(2);
    add_projectile(2);
    module.collect_outgoing_net_messages();

    const NetMsg ship_1 = NetMsgs::ShipSpawn{.id = 1, .ship_type = ShipType::FrigateOne};
    const NetMsg ship_2 = NetMsgs::ShipSpawn{.id = 2, .ship_type = ShipType::FrigateOne};
    const NetMsg mount_2 = NetMsgs::MountSpawn{2, 2, 0, MountType::SmallOne};
    EXPECT_EQ(tcp(2), (std::vector<NetMsg>{NetMsgs::AssignShip{2}, NetMsgs::AssignMount{2}, ship_1,
                                           ship_2, NetMsgs::MountSpawn{1, 1, 0, MountType::SmallOne},
                                           mount_2, NetMsgs::ProjectileSpawn{1},
                                           NetMsgs::ProjectileSpawn{2}}));
    EXPECT_EQ(tcp(1), (std::vector<NetMsg>{ship_2, mount_2, NetMsgs::ProjectileSpawn{2}}));
    EXPECT_EQ(of_kind<NetMsgs::ShipSnapshot>(udp(1)).size(), 1u);
    EXPECT_EQ(udp(2), std::vector<NetMsg>{match_state_message});
}

TEST_F(CaptureTheFlag, ProjectilesAreAnnouncedOnceAndOnlyWhileTheyLive) {
    connect(1);
    module.collect_outgoing_net_messages();
    clear_queues();

    const std::uint32_t short_lived = add_projectile(1);
    store.projectiles.remove_by_id(short_lived);
    add_projectile(1);
    module.collect_outgoing_net_messages();
    EXPECT_EQ(of_kind<NetMsgs::ProjectileSpawn>(tcp(1)),
              std::vector<NetMsgs::ProjectileSpawn>{NetMsgs::ProjectileSpawn{1}});
    clear_queues();

    module.collect_outgoing_net_messages();
    EXPECT_TRUE(tcp(1).empty());
    EXPECT_EQ(udp(1).back(), match_state_message);
}

TEST_F(CaptureTheFlag, AProjectileThatReusesAFreedIdIsAnnouncedAgain) {
    connect(1);
    while (store.projectiles.size() < DenseListKeyed<Projectiles>::max_id) {
        add_projectile(1);
    }
    module.collect_outgoing_net_messages();
    clear_queues();

    store.projectiles.remove_by_id(5);
    module.collect_outgoing_net_messages();
    EXPECT_FALSE(player(1).known_projectile_ids.contains(5));
    clear_queues();

    ASSERT_EQ(add_projectile(1), 5u);  // the only free id
    module.collect_outgoing_net_messages();
    EXPECT_EQ(of_kind<NetMsgs::ProjectileSpawn>(tcp(1)).size(), 1u);
}

TEST_F(CaptureTheFlag, WithoutPlayersAPassQueuesNothing) {
    network.clients[1].client_id = 1;
    module.collect_outgoing_net_messages();
    EXPECT_TRUE(tcp(1).empty());
    EXPECT_TRUE(udp(1).empty());
}

TEST_F(CaptureTheFlag, TheModuleRegistersItsFourCallbacks) {
    EXPECT_EQ(engine.on_tick_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_fixed_tick_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_net_send_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_receive_client_net_msg_callbacks.size(), 1u);
    EXPECT_TRUE(engine.on_render_callbacks.empty());
    EXPECT_TRUE(engine.on_receive_server_net_msg_callbacks.empty());
}


// Every pass announces exactly the live projectiles a client did not know of,
// in row order, and leaves it knowing exactly the live ones: checked against
// that rule through removals, ids taken again before the next pass, a late
// joiner and an id given by hand far past the usual ones.
TEST_F(CaptureTheFlag, ProjectileAnnouncementsFollowTheLiveIdsThroughChurn) {
    std::map<std::uint32_t, std::set<std::uint32_t>> told;
    std::vector<std::uint32_t> clients = {1, 2};
    connect(1);
    connect(2);
    // Each projectile names its own id in its mount id, so spawns tell them apart.
    const auto add = [this](int given_id) {
        const DenseListKey key = store.projectiles.push_back(given_id);
        store.projectiles.dense_list.mount_key[key.index] = DenseListKey{.id = key.id + 10'000};
        return key.id;
    };
    const auto live_ids = [this] {
        std::vector<std::uint32_t> ids;
        for (std::uint32_t row = 0; row < store.projectiles.size(); ++row) {
            ids.push_back(*store.projectiles.get_id_by_index(row));
        }
        return ids;
    };
    std::uint32_t lcg = 7;
    const auto next = [&lcg] { return (lcg = lcg * 1664525u + 1013904223u) >> 8; };

    for (int pass = 0; pass < 30; ++pass) {
        if (pass == 10) {
            connect(3);
            clients.push_back(3);
        }
        for (int i = 0; i < 40; ++i) {
            add(-1);
        }
        for (int i = 0; i < 25 && store.projectiles.size() > 0; ++i) {
            store.projectiles.remove_by_idx(next() % store.projectiles.size());
        }
        if (pass % 3 == 0) {
            add(-1);  // takes an id freed since the last pass
        }
        if (pass == 14) {
            add(70'000);
        }
        if (pass == 18) {
            store.projectiles.remove_by_id(70'000);
        }
        clear_queues();
        module.collect_outgoing_net_messages();

        const std::vector<std::uint32_t> live = live_ids();
        for (const std::uint32_t client : clients) {
            std::vector<NetMsgs::ProjectileSpawn> expected;
            for (const std::uint32_t id : live) {
                if (!told[client].contains(id)) {
                    expected.push_back({.mount_id = id + 10'000});
                }
            }
            told[client] = {live.begin(), live.end()};
            ASSERT_EQ(of_kind<NetMsgs::ProjectileSpawn>(tcp(client)), expected)
                << "pass " << pass << ", client " << client;
            ASSERT_EQ(player(client).known_projectile_ids,
                      (std::unordered_set<std::uint32_t>{live.begin(), live.end()}))
                << "pass " << pass << ", client " << client;
        }
    }
}

TEST_F(CaptureTheFlag, APlayerWithoutAClientStateHasEveryMessageDroppedWithAWarning) {
    connect(1);
    add_projectile(1);
    receive(9, NetMsgs::ClientConnected{9});  // the network never heard of client 9
    LogCapture log;
    module.collect_outgoing_net_messages();
    // Two ships, two mounts, one projectile and the match state.
    EXPECT_EQ(log.count(spdlog::level::warn, "No client 9 to queue a message for; message dropped"),
              6);
    EXPECT_EQ(player(9).known_ship_ids.size(), 2u);
    EXPECT_EQ(player(9).known_projectile_ids.size(), 1u);
    EXPECT_FALSE(network.clients.contains(9));
    EXPECT_EQ(of_kind<NetMsgs::ShipSpawn>(tcp(1)).size(), 2u);
}

TEST_F(CaptureTheFlag, ForgettingTheKnownProjectilesAnnouncesEveryLiveOneAgain) {
    connect(1);
    for (int i = 0; i < 3; ++i) {
        add_projectile(1);
    }
    module.collect_outgoing_net_messages();
    clear_queues();

    player(1).known_projectile_ids.clear();
    module.collect_outgoing_net_messages();
    EXPECT_EQ(of_kind<NetMsgs::ProjectileSpawn>(tcp(1)).size(), 3u);
    EXPECT_EQ(player(1).known_projectile_ids.size(), 3u);
}
