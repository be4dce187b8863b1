#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <thread>

#include <SDL3/SDL.h>
#include <enet/enet.h>

#include "apps/server_app/server_app.h"
#include "apps/support/enet_support.h"
#include "core/logging/logging.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"
#include "support/log_capture.h"
#include "support/scratch_dir.h"

namespace {

// The server as ServerApp::run sets it up, on a free port instead of 1234.
class ServerLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_shutdown_requested.store(false);
        port = apps_test::listen_on_free_port(network);
        ASSERT_GT(port, 0);
        engine.network = &network;
    }
    void TearDown() override { server_shutdown_requested.store(false); }

    Config config;
    Engine engine{config};
    Server::Network network;
    Store store;
    Server::CaptureTheFlagModule module{&config, &engine, &network, &store};
    int port = -1;
    test_support::LogCapture log;
};

TEST_F(ServerLoopTest, AFlagAlreadySetEndsTheLoopBeforeAnyPass) {
    server_shutdown_requested.store(true);
    run_server_loop(engine, network);
    EXPECT_EQ(log.count_containing("Connected clients"), 0);
    EXPECT_EQ(log.count("Engine step start"), 0);
}

TEST_F(ServerLoopTest, QuitEventsStopTheLoopAfterTheirPassCompletes) {
    ASSERT_TRUE(SDL_Init(SDL_INIT_EVENTS)) << SDL_GetError();
    for (SDL_EventType type : {SDL_EVENT_QUIT, SDL_EVENT_KEY_DOWN, SDL_EVENT_WINDOW_CLOSE_REQUESTED}) {
        SDL_Event event{};
        event.type = type;
        ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
    }
    run_server_loop(engine, network);
    SDL_Quit();

    EXPECT_EQ(log.count("SDL quit command received."), 2);
    EXPECT_EQ(log.count("Engine step start"), 1);
    EXPECT_EQ(log.count("Connected clients: 0"), 1);
    EXPECT_TRUE(server_shutdown_requested.load());
}

TimeTracker::Clock::time_point frozen_now() { return {}; }

TEST_F(ServerLoopTest, EveryPassLogsTheClientCountEvenWithoutATick) {
    // With the clock standing still only the first step passes the gate.
    engine.time_tracker = TimeTracker(&frozen_now);
    for (int pass = 0; pass < 50; ++pass) {
        run_server_pass(engine, network);
    }
    EXPECT_EQ(log.count("Connected clients: 0"), 50);
    EXPECT_EQ(log.count("Engine step start"), 50);
    EXPECT_EQ(log.count("Engine step end"), 1);
}

TEST_F(ServerLoopTest, EachPassWritesOutItsLogLinesBeforeTheNextBegins) {
    const test_support::ScratchDir scratch;
    ASSERT_FALSE(scratch.path().empty());
    const std::string path = (scratch.path() / "pass_log").string();
    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    auto& sinks = spdlog::default_logger()->sinks();
    sinks.push_back(std::make_shared<BufferedConsoleSink>(file, false));

    engine.time_tracker = TimeTracker(&frozen_now);
    run_server_pass(engine, network);
    std::ifstream written(path);
    const std::string text{std::istreambuf_iterator<char>(written), {}};

    sinks.pop_back();
    std::fclose(file);
    EXPECT_NE(text.find("[info] [engine.cpp:"), std::string::npos);
    EXPECT_TRUE(text.ends_with("] Connected clients: 0\n")) << text;
}

// A client that connects to the server under test; every round runs one server pass.
struct LoopbackClient {
    EnetConn conn;
    ENetPeer* server = nullptr;
    bool connected = false;
    bool disconnected = false;

    void pump() {
        for (const ENetEvent& event : conn.pump()) {
            connected = connected || event.type == ENET_EVENT_TYPE_CONNECT;
            disconnected = disconnected || event.type == ENET_EVENT_TYPE_DISCONNECT;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) {
                enet_packet_destroy(event.packet);
            }
        }
    }
};

TEST_F(ServerLoopTest, ClientsWhoLeftAreStillCounted) {
    LoopbackClient first;
    LoopbackClient second;
    for (LoopbackClient* client : {&first, &second}) {
        const auto peer = client->conn.connect("127.0.0.1", port);
        ASSERT_TRUE(peer.has_value());
        client->server = *peer;
    }
    const auto run_until = [&](const std::function<bool()>& done) {
        for (int round = 0; round < 5000; ++round) {
            run_server_pass(engine, network);
            first.pump();
            second.pump();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    };

    ASSERT_TRUE(run_until([&] { return log.contains("Connected clients: 2"); }));
    enet_peer_disconnect(first.server, 0);
    ASSERT_TRUE(run_until([&] { return log.count_containing(" disconnected.") == 1; }));
    log.clear();
    ASSERT_TRUE(run_until([&] { return log.count_containing("Connected clients") >= 3; }));
    EXPECT_EQ(log.count("Connected clients: 2"), log.count_containing("Connected clients"));
}

}  // namespace
