#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "apps/support/child_process.h"
#include "support/scratch_dir.h"

namespace {

using namespace std::chrono_literals;
using apps_test::ChildExit;
using apps_test::ChildProcess;
using apps_test::run_game;
using ::testing::ContainsRegex;
using ::testing::HasSubstr;
using ::testing::Not;

// Without a render driver both client applications give up right after their
// window, a failed start (exit code 1); only the client application logs the
// window's creation.
const std::vector<std::string> no_renderer = {"SDL_VIDEO_DRIVER=dummy",
                                              "SDL_RENDER_DRIVER=no_such_driver"};
constexpr const char* window_created = "SDL_Window created";
constexpr const char* renderer_failure = "SDL_CreateRenderer failed: ";

std::vector<std::string> with_no_renderer(std::vector<std::string> environment) {
    environment.insert(environment.end(), no_renderer.begin(), no_renderer.end());
    return environment;
}
constexpr int server_port = 1234;

TEST(EntryPoint, WithoutModeRunsTheClientAndLogsTheStampAndMode) {
    const ChildExit game = run_game(no_renderer);
    EXPECT_EQ(game.exit_code, 1);
    EXPECT_THAT(game.output,
                ContainsRegex("\\[info\\] Build stamp: [0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z\n"));
    EXPECT_THAT(game.output, HasSubstr("[info] Mode: CLIENT\n"));
    EXPECT_THAT(game.output, HasSubstr(window_created));
}

TEST(EntryPoint, ModeIsMatchedExactlyAndLoggedUnchanged) {
    for (const std::string mode : {"server", "", "Server", "CLIENTSERVER "}) {
        SCOPED_TRACE("MODE='" + mode + "'");
        const ChildExit game = run_game(with_no_renderer({"MODE=" + mode}));
        EXPECT_EQ(game.exit_code, 1);
        EXPECT_THAT(game.output, HasSubstr("[info] Mode: " + mode + "\n"));
        EXPECT_THAT(game.output, HasSubstr(window_created));
        EXPECT_THAT(game.output, Not(HasSubstr("Connected clients")));
    }
}

TEST(EntryPoint, ClientServerModeRunsTheCombinedApplication) {
    const ChildExit game = run_game(with_no_renderer({"MODE=CLIENTSERVER"}));
    EXPECT_EQ(game.exit_code, 1);
    EXPECT_THAT(game.output, HasSubstr("[info] Mode: CLIENTSERVER\n"));
    EXPECT_THAT(game.output, HasSubstr(renderer_failure));
    EXPECT_THAT(game.output, Not(HasSubstr(window_created)));
}

TEST(EntryPoint, SpdlogLevelInTheEnvironmentQuietsTheLog) {
    const ChildExit game = run_game(with_no_renderer({"SPDLOG_LEVEL=warn"}));
    EXPECT_EQ(game.exit_code, 1);
    EXPECT_THAT(game.output, HasSubstr(renderer_failure));
    EXPECT_THAT(game.output, Not(HasSubstr("[info]")));
}

TEST(EntryPoint, ConfigurationThatDoesNotParseEndsWithExitCodeOneBeforeAnyApplication) {
    const test_support::ScratchDir root("voidlance_apps_");
    ASSERT_FALSE(root.path().empty());
    const auto ship_dir = root.path() / "build/assets/ships/frigate_one";
    std::filesystem::create_directories(ship_dir);
    std::ofstream(ship_dir / "frigate_one.json") << "{ \"max_speed\": ";

    const ChildExit game = run_game({"MODE=SERVER"}, root.path());
    EXPECT_EQ(game.exit_code, 1);
    EXPECT_THAT(game.output, HasSubstr("[info] Mode: SERVER\n"));
    EXPECT_THAT(game.output, HasSubstr("[critical] Unhandled exception: "));
    EXPECT_THAT(game.output, Not(HasSubstr("Enet host created")));
    EXPECT_THAT(game.output, Not(HasSubstr("Connected clients")));
}

// A UDP socket holding a port for as long as it lives.
class HeldUdpPort {
public:
    explicit HeldUdpPort(int port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        held_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~HeldUdpPort() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

constexpr const char* listen_failure_line = "Failed to listen for enet conn on port 1234.";
constexpr const char* port_in_use_line =
    "UDP port 1234 is already in use; stop the other server first";

// Both cases need port 1234, so they run one after the other in one test.
TEST(EntryPoint, ServerGivesUpWithExitCodeOneWhenItsPortIsTakenAndStopsOnSigint) {
    {
        const HeldUdpPort taken(server_port);
        if (!taken.held()) {
            GTEST_SKIP() << "port 1234 is in use elsewhere";
        }
        const ChildExit game = run_game({"MODE=SERVER"});
        EXPECT_EQ(game.exit_code, 1);
        const auto failure = game.output.find(listen_failure_line);
        ASSERT_NE(failure, std::string::npos) << game.output;
        const auto cause = game.output.find(port_in_use_line, failure);
        ASSERT_NE(cause, std::string::npos) << game.output;
        EXPECT_EQ(game.output.find('\n', cause), game.output.size() - 1)
            << "nothing follows the network's error lines:\n" << game.output;
    }

    ChildProcess server(apps_test::game_executable(), {"MODE=SERVER"},
                        std::filesystem::current_path());
    ASSERT_TRUE(server.started());
    const auto seen = server.read_until_any({"Connected clients: 0", listen_failure_line}, 20s);
    ASSERT_TRUE(seen.has_value());
    if (*seen == listen_failure_line) {
        server.wait(5s);
        GTEST_SKIP() << "port 1234 was taken by another process meanwhile";
    }
    server.send_signal(SIGINT);
    const ChildExit game = server.wait(10s);
    EXPECT_EQ(game.exit_code, 0);
    EXPECT_THAT(game.output, Not(HasSubstr("[critical]")));
}

// The client application's last lines, in order.
const std::vector<std::string> client_shutdown_lines = {
    "App loop ended",       "Unloaded texture map",  "Shutdown RmlManager",
    "Destroyed SDL_Render", "Destroyed SDL_Window", "Client exited normally."};

// The whole game as a process: SIGINT lets the running pass finish, then the
// shutdown lines follow and the process ends with 0.
TEST(ClientAppProcess, SigintEndsTheLoopAndTheProcessExitsNormally) {
    // The client joins whatever listens on the game's port: the test holds it
    // so that the client never joins a server someone else runs.
    const HeldUdpPort own_port(server_port);
    if (!own_port.held()) {
        GTEST_SKIP() << "port 1234 is in use elsewhere; the client would join that server";
    }
    ChildProcess game(
        apps_test::game_executable(),
        {"MODE=CLIENT", "SDL_VIDEO_DRIVER=dummy", "SDL_RENDER_DRIVER=software"},
        std::filesystem::current_path());
    ASSERT_TRUE(game.started());
    ASSERT_TRUE(game.read_until_any({"Starting app loop end"}, 20s).has_value());
    game.send_signal(SIGINT);
    const ChildExit exit = game.wait(20s);
    EXPECT_EQ(exit.exit_code, 0);
    std::string::size_type at = 0;
    for (const std::string& text : client_shutdown_lines) {
        at = exit.output.find(text, at);
        EXPECT_NE(at, std::string::npos) << text;
    }
    EXPECT_THAT(exit.output, Not(HasSubstr("[critical]")));
}

}  // namespace
