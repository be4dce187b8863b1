#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include <SDL3/SDL.h>
#include <spdlog/spdlog.h>

#include "apps/support/enet_support.h"
#include "client/modules/capture_the_flag/capture_the_flag.h"
#include "client/network/network.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "server/network/network.h"

namespace {

SDL_Event key_down(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_EVENT_KEY_DOWN;
    event.key.key = key;
    event.key.down = true;
    return event;
}

// A real server side and a real client side in one process, joined by ENet
// over loopback, each fed and stepped as the client-plus-server loop does.
class ClientServerLoopback : public ::testing::Test {
protected:
    static void SetUpTestSuite() { config = new Config(); }
    static void TearDownTestSuite() { delete config; }

    void SetUp() override {
        // The engines log every step; only trouble matters here.
        log_level = spdlog::get_level();
        spdlog::set_level(spdlog::level::warn);
        ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
        window = SDL_CreateWindow("loopback", 1280, 720, 0);
        renderer = SDL_CreateRenderer(window, "software");
        ASSERT_NE(renderer, nullptr) << SDL_GetError();

        const int port = apps_test::listen_on_free_port(server_network);
        ASSERT_GT(port, 0);
        server_engine.network = &server_network;
        ASSERT_TRUE(client_network.connect("127.0.0.1", port));
        client_engine.network = &client_network;
        client_engine.renderer = renderer;
        client_engine.rml_manager = &rml_manager;
        server_module = std::make_unique<Server::CaptureTheFlagModule>(
            config, &server_engine, &server_network, &server_store);
        client_module = std::make_unique<Client::CaptureTheFlagModule>(
            config, &client_engine, &client_network, window, renderer, &rml_manager,
            &client_store);
    }

    void TearDown() override {
        client_module.reset();
        server_module.reset();
        SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(window);
        SDL_Quit();
        spdlog::set_level(log_level);
    }

    void pass(std::vector<SDL_Event> events = {}) {
        std::vector<NetMsg> client_messages = client_network.pump_net_msgs();
        std::vector<Server::Network::ClientNetMsg> server_messages = server_network.pump_net_msgs();
        client_engine.send_sdl_events(events);
        client_engine.send_received_server_net_msgs(client_messages);
        server_engine.send_received_client_net_msgs(server_messages);
        client_engine.step();
        server_engine.step();
    }

    // Runs passes until `done` holds; false after five seconds without.
    bool run_until(const std::function<bool()>& done) {
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < give_up) {
            pass();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    const Server::PlayerState* only_player() const {
        return server_module->players.size() == 1 ? &server_module->players.begin()->second
                                                  : nullptr;
    }

    bool client_holds_its_ship_and_mounts() const {
        const Server::PlayerState* player = only_player();
        if (!player || !player->ship_key || !client_module->owned_ship_id ||
            client_store.mounts.size() < player->mount_keys.size()) {
            return false;
        }
        return client_store.ships.size() == 1;
    }

    static Config* config;
    spdlog::level::level_enum log_level = spdlog::level::info;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    RmlManager rml_manager;
    Engine client_engine{*config};
    Engine server_engine{*config};
    Client::Network client_network;
    Server::Network server_network;
    Store client_store;
    Store server_store;
    std::unique_ptr<Server::CaptureTheFlagModule> server_module;
    std::unique_ptr<Client::CaptureTheFlagModule> client_module;
};

Config* ClientServerLoopback::config = nullptr;

TEST_F(ClientServerLoopback, ClientMirrorsItsShipAndMountsWithTheServersIdsAndFollowsIt) {
    ASSERT_TRUE(run_until([this] { return client_holds_its_ship_and_mounts(); }));
    const Server::PlayerState& player = *only_player();
    EXPECT_EQ(client_module->owned_ship_id, player.ship_key->id);
    std::vector<std::uint32_t> server_mount_ids;
    for (const DenseListKey& key : player.mount_keys) {
        server_mount_ids.push_back(key.id);
        const auto row = client_store.mounts.get_index_by_id(key.id);
        ASSERT_TRUE(row);
        EXPECT_EQ(client_store.mounts.dense_list.parent_key[*row].id, player.ship_key->id);
    }
    EXPECT_EQ(client_module->owned_mount_ids, server_mount_ids);
    ASSERT_TRUE(client_store.ships.get_index_by_id(player.ship_key->id));

    // A few more passes: the camera sits on the mirrored ship, and the body
    // and mounts have been placed by the client's own fixed ticks.
    ASSERT_TRUE(run_until(
        [this] { return client_store.physics_bodies.dense_list.polygons.at(0).at(0).count > 0; }));
    pass();
    const Ships& ships = client_store.ships.dense_list;
    EXPECT_EQ(client_module->camera_x, ships.x[0]);
    EXPECT_EQ(client_module->camera_y, ships.y[0]);
}

TEST_F(ClientServerLoopback, HoldingThrustFliesTheShipAndTheCameraFollows) {
    ASSERT_TRUE(run_until([this] { return client_holds_its_ship_and_mounts(); }));
    pass({key_down(SDLK_W)});
    ASSERT_TRUE(run_until([this] {
        const Ships& ships = client_store.ships.dense_list;
        return ships.x[0] * ships.x[0] + ships.y[0] * ships.y[0] > 100.0f;
    }));
    pass();
    EXPECT_EQ(client_module->camera_x, client_store.ships.dense_list.x[0]);
    EXPECT_EQ(client_module->camera_y, client_store.ships.dense_list.y[0]);
}

TEST_F(ClientServerLoopback, HoldingFireBringsProjectilesToTheClient) {
    ASSERT_TRUE(run_until([this] { return client_holds_its_ship_and_mounts(); }));
    SDL_WarpMouseInWindow(window, 1000, 200);
    SDL_Event press{};
    press.type = SDL_EVENT_MOUSE_BUTTON_DOWN;
    press.button.button = SDL_BUTTON_LEFT;
    press.button.down = true;
    pass({press});
    EXPECT_TRUE(run_until([this] { return client_store.projectiles.size() > 0; }));
}

}  // namespace
