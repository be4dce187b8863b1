#include "client/modules/capture_the_flag/capture_the_flag.h"

#include <numbers>

#include <gtest/gtest.h>

#include "client/render/render.h"
#include "client/support/sdl_support.h"
#include "support/log_capture.h"

namespace {

using client_test::key_event;
using client_test::OffscreenWindow;
using spdlog::level::warn;

constexpr float up = std::numbers::pi_v<float> / 2.0f;

// One client module on an engine with an offscreen window, the real content
// and a network that never connects.
class ClientModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { config = new Config(); }
    static void TearDownTestSuite() { delete config; }

    void TearDown() override { unload_texture_map(); }

    void receive(std::vector<NetMsg> messages) {
        for (NetMsg& message : messages) {
            module.receive_net_msg(message);
        }
    }

    // Ship 7 at (x, y) with its one mount, 12, owned by this client.
    void join_with_ship_at(float x, float y) {
        receive({NetMsgs::AssignShip{.ship_id = 7}, NetMsgs::AssignMount{.mount_id = 12},
                 NetMsgs::ShipSpawn{.id = 7, .x = x, .y = y, .rot = up},
                 NetMsgs::MountSpawn{.id = 12, .ship_id = 7}});
    }

    static Config* config;
    OffscreenWindow screen;
    Engine engine{Config(*config)};
    Client::Network network;
    RmlManager rml_manager;
    Store store;
    Client::CaptureTheFlagModule module{config,          &engine,      &network, screen.window,
                                        screen.renderer, &rml_manager, &store};
};

Config* ClientModuleTest::config = nullptr;

TEST_F(ClientModuleTest, RegistersOneCallbackOfEachClientKind) {
    EXPECT_EQ(engine.on_tick_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_fixed_tick_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_net_send_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_receive_server_net_msg_callbacks.size(), 1u);
    EXPECT_EQ(engine.on_render_callbacks.size(), 1u);
    EXPECT_TRUE(engine.on_receive_client_net_msg_callbacks.empty());
    EXPECT_FALSE(module.owned_ship_id);
    EXPECT_EQ(module.match_state.current_round, 1);
}

TEST_F(ClientModuleTest, NetSendQueuesTheLatestInputOnTheUnreliableQueue) {
    screen.move_mouse(740, 360);
    std::vector<SDL_Event> events = {key_event(SDL_EVENT_KEY_DOWN, SDLK_W),
                                     key_event(SDL_EVENT_KEY_DOWN, SDLK_C)};
    module.camera_x = 5;
    module.tick(events);
    test_support::LogCapture log;
    module.collect_outgoing_net_messages();
    ASSERT_EQ(network.outgoing_udp.size(), 1u);
    EXPECT_TRUE(network.outgoing_tcp.empty());
    const NetMsgs::ClientInput expected{.up = true,
                                        .c = true,
                                        .mouse_dir_x = 100,
                                        .mouse_dir_y = 0,
                                        .mouse_world_x = 105,
                                        .mouse_world_y = 0};
    EXPECT_EQ(network.outgoing_udp[0], NetMsg{expected});
    for (const char* line :
         {"Collect client input: begin", "Collect client input: constructed",
          "Collect client input: converting to NetMsg", "Collect client input: converted to NetMsg",
          "Collect client input: queued"}) {
        EXPECT_EQ(log.count(line), 1) << line;
    }
}

TEST_F(ClientModuleTest, NetSendBeforeAnyEventSendsAnInputAtRest) {
    module.collect_outgoing_net_messages();
    module.collect_outgoing_net_messages();
    ASSERT_EQ(network.outgoing_udp.size(), 2u);
    const auto& sent = std::get<NetMsgs::ClientInput>(network.outgoing_udp[0]);
    EXPECT_FALSE(sent.up || sent.down || sent.left || sent.right || sent.fire || sent.shift ||
                 sent.c);
}

TEST_F(ClientModuleTest, AssignmentsAreKeptAndTheLastShipWins) {
    test_support::LogCapture log;
    receive({NetMsgs::AssignShip{.ship_id = 3}, NetMsgs::AssignShip{.ship_id = 4},
             NetMsgs::AssignMount{.mount_id = 9}, NetMsgs::AssignMount{.mount_id = 9}});
    EXPECT_EQ(module.owned_ship_id, 4u);
    EXPECT_EQ(module.owned_mount_ids, (std::vector<std::uint32_t>{9, 9}));
    EXPECT_TRUE(log.contains("Receive assign ship: 3"));
    EXPECT_EQ(log.count("Receive assign mount: 9"), 2);
}

TEST_F(ClientModuleTest, SpawnsAndSnapshotsReachTheStoreWithTheirLogLines) {
    test_support::LogCapture log;
    join_with_ship_at(10, 20);
    EXPECT_TRUE(log.contains("ShipSpawn variant matched"));
    EXPECT_TRUE(log.contains("ShipSpawn extracted: id=7, type=1000"));
    EXPECT_TRUE(log.contains("Receive ship spawn: 7"));
    EXPECT_TRUE(log.contains("ShipSpawn processing complete"));
    EXPECT_TRUE(log.contains("Receive mount spawn: 12"));
    ASSERT_EQ(store.ships.size(), 1u);
    ASSERT_EQ(store.mounts.size(), 1u);

    receive({NetMsgs::ShipSnapshot{.id = 7, .x = 30, .y = 40},
             NetMsgs::MountSnapshot{.id = 12, .rot = 1.5f}, NetMsgs::ProjectileSpawn{.mount_id = 12}});
    EXPECT_EQ(store.ships.dense_list.x[0], 30.0f);
    EXPECT_EQ(store.mounts.dense_list.rot[0], 1.5f);
    EXPECT_EQ(store.projectiles.size(), 1u);
}

TEST_F(ClientModuleTest, DespawnsMatchStateAndConnectionMessagesChangeNothing) {
    join_with_ship_at(10, 20);
    receive({NetMsgs::ShipDespawn{.id = 7}, NetMsgs::MountDespawn{.id = 12},
             NetMsgs::CaptureTheFlagMatchState{.phase = 2, .current_round = 9, .red_score = 3},
             NetMsgs::ClientInput{.up = true}, NetMsgs::ClientConnected{.client_id = 1},
             NetMsgs::ClientDisconnected{.client_id = 1}, NetMsgs::ServerConnected{},
             NetMsgs::ServerDisconnected{}});
    EXPECT_EQ(store.ships.size(), 1u);
    EXPECT_EQ(store.mounts.size(), 1u);
    EXPECT_EQ(module.match_state.current_round, 1);
    EXPECT_EQ(module.match_state.red_score, 0);
    EXPECT_EQ(module.match_state.phase, CaptureTheFlagPhase::WaitingForPlayers);
    EXPECT_FALSE(module.input.up);
}

TEST_F(ClientModuleTest, CameraWaitsForTheAssignedShipsRowThenFollowsIt) {
    module.render();
    EXPECT_EQ(module.camera_x, 0.0f);

    receive({NetMsgs::AssignShip{.ship_id = 7}});
    test_support::LogCapture log;
    module.render();
    EXPECT_EQ(module.camera_x, 0.0f);
    EXPECT_TRUE(log.contains(warn, "No index found for id: 7"));

    receive({NetMsgs::ShipSpawn{.id = 7, .x = 10, .y = 20}});
    module.render();
    EXPECT_EQ(module.camera_x, 10.0f);
    EXPECT_EQ(module.camera_y, 20.0f);

    receive({NetMsgs::ShipSpawn{.id = 8, .x = -50, .y = 60}, NetMsgs::AssignShip{.ship_id = 8}});
    module.render();
    EXPECT_EQ(module.camera_x, -50.0f);
    EXPECT_EQ(module.camera_y, 60.0f);
}

// The mouse's world point comes from the camera of the frame drawn before.
TEST_F(ClientModuleTest, InputReadsTheMouseWithThePreviousFramesCamera) {
    screen.move_mouse(640, 360);
    join_with_ship_at(10, 20);
    std::vector<SDL_Event> none;
    module.tick(none);
    EXPECT_EQ(module.input.mouse_world_x, 0.0f);
    module.render();
    module.tick(none);
    EXPECT_EQ(module.input.mouse_world_x, 10.0f);
    EXPECT_EQ(module.input.mouse_world_y, 20.0f);
}

TEST_F(ClientModuleTest, FixedTickPlacesBodiesAndMountsOnTheirShips) {
    join_with_ship_at(100, 50);
    module.fixed_tick();
    const PhysicsBodies& bodies = store.physics_bodies.dense_list;
    EXPECT_EQ(bodies.x[0], 100.0f);
    EXPECT_EQ(bodies.y[0], 50.0f);
    EXPECT_GT(bodies.polygons[0][0].count, 0);
    EXPECT_LT(bodies.aabb_x_min[0], 100.0f);
    EXPECT_GT(bodies.aabb_x_max[0], 100.0f);

    const Mounts& mounts = store.mounts.dense_list;
    const float local_x = mounts.local_x[0];
    const float local_y = mounts.local_y[0];
    // At rotation pi/2 the slot (lx, ly) lies at (-ly, lx) from the ship.
    EXPECT_NEAR(mounts.x[0], 100.0f - local_y, 1e-3f);
    EXPECT_NEAR(mounts.y[0], 50.0f + local_x, 1e-3f);
    EXPECT_FLOAT_EQ(mounts.rot[0], up);

    // Ships move only by snapshots.
    EXPECT_EQ(store.ships.dense_list.x[0], 100.0f);
}

TEST_F(ClientModuleTest, FixedTickFliesProjectilesAndRemovesThoseThatHit) {
    join_with_ship_at(0, 0);
    receive({NetMsgs::ShipSpawn{.id = 8, .x = 0, .y = 300}});
    module.fixed_tick();
    // One projectile heading for ship 8 from just below it, one flying sideways.
    Mounts& mounts = store.mounts.dense_list;
    mounts.x[0] = 0;
    mounts.y[0] = 200;
    mounts.rot[0] = up;
    receive({NetMsgs::ProjectileSpawn{.mount_id = 12}});
    mounts.rot[0] = 0;
    receive({NetMsgs::ProjectileSpawn{.mount_id = 12}});
    ASSERT_EQ(store.projectiles.size(), 2u);

    test_support::LogCapture log;
    for (int tick = 0; tick < 30 && store.projectiles.size() == 2; ++tick) {
        module.fixed_tick();
    }
    EXPECT_EQ(store.projectiles.size(), 1u);
    EXPECT_EQ(log.count("Proj hit! Removing"), 1);
    // The one flying along +x, clear of both ships, is left.
    EXPECT_GT(store.projectiles.dense_list.x[0], 0.0f);
    EXPECT_EQ(store.projectiles.dense_list.y[0], 200.0f);
}

// A projectile mirrored from a mount that the hull has overtaken flies on
// through its own ship, as the server's does.
TEST_F(ClientModuleTest, FixedTickNeverStopsAProjectileOnItsOwnShip) {
    join_with_ship_at(0, 0);
    module.fixed_tick();
    Mounts& mounts = store.mounts.dense_list;
    mounts.y[0] = 80;
    mounts.rot[0] = -up;
    receive({NetMsgs::ProjectileSpawn{.mount_id = 12}});
    for (int tick = 0; tick < 30; ++tick) {
        module.fixed_tick();
    }
    ASSERT_EQ(store.projectiles.size(), 1u);
    EXPECT_LT(store.projectiles.dense_list.y[0], -80.0f);
}

TEST_F(ClientModuleTest, FixedTickOnAnEmptyStoreChangesNothing) {
    module.fixed_tick();
    EXPECT_EQ(store.ships.size() + store.mounts.size() + store.projectiles.size() +
                  store.physics_bodies.size(),
              0u);
}

TEST_F(ClientModuleTest, RenderDrawsTheOwnedShipAtTheCentreAndOutlinesOverIt) {
    texture_map[1000] = TextureConfig{
        client_test::make_two_tone_texture(screen.renderer, 20, 40, 0x00FF00FF, 0x0000FFFF),
        1.0f, {0.5f, 0.5f}};
    join_with_ship_at(300, -200);
    module.fixed_tick();
    screen.clear();
    module.render();
    EXPECT_EQ(screen.pixel(640, 352), 0x00FF00FFu);
    EXPECT_EQ(screen.pixel(640, 368), 0x0000FFFFu);
    // The collision outline of the frigate is red somewhere around its centre.
    int red_pixels = 0;
    for (int y = 300; y < 420; ++y) {
        for (int x = 580; x < 700; ++x) {
            red_pixels += screen.pixel(x, y) == 0xE62937FFu ? 1 : 0;
        }
    }
    EXPECT_GT(red_pixels, 50);
}

// Through the engine: received messages are handled before the fixed ticks and
// the frame is drawn with the camera on the new ship.
TEST_F(ClientModuleTest, OneEngineStepMirrorsSimulatesAndDraws) {
    engine.renderer = screen.renderer;
    std::vector<NetMsg> messages = {NetMsgs::AssignShip{.ship_id = 7},
                                    NetMsgs::ShipSpawn{.id = 7, .x = 10, .y = 20},
                                    NetMsgs::MountSpawn{.id = 12, .ship_id = 7}};
    engine.send_received_server_net_msgs(messages);
    engine.step();
    EXPECT_EQ(module.camera_x, 10.0f);
    EXPECT_EQ(module.camera_y, 20.0f);
    EXPECT_EQ(store.mounts.size(), 1u);
}

}  // namespace
