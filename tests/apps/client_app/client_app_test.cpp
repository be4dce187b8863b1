#include "apps/client_app/client_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <SDL3/SDL.h>

#include "apps/support/loop_driver.h"
#include "client/network/network.h"
#include "client/render/render.h"
#include "lib/rml/rml.h"
#include "server/network/network.h"
#include "support/log_capture.h"

namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using spdlog::level::err;

const std::vector<std::string> shutdown_lines = {
    "App loop ended",       "Unloaded texture map",  "Shutdown RmlManager",
    "Destroyed SDL_Render", "Destroyed SDL_Window", "Client exited normally."};

// Index of the first line equal to `text` at or after `from`; -1 when none.
int find_line(const std::vector<test_support::LogLine>& lines, const std::string& text,
              int from = 0) {
    for (int idx = from; idx < static_cast<int>(lines.size()); ++idx) {
        if (lines[static_cast<std::size_t>(idx)].text == text) {
            return idx;
        }
    }
    return -1;
}

bool in_order(const std::vector<test_support::LogLine>& lines,
              const std::vector<std::string>& texts) {
    int at = 0;
    for (const std::string& text : texts) {
        at = find_line(lines, text, at);
        if (at < 0) {
            return false;
        }
    }
    return true;
}

void push_event(SDL_EventType type) {
    SDL_Event event{};
    event.type = type;
    ASSERT_TRUE(SDL_PushEvent(&event)) << SDL_GetError();
}

// The client application in this process, on SDL's dummy video driver.
class ClientAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        client_shutdown_requested.store(false);
        // The client joins whatever listens on the game's port: a server of
        // the test's own there keeps it from joining one someone else runs.
        if (!own_server.listen(Client::default_server_port)) {
            GTEST_SKIP() << "port 1234 is in use elsewhere; the client would join that server";
        }
    }

    void TearDown() override {
        client_shutdown_requested.store(false);
        SDL_ResetHints();
        // A failed set-up leaves its textures, the toolkit, the window and SDL as they are.
        unload_texture_map();
        Rml::Shutdown();
        SDL_Quit();
    }

    // Pushes the events into SDL's queue, where the first pass finds them.
    void queue_events(const std::vector<SDL_EventType>& types) {
        ASSERT_TRUE(SDL_Init(SDL_INIT_VIDEO)) << SDL_GetError();
        for (SDL_EventType type : types) {
            push_event(type);
        }
    }

    Server::Network own_server;
    Config config;
    ClientApp app{config};
    test_support::LogCapture log;
};

TEST_F(ClientAppTest, QuitEventEndsTheLoopAfterItsPassAndShutsDownInOrder) {
    queue_events({SDL_EVENT_QUIT});
    EXPECT_TRUE(app.run());
    const auto lines = log.lines();
    EXPECT_TRUE(in_order(lines, {"SDL_Window created", "SDL_Renderer created", "RmlManager created",
                                 "Engine created", "Network created",
                                 "Client network connected to: 127.0.0.1:1234", "Created store",
                                 "Added module AdminModule", "Added module CaptureTheFlagModule",
                                 "Starting app loop"}));
    EXPECT_EQ(log.count("SDL quit command received."), 1);
    // The pass that saw the quit completes, step included; no other pass runs.
    EXPECT_EQ(log.count("Starting app loop start"), 1);
    EXPECT_EQ(log.count("Engine step start"), 1);
    EXPECT_EQ(log.count("Starting app loop end"), 1);
    std::vector<std::string> tail = {"Starting app loop end"};
    tail.insert(tail.end(), shutdown_lines.begin(), shutdown_lines.end());
    EXPECT_TRUE(in_order(lines, tail));
    EXPECT_TRUE(texture_map.empty());
    EXPECT_TRUE(client_shutdown_requested.load());
}

TEST_F(ClientAppTest, WindowCloseAndResizeInOnePassStopAfterThatPass) {
    queue_events({SDL_EVENT_WINDOW_CLOSE_REQUESTED, SDL_EVENT_WINDOW_RESIZED,
                  SDL_EVENT_RENDER_DEVICE_LOST});
    app.run();
    EXPECT_EQ(log.count("SDL quit command received."), 2);
    EXPECT_EQ(log.count("Starting app loop start"), 1);
    EXPECT_EQ(log.count("Client exited normally."), 1);
}

TEST_F(ClientAppTest, StopFlagAlreadySetRunsNoPassButShutsDown) {
    client_shutdown_requested.store(true);
    app.run();
    EXPECT_EQ(log.count("Starting app loop start"), 0);
    EXPECT_TRUE(in_order(log.lines(), shutdown_lines));
}

TEST_F(ClientAppTest, FailedSdlInitEndsTheRunAtOnce) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_DRIVER, "no_such_driver", SDL_HINT_OVERRIDE);
    EXPECT_FALSE(app.run());
    EXPECT_EQ(log.count_containing("SDL_Init failed: "), 1);
    EXPECT_EQ(log.count("SDL_Window created"), 0);
    EXPECT_EQ(log.count("App loop ended"), 0);
}

TEST_F(ClientAppTest, FailedRendererEndsTheRunAfterTheWindow) {
    SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "no_such_driver", SDL_HINT_OVERRIDE);
    EXPECT_FALSE(app.run());
    EXPECT_EQ(log.count("SDL_Window created"), 1);
    EXPECT_EQ(log.count_containing("SDL_CreateRenderer failed: "), 1);
    EXPECT_EQ(log.count("SDL_Renderer created"), 0);
    EXPECT_EQ(log.count("Engine created"), 0);
    for (const auto& line : log.lines()) {
        if (line.text.starts_with("SDL_CreateRenderer failed: ")) {
            EXPECT_EQ(line.level, err);
        }
    }
}

// The player's first moments, played by pushing SDL events between passes:
// the admin menu is up at start, Escape hides and shows it, and its ship
// editor button opens the editor in its place.
TEST_F(ClientAppTest, AdminMenuIsUpAtStartEscapeTogglesItAndItsButtonsWork) {
    using apps_test::shown_pages;
    const std::vector<std::string> menu_only = {"admin_menu"};
    const auto nothing = [](Rml::Context&) {};
    apps_test::LoopDriver driver(client_shutdown_requested, 20s);
    driver.add_stage("the menu is up at start", nothing,
                     [&](Rml::Context& context) { return shown_pages(context) == menu_only; });
    driver.add_stage(
        "Escape hides the menu", [](Rml::Context&) { apps_test::push_key(SDLK_ESCAPE); },
        [](Rml::Context& context) { return shown_pages(context).empty(); });
    driver.add_stage(
        "Escape shows the menu again", [](Rml::Context&) { apps_test::push_key(SDLK_ESCAPE); },
        [&](Rml::Context& context) { return shown_pages(context) == menu_only; });
    driver.add_stage(
        "a window resize resizes the interface",
        [](Rml::Context&) {
            SDL_Event resize{};
            resize.type = SDL_EVENT_WINDOW_RESIZED;
            resize.window.data1 = 1100;
            resize.window.data2 = 650;
            SDL_PushEvent(&resize);
        },
        [](Rml::Context& context) { return context.GetDimensions() == Rml::Vector2i{1100, 650}; });
    driver.add_stage("the window keeps 1024 x 600 as its least size, which every page fits", nothing, [](Rml::Context&) {
        int count = 0;
        SDL_Window** windows = SDL_GetWindows(&count);
        int width = 0, height = 0;
        if (count == 1) SDL_GetWindowMinimumSize(windows[0], &width, &height);
        SDL_free(windows);
        return width == 1024 && height == 600;
    });
    driver.add_stage(
        "the ship editor button opens the editor in the menu's place",
        [](Rml::Context& context) {
            apps_test::push_click(context, "admin_menu", "open-ship-editor");
        },
        [](Rml::Context& context) {
            return shown_pages(context) == std::vector<std::string>{"ship_editor"};
        });
    app.run();
    EXPECT_EQ(driver.failed_stage(), "");
    EXPECT_EQ(log.count("admin_menu: on_open_ship_editor"), 1);
    EXPECT_EQ(log.count("Client exited normally."), 1);
}

}  // namespace
