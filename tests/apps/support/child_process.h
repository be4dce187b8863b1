#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace apps_test {

struct ChildExit {
    // The exit status, or -1 when a signal ended the process.
    int exit_code = -1;
    std::string output;
};

// The game executable run as a child process with exactly the given
// environment (entries "NAME=value") and working directory; its standard
// output and error are read through one pipe.
class ChildProcess {
public:
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& environment,
                 const std::filesystem::path& working_directory);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }

    // Reads until the output holds one of `texts` and returns the first one
    // found; empty when the output ended or `timeout` passed first.
    std::optional<std::string> read_until_any(const std::vector<std::string_view>& texts,
                                              std::chrono::milliseconds timeout);
    void send_signal(int signal_number);
    // Reads the rest of the output and waits for the exit; a child still
    // running after `timeout` is killed and reported as ended by a signal.
    ChildExit wait(std::chrono::milliseconds timeout);

private:
    // False once the output has ended.
    bool read_some(std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int output_fd_ = -1;
    std::string output_;
};

// build/voidlance under the repository root, the tests' working directory.
std::filesystem::path game_executable();

// Runs the game to its end (at most 20 s) and returns its exit code and output.
ChildExit run_game(const std::vector<std::string>& environment,
                   const std::filesystem::path& working_directory = std::filesystem::current_path());

}  // namespace apps_test
