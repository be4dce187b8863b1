#include "core/logging/logging.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <spdlog/details/os.h>
#include <spdlog/sinks/ansicolor_sink.h>
#include <spdlog/spdlog.h>

#include "support/log_capture.h"

namespace {

using namespace std::chrono_literals;
using spdlog::details::log_msg;

// A file in the temporary directory, open for writing, removed at the end.
class TemporaryFile {
public:
    TemporaryFile() {
        // Text mode both ways: on Windows "\r\n" in the file, "\n" read back.
        path_ = std::filesystem::temp_directory_path() /
                ("voidlance_log_" + std::to_string(std::random_device{}()));
        file_ = std::fopen(path_.string().c_str(), "w");
    }
    ~TemporaryFile() {
        std::fclose(file_);
        std::filesystem::remove(path_);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    std::FILE* file() const { return file_; }
    std::string text() const {
        std::ifstream in(path_);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

std::chrono::system_clock::time_point at(std::chrono::milliseconds since_epoch) {
    return std::chrono::system_clock::time_point(since_epoch);
}

// Lines as the game makes them: macros carry a location, the entry point none.
std::vector<log_msg> sample_lines() {
    const spdlog::source_loc send_path{"/src/core/net_msg_helpers/send_peer_net_msgs.cpp", 45, "f"};
    const spdlog::source_loc engine{"/src/core/engine/engine.cpp", 63, "g"};
    const spdlog::source_loc no_folder{"main.cpp", 7, "h"};
    std::vector<log_msg> lines = {
        log_msg(at(1'700'000'000'005ms), send_path, "", spdlog::level::info, "ENet send: message size=32"),
        log_msg(at(1'700'000'000'999ms), engine, "", spdlog::level::info, "Engine step start"),
        log_msg(at(1'700'000'001'000ms), {}, "", spdlog::level::info, "Mode: SERVER"),
        log_msg(at(1'700'000'001'040ms), engine, "", spdlog::level::warn, "Large frame delta: 0.2 seconds"),
        log_msg(at(1'700'086'400'123ms), no_folder, "", spdlog::level::err, "An error {}"),
        log_msg(at(1'700'086'400'124ms), send_path, "named", spdlog::level::critical, "Unhandled"),
        log_msg(at(1'700'086'400'125ms), engine, "", spdlog::level::trace, "trace"),
        log_msg(at(1'700'086'400'126ms), engine, "", spdlog::level::debug, ""),
    };
    return lines;
}

// What spdlog's own console sink writes for the same lines.
std::string spdlog_console_text(const std::vector<log_msg>& lines, spdlog::color_mode colours) {
    TemporaryFile file;
    spdlog::sinks::ansicolor_sink<spdlog::details::console_mutex> sink(file.file(), colours);
    sink.set_level(spdlog::level::trace);
    for (const log_msg& line : lines) {
        sink.log(line);
    }
    sink.flush();
    // spdlog ends its lines the platform's way ("\r\n" on Windows); ours end
    // in "\n", which a Windows console's text mode widens to "\r\n".
    std::string text = file.text();
    const std::string eol = spdlog::details::os::default_eol;
    for (std::size_t at = 0; (at = text.find(eol, at)) != std::string::npos; ++at) {
        text.replace(at, eol.size(), "\n");
    }
    return text;
}

std::string buffered_sink_text(const std::vector<log_msg>& lines, bool colours) {
    TemporaryFile file;
    {
        BufferedConsoleSink sink(file.file(), colours);
        for (const log_msg& line : lines) {
            sink.log(line);
        }
    }
    return file.text();
}

log_msg info_line(const std::string& text) {
    return log_msg(spdlog::source_loc{"/a/b.cpp", 3, "f"}, "", spdlog::level::info, text);
}

TEST(BufferedConsoleSink, WritesWhatSpdlogsConsoleSinkWrites) {
    const std::vector<log_msg> lines = sample_lines();
    EXPECT_EQ(buffered_sink_text(lines, false), spdlog_console_text(lines, spdlog::color_mode::never));
    EXPECT_EQ(buffered_sink_text(lines, true), spdlog_console_text(lines, spdlog::color_mode::always));
}

TEST(BufferedConsoleSink, KeepsEverySourceLocationApartWhenTheyShareACacheSlot) {
    // Many locations in few files: some fall on the same slot and must not mix.
    std::vector<log_msg> lines;
    const char* files[] = {"/x/one.cpp", "/x/two.cpp", "/y/three.cpp"};
    for (int round = 0; round < 3; ++round) {
        for (int line = 1; line <= 300; line += 7) {
            for (const char* file : files) {
                lines.emplace_back(at(1'700'000'000'000ms + std::chrono::milliseconds(line)),
                                   spdlog::source_loc{file, line, "f"}, "", spdlog::level::info,
                                   "x");
            }
        }
    }
    EXPECT_EQ(buffered_sink_text(lines, false), spdlog_console_text(lines, spdlog::color_mode::never));
}

TEST(BufferedConsoleSink, HoldsInfoLinesUntilAFlushThenWritesThemWholeAndInOrder) {
    TemporaryFile file;
    BufferedConsoleSink sink(file.file(), false);
    sink.log(info_line("first"));
    sink.log(info_line("second"));
    EXPECT_EQ(file.text(), "");
    EXPECT_GT(sink.buffered_bytes(), 0u);

    sink.flush();
    const std::string text = file.text();
    EXPECT_NE(text.find("[info] [b.cpp:3] first\n"), std::string::npos);
    EXPECT_LT(text.find("first"), text.find("second"));
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(sink.buffered_bytes(), 0u);

    sink.flush();  // nothing held: nothing written
    EXPECT_EQ(file.text(), text);
}

TEST(BufferedConsoleSink, AWarningWritesItselfAndEverythingBeforeItAtOnce) {
    for (const auto level : {spdlog::level::warn, spdlog::level::err, spdlog::level::critical}) {
        TemporaryFile file;
        BufferedConsoleSink sink(file.file(), false);
        sink.log(info_line("before"));
        sink.log(log_msg(spdlog::source_loc{}, "", level, "alarm"));
        const std::string text = file.text();
        EXPECT_NE(text.find("before\n"), std::string::npos);
        EXPECT_NE(text.find("alarm\n"), std::string::npos);
        EXPECT_EQ(sink.buffered_bytes(), 0u);
    }
}

TEST(BufferedConsoleSink, AFullChunkIsWrittenWithoutAFlushAndOnlyInWholeLines) {
    TemporaryFile file;
    BufferedConsoleSink sink(file.file(), false);
    const std::string text(100, 'x');
    int logged = 0;
    while (file.text().empty()) {
        sink.log(info_line(text));
        ++logged;
        ASSERT_LT(logged, 10'000);
    }
    const std::string written = file.text();
    EXPECT_GE(written.size(), BufferedConsoleSink::chunk_bytes);
    EXPECT_EQ(written.back(), '\n');
    EXPECT_EQ(sink.buffered_bytes(), 0u);
}

TEST(BufferedConsoleSink, APatternSetThroughSpdlogReplacesTheLineFormat) {
    TemporaryFile file;
    {
        BufferedConsoleSink sink(file.file(), true);
        sink.set_pattern("<%^%l%$> %v");
        sink.log(info_line("plain"));
    }
    EXPECT_EQ(file.text(), "<\033[32minfo\033[m> plain\n");
}

TEST(InstallBufferedConsoleLog, ReplacesTheSinksKeepsTheLevelAndLeavesRoomForACapture) {
    auto logger = spdlog::default_logger();
    const std::vector<spdlog::sink_ptr> sinks_before = logger->sinks();
    const auto level_before = logger->level();

    install_buffered_console_log();
    ASSERT_EQ(logger->sinks().size(), 1u);
    EXPECT_NE(std::dynamic_pointer_cast<BufferedConsoleSink>(logger->sinks()[0]), nullptr);
    EXPECT_EQ(logger->level(), level_before);
    {
        test_support::LogCapture log;
        SPDLOG_INFO("seen by the capture");
        EXPECT_TRUE(log.contains(spdlog::level::info, "seen by the capture"));
    }
    flush_log();
    logger->sinks() = sinks_before;
}

}  // namespace
