#include "apps/client_server_app/client_server_app.h"

#include <gtest/gtest.h>

#include <SDL3/SDL.h>

#include "apps/support/enet_support.h"
#include "client/render/render.h"
#include "lib/rml/rml.h"
#include "support/log_capture.h"

namespace {

// Holds a free UDP port for as long as it lives.
struct TakenPort {
    Server::Network network;
    int port = apps_test::listen_on_free_port(network);
};

// A port that was free a moment ago.
int free_port() { return TakenPort().port; }

class ClientServerAppTest : public ::testing::Test {
protected:
    void SetUp() override { client_server_shutdown_requested.store(false); }

    void TearDown() override {
        client_server_shutdown_requested.store(false);
        // A failed set-up leaves its textures and the toolkit as they are.
        unload_texture_map();
        Rml::Shutdown();
        SDL_Quit();
    }

    Config config;
    ClientServerApp app{config};
    test_support::LogCapture log;
};

TEST_F(ClientServerAppTest, QuitEventStopsBothSidesAfterOneStepEach) {
    ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
    SDL_Event quit{};
    quit.type = SDL_EVENT_QUIT;
    ASSERT_TRUE(SDL_PushEvent(&quit));
    const int port = free_port();
    ASSERT_GT(port, 0);
    EXPECT_TRUE(app.run(port));

    const auto lines = log.lines();
    int quit_line = -1;
    int loop_ended = -1;
    for (int idx = 0; idx < static_cast<int>(lines.size()); ++idx) {
        const std::string& text = lines[static_cast<std::size_t>(idx)].text;
        quit_line = text == "SDL quit command received." ? idx : quit_line;
        loop_ended = text == "loop ended" ? idx : loop_ended;
    }
    EXPECT_GE(quit_line, 0);
    EXPECT_GT(loop_ended, quit_line);
    // One pass: the client engine's step, then the server engine's.
    EXPECT_EQ(log.count("Engine step start"), 2);
    EXPECT_TRUE(log.contains("Server listening on port " + std::to_string(port)));
    EXPECT_TRUE(log.contains("Initializing Rml context w, h: 1280 720"));
    // Only the window's failures would be logged; its progress is not.
    EXPECT_FALSE(log.contains("SDL_Window created"));
    EXPECT_FALSE(log.contains("Client exited normally."));
    EXPECT_TRUE(texture_map.empty());
}

TEST_F(ClientServerAppTest, TakenPortEndsTheRunWithTheNetworksLineOnly) {
    const TakenPort taken;
    ASSERT_GT(taken.port, 0);
    EXPECT_FALSE(app.run(taken.port));
    EXPECT_TRUE(log.contains(spdlog::level::err, "Failed to listen for enet conn on port " +
                                                     std::to_string(taken.port) + "."));
    EXPECT_EQ(log.count("Engine step start"), 0);
    EXPECT_FALSE(log.contains("loop ended"));
    EXPECT_FALSE(log.contains("ENet peer created: "));
}

TEST_F(ClientServerAppTest, FailedSdlInitEndsTheRunAtOnce) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, "no_such_driver", SDL_HINT_OVERRIDE);
    EXPECT_FALSE(app.run(free_port()));
    SDL_ResetHints();
    EXPECT_EQ(log.count_containing("SDL_Init failed: "), 1);
    EXPECT_EQ(log.count_containing("ENet peer created: "), 0);
    EXPECT_EQ(log.count("Engine step start"), 0);
}

}  // namespace
