#include "core/logging/logging.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>

#include <fmt/format.h>
#include <spdlog/details/log_msg.h>
#include <spdlog/details/os.h>
#include <spdlog/formatter.h>
#include <spdlog/pattern_formatter.h>

#include "core/platform/platform.h"

namespace {

// The colours of spdlog's console sinks, by level.
constexpr std::array<std::string_view, spdlog::level::n_levels> level_colours{
    "\033[37m",         // trace: white
    "\033[36m",         // debug: cyan
    "\033[32m",         // info: green
    "\033[33m\033[1m",  // warn: bold yellow
    "\033[31m\033[1m",  // err: bold red
    "\033[1m\033[41m",  // critical: bold on red
    "\033[m",           // off
};
constexpr std::string_view colour_reset = "\033[m";

constexpr std::int64_t nanoseconds_per_second = 1'000'000'000;
constexpr std::int64_t nanoseconds_per_millisecond = 1'000'000;

std::string_view colour_of(spdlog::level::level_enum level) {
    return level_colours[static_cast<std::size_t>(level)];
}

std::string level_text(spdlog::level::level_enum level, bool colours) {
    const spdlog::string_view_t name = spdlog::level::to_string_view(level);
    if (!colours) {
        return fmt::format("[{}] ", fmt::string_view(name.data(), name.size()));
    }
    return fmt::format("[{}{}{}] ", colour_of(level), fmt::string_view(name.data(), name.size()),
                       colour_reset);
}

const char* basename_of(const char* path) {
    const char* last_slash = std::strrchr(path, '/');
    return last_slash != nullptr ? last_slash + 1 : path;
}

}  // namespace

BufferedConsoleSink::BufferedConsoleSink(std::FILE* target)
    : BufferedConsoleSink(target, Platform::console_takes_colours(target)) {}

BufferedConsoleSink::BufferedConsoleSink(std::FILE* target, bool colours)
    : target_(target), colours_(colours) {
    // A line may end past the chunk size before the chunk is written.
    buffer_.resize(chunk_bytes + 4096);
    for (std::size_t level = 0; level < level_texts_.size(); ++level) {
        level_texts_[level] = level_text(static_cast<spdlog::level::level_enum>(level), colours);
    }
}

BufferedConsoleSink::~BufferedConsoleSink() { flush(); }

void BufferedConsoleSink::log(const spdlog::details::log_msg& msg) {
    const std::lock_guard lock(mutex_);
    if (custom_formatter_) {
        append_formatted_line(msg);
    } else {
        append_line(msg);
    }
    if (msg.level >= spdlog::level::warn || used_ >= chunk_bytes) {
        write_out();
    }
}

void BufferedConsoleSink::flush() {
    const std::lock_guard lock(mutex_);
    if (used_ > 0) {
        write_out();
    }
}

void BufferedConsoleSink::set_pattern(const std::string& pattern) {
    // Lines end in "\n" as the built-in format's do; the C runtime turns that
    // into "\r\n" on a Windows console.
    set_formatter(std::make_unique<spdlog::pattern_formatter>(
        pattern, spdlog::pattern_time_type::local, "\n"));
}

void BufferedConsoleSink::set_formatter(std::unique_ptr<spdlog::formatter> sink_formatter) {
    const std::lock_guard lock(mutex_);
    custom_formatter_ = std::move(sink_formatter);
}

std::size_t BufferedConsoleSink::buffered_bytes() const {
    const std::lock_guard lock(mutex_);
    return used_;
}

// The layout of spdlog's full formatter, "[date time.ms] [name] [level]
// [file:line] text", with the date, the level and every source location's
// text kept instead of formatted anew, and each line copied in at once.
void BufferedConsoleSink::append_line(const spdlog::details::log_msg& msg) {
    const std::int64_t since_epoch =
        std::chrono::duration_cast<std::chrono::nanoseconds>(msg.time.time_since_epoch()).count();
    const std::string& second = second_text(since_epoch, msg.time);
    const auto millis =
        static_cast<unsigned>((since_epoch - second_start_ns_) / nanoseconds_per_millisecond);
    const std::string_view name(msg.logger_name.data(), msg.logger_name.size());
    const std::string& level = level_texts_[static_cast<std::size_t>(msg.level)];
    const std::string_view source =
        msg.source.empty() ? std::string_view{} : std::string_view{source_text(msg.source)};
    const std::string_view payload(msg.payload.data(), msg.payload.size());

    const std::size_t name_size = name.empty() ? 0 : name.size() + 3;
    char* out = make_room(second.size() + 5 + name_size + level.size() + source.size() +
                          payload.size() + 1);
    const auto put = [&out](std::string_view text) {
        // An empty text may have no storage at all, and memcpy takes no null pointer.
        if (text.empty()) {
            return;
        }
        std::memcpy(out, text.data(), text.size());
        out += text.size();
    };
    put(second);
    out[0] = static_cast<char>('0' + millis / 100);
    out[1] = static_cast<char>('0' + millis / 10 % 10);
    out[2] = static_cast<char>('0' + millis % 10);
    out[3] = ']';
    out[4] = ' ';
    out += 5;
    if (!name.empty()) {
        put("[");
        put(name);
        put("] ");
    }
    put(level);
    put(source);
    put(payload);
    *out++ = '\n';
    used_ = static_cast<std::size_t>(out - buffer_.data());
}

// A pattern set through spdlog, coloured the way spdlog's console sink does.
void BufferedConsoleSink::append_formatted_line(const spdlog::details::log_msg& msg) {
    msg.color_range_start = 0;
    msg.color_range_end = 0;
    spdlog::memory_buf_t formatted;
    custom_formatter_->format(msg, formatted);
    const std::string_view line(formatted.data(), formatted.size());
    if (!colours_ || msg.color_range_end <= msg.color_range_start) {
        append(line);
        return;
    }
    const std::size_t start = msg.color_range_start;
    const std::size_t end = msg.color_range_end;
    append(line.substr(0, start));
    append(colour_of(msg.level));
    append(line.substr(start, end - start));
    append(colour_reset);
    append(line.substr(end));
}

const std::string& BufferedConsoleSink::second_text(std::int64_t nanoseconds_since_epoch,
                                                    std::chrono::system_clock::time_point time) {
    if (second_start_ns_ >= 0 && nanoseconds_since_epoch >= second_start_ns_ &&
        nanoseconds_since_epoch - second_start_ns_ < nanoseconds_per_second) [[likely]] {
        return second_text_;
    }
    const std::tm local = spdlog::details::os::localtime(std::chrono::system_clock::to_time_t(time));
    second_text_ = fmt::format("[{}-{:02}-{:02} {:02}:{:02}:{:02}.", local.tm_year + 1900,
                               local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                               local.tm_sec);
    second_start_ns_ = nanoseconds_since_epoch - nanoseconds_since_epoch % nanoseconds_per_second;
    return second_text_;
}

const std::string& BufferedConsoleSink::source_text(const spdlog::source_loc& source) {
    const auto address = reinterpret_cast<std::uintptr_t>(source.filename);
    const std::size_t slot =
        ((address >> 4) ^ static_cast<std::size_t>(source.line) * 31u) % source_tags_.size();
    SourceTag& tag = source_tags_[slot];
    if (tag.filename == source.filename && tag.line == source.line) [[likely]] {
        return tag.text;
    }
    tag.filename = source.filename;
    tag.line = source.line;
    tag.text = fmt::format("[{}:{}] ", basename_of(source.filename), source.line);
    return tag.text;
}

char* BufferedConsoleSink::make_room(std::size_t more) {
    if (used_ + more > buffer_.size()) {
        buffer_.resize(std::max(buffer_.size() * 2, used_ + more));
    }
    return buffer_.data() + used_;
}

void BufferedConsoleSink::append(std::string_view text) {
    if (text.empty()) {
        return;
    }
    std::memcpy(make_room(text.size()), text.data(), text.size());
    used_ += text.size();
}

void BufferedConsoleSink::write_out() {
    // Whatever went to the same stream through stdio comes first.
    std::fflush(target_);
    // A closed or broken console: these lines cannot be shown anywhere.
    Platform::write_console(target_, std::string_view(buffer_.data(), used_));
    used_ = 0;
}

void install_buffered_console_log() {
    spdlog::default_logger_raw()->sinks() = {std::make_shared<BufferedConsoleSink>()};
}

void flush_log() { spdlog::default_logger_raw()->flush(); }
