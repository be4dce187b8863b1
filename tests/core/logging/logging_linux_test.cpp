#include "core/logging/logging.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <spdlog/spdlog.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string read_all(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        text.append(buffer, count);
    }
    return text;
}

// The default logger, as the entry point sets it up, in a child process that
// ends through exit() without flushing.
TEST(BufferedConsoleSink, TheDefaultLoggerLosesNoLineAtExit) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(fileno(file), STDOUT_FILENO);
        install_buffered_console_log();
        for (int i = 0; i < 1000; ++i) {
            SPDLOG_INFO("line {}", i);
        }
        spdlog::info("last");
        std::exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    const std::string text = read_all(file);
    std::fclose(file);
    std::size_t from = 0;
    for (int i = 0; i < 1000; ++i) {
        from = text.find("] line " + std::to_string(i) + "\n", from);
        ASSERT_NE(from, std::string::npos) << "line " << i;
    }
    EXPECT_NE(text.find("[info] last\n", from), std::string::npos);
}

}  // namespace
