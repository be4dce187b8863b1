#include "apps/support/child_process.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace apps_test {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> null_terminated(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::chrono::milliseconds left_until(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

}  // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program,
                           const std::vector<std::string>& environment,
                           const std::filesystem::path& working_directory) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        return;
    }
    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls.
    std::vector<std::string> arguments{program.string()};
    std::vector<std::string> environment_copy = environment;
    const std::vector<char*> argv = null_terminated(arguments);
    const std::vector<char*> envp = null_terminated(environment_copy);
    const std::string directory = working_directory.string();

    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        dup2(pipe_fds[1], STDERR_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        if (chdir(directory.c_str()) == 0) {
            execve(argv[0], argv.data(), envp.data());
        }
        _exit(127);
    }
    close(pipe_fds[1]);
    output_fd_ = pipe_fds[0];
    if (pid_ < 0) {
        close(output_fd_);
        output_fd_ = -1;
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (output_fd_ >= 0) {
        close(output_fd_);
    }
}

bool ChildProcess::read_some(std::chrono::milliseconds timeout) {
    pollfd waiting{output_fd_, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(timeout.count()));
    if (ready < 0) {
        return errno == EINTR;
    }
    if (ready == 0) {
        return true;
    }
    char buffer[65536];
    const ssize_t count = read(output_fd_, buffer, sizeof buffer);
    if (count <= 0) {
        return count < 0 && errno == EINTR;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

std::optional<std::string> ChildProcess::read_until_any(
    const std::vector<std::string_view>& texts, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        for (std::string_view text : texts) {
            if (output_.find(text) != std::string::npos) {
                return std::string(text);
            }
        }
        if (Clock::now() >= deadline || !read_some(left_until(deadline))) {
            return std::nullopt;
        }
    }
}

void ChildProcess::send_signal(int signal_number) {
    if (pid_ > 0) {
        kill(pid_, signal_number);
    }
}

ChildExit ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && read_some(left_until(deadline))) {
    }
    if (Clock::now() >= deadline) {
        kill(pid_, SIGKILL);
    }
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    const int exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {exit_code, output_};
}

std::filesystem::path game_executable() {
    // The game of this build, so a sanitizer build runs its own children.
    return std::filesystem::absolute(VOIDLANCE_GAME_EXECUTABLE);
}

ChildExit run_game(const std::vector<std::string>& environment,
                   const std::filesystem::path& working_directory) {
    ChildProcess game(game_executable(), environment, working_directory);
    if (!game.started()) {
        return {};
    }
    return game.wait(std::chrono::seconds(20));
}

}  // namespace apps_test
