#include "core/logging/logging.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <fmt/format.h>
#include <poll.h>
#include <spdlog/details/log_msg.h>
#include <spdlog/details/os.h>
#include <spdlog/formatter.h>
#include <spdlog/pattern_formatter.h>
#include <spdlog/spdlog.h>
#include <unistd.h>

namespace {

// The colours of spdlog's console sinks, by level.
constexpr std::array<std::string_view, spdlog::level::n_levels> level_colours{
    "\033[37m",          // trace: white
    "\033[36m",          // debug: cyan
    "\033[32m",          // info: green
    "\033[33m\033[1m",   // warn: bold yellow
    "\033[31m\033[1m",   // err: bold red
    "\033[1m\033[41m",   // critical: bold on red
    "\033[m",            // off
};
constexpr std::string_view colour_reset = "\033[m";

std::string_view level_name(spdlog::level::level_enum level) {
    const spdlog::string_view_t name = spdlog::level::to_string_view(level);
    return {name.data(), name.size()};
}

std::string_view colour_of(spdlog::level::level_enum level) {
    return level_colours[static_cast<std::size_t>(level)];
}

const char* basename_of(const char* path) {
    const char* last_slash = std::strrchr(path, '/');
    return last_slash != nullptr ? last_slash + 1 : path;
}

void put_digits(std::string& out, unsigned value, int width) {
    char digits[3];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits, static_cast<std::size_t>(width));
}

// Waits until a descriptor opened without blocking takes bytes again.
bool wait_until_writable(int fd) {
    pollfd poll_fd{.fd = fd, .events = POLLOUT, .revents = 0};
    return ::poll(&poll_fd, 1, -1) >= 0 || errno == EINTR;
}

}  // namespace

BufferedConsoleSink::BufferedConsoleSink(std::FILE* target)
    : BufferedConsoleSink(target, spdlog::details::os::in_terminal(target) &&
                                      spdlog::details::os::is_color_terminal()) {}

BufferedConsoleSink::BufferedConsoleSink(std::FILE* target, bool colours)
    : target_(target), colours_(colours) {
    // A line may end past the chunk size before the chunk is written.
    buffer_.reserve(chunk_bytes + 4096);
}

BufferedConsoleSink::~BufferedConsoleSink() { flush(); }

void BufferedConsoleSink::log(const spdlog::details::log_msg& msg) {
    const std::lock_guard lock(mutex_);
    append_line(msg);
    if (msg.level >= spdlog::level::warn || buffer_.size() >= chunk_bytes) {
        write_out();
    }
}

void BufferedConsoleSink::flush() {
    const std::lock_guard lock(mutex_);
    if (!buffer_.empty()) {
        write_out();
    }
}

void BufferedConsoleSink::set_pattern(const std::string& pattern) {
    set_formatter(std::make_unique<spdlog::pattern_formatter>(pattern));
}

void BufferedConsoleSink::set_formatter(std::unique_ptr<spdlog::formatter> sink_formatter) {
    const std::lock_guard lock(mutex_);
    custom_formatter_ = std::move(sink_formatter);
}

std::size_t BufferedConsoleSink::buffered_bytes() const {
    const std::lock_guard lock(mutex_);
    return buffer_.size();
}

// The layout of spdlog's full formatter, with the date and every source
// location's text kept instead of formatted anew for each line.
void BufferedConsoleSink::append_line(const spdlog::details::log_msg& msg) {
    if (custom_formatter_) {
        msg.color_range_start = 0;
        msg.color_range_end = 0;
        spdlog::memory_buf_t formatted;
        custom_formatter_->format(msg, formatted);
        const std::string_view line(formatted.data(), formatted.size());
        if (colours_ && msg.color_range_end > msg.color_range_start) {
            const std::size_t start = msg.color_range_start;
            const std::size_t end = msg.color_range_end;
            append(line.substr(0, start));
            append(colour_of(msg.level));
            append(line.substr(start, end - start));
            append(colour_reset);
            append(line.substr(end));
        } else {
            append(line);
        }
        return;
    }
    append_time(msg.time);
    if (msg.logger_name.size() > 0) {
        buffer_.push_back('[');
        append({msg.logger_name.data(), msg.logger_name.size()});
        append("] ");
    }
    append_level(msg.level);
    if (!msg.source.empty()) {
        append_source(msg.source);
    }
    append({msg.payload.data(), msg.payload.size()});
    buffer_.push_back('\n');
}

void BufferedConsoleSink::append_time(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto since_epoch = time.time_since_epoch();
    if (since_epoch < cached_second_ || since_epoch >= cached_second_ + seconds{1} ||
        cached_second_text_.empty()) {
        const std::tm local = spdlog::details::os::localtime(system_clock::to_time_t(time));
        cached_second_text_ = fmt::format("[{}-{:02}-{:02} {:02}:{:02}:{:02}.", local.tm_year + 1900,
                                          local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                          local.tm_min, local.tm_sec);
        cached_second_ = duration_cast<seconds>(since_epoch);
    }
    append(cached_second_text_);
    const auto millis = duration_cast<milliseconds>(since_epoch - cached_second_);
    put_digits(buffer_, static_cast<unsigned>(millis.count()), 3);
    append("] ");
}

void BufferedConsoleSink::append_level(spdlog::level::level_enum level) {
    buffer_.push_back('[');
    if (colours_) {
        append(colour_of(level));
        append(level_name(level));
        append(colour_reset);
    } else {
        append(level_name(level));
    }
    append("] ");
}

void BufferedConsoleSink::append_source(const spdlog::source_loc& source) {
    const auto address = reinterpret_cast<std::uintptr_t>(source.filename);
    const std::size_t slot =
        ((address >> 4) ^ static_cast<std::size_t>(source.line) * 31u) % source_tags_.size();
    SourceTag& tag = source_tags_[slot];
    if (tag.filename != source.filename || tag.line != source.line || tag.text.empty()) {
        tag.filename = source.filename;
        tag.line = source.line;
        tag.text = fmt::format("[{}:{}] ", basename_of(source.filename), source.line);
    }
    append(tag.text);
}

void BufferedConsoleSink::write_out() {
    // Whatever went to the same stream through stdio comes first.
    std::fflush(target_);
    const int fd = ::fileno(target_);
    const char* next = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, left);
        if (written >= 0) {
            next += written;
            left -= static_cast<std::size_t>(written);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!wait_until_writable(fd)) {
                break;
            }
        } else if (errno != EINTR) {
            break;  // a closed or broken console: these lines cannot be shown anywhere
        }
    }
    buffer_.clear();
}

void install_buffered_console_log() {
    spdlog::default_logger_raw()->sinks() = {std::make_shared<BufferedConsoleSink>()};
}

void flush_log() { spdlog::default_logger_raw()->flush(); }
