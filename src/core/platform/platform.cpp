#include "core/platform/platform.h"

#ifdef _WIN32
#include <algorithm>

#include <io.h>
#include <windows.h>
#else
#include <cerrno>

#include <spdlog/details/os.h>

#include <poll.h>
#include <unistd.h>
#endif

namespace Platform {

#ifdef _WIN32

bool console_takes_colours(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
        return false;  // a pipe or a file
    }
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) {
        return true;
    }
    // Consoles before Windows 10 refuse the flag and would print the codes raw.
    return SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

bool write_console(std::FILE* stream, std::string_view bytes) {
    const int fd = _fileno(stream);
    while (!bytes.empty()) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
        const int written = _write(fd, bytes.data(), chunk);
        if (written < 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

#else

namespace {

// Waits until a descriptor opened without blocking takes bytes again.
bool wait_until_writable(int fd) {
    pollfd poll_fd{.fd = fd, .events = POLLOUT, .revents = 0};
    return ::poll(&poll_fd, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

bool console_takes_colours(std::FILE* stream) {
    return spdlog::details::os::in_terminal(stream) && spdlog::details::os::is_color_terminal();
}

bool write_console(std::FILE* stream, std::string_view bytes) {
    const int fd = ::fileno(stream);
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written >= 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!wait_until_writable(fd)) {
                return false;
            }
        } else if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

#endif

}  // namespace Platform
