#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/sinks/sink.h>
#include <spdlog/spdlog.h>

// The console sink of the default logger. spdlog's own console sinks flush
// after every line, one write per line; this one keeps spdlog's default line
// format ("[%Y-%m-%d %H:%M:%S.%e] [%l] [file:line] text", the level coloured
// on a colour terminal) but gathers the lines and writes them in large chunks.
// It writes when a chunk is full, at once for a line of warn level or above,
// on every flush and when it is destroyed, so no line is lost at exit.
class BufferedConsoleSink final : public spdlog::sinks::sink {
public:
    static constexpr std::size_t chunk_bytes = 64 * 1024;

    // Colours follow spdlog's rule: only on a terminal that takes them.
    explicit BufferedConsoleSink(std::FILE* target = stdout);
    BufferedConsoleSink(std::FILE* target, bool colours);
    ~BufferedConsoleSink() override;
    BufferedConsoleSink(const BufferedConsoleSink&) = delete;
    BufferedConsoleSink& operator=(const BufferedConsoleSink&) = delete;

    void log(const spdlog::details::log_msg& msg) override;
    // Writes what is gathered; costs nothing when nothing is.
    void flush() override;
    // A pattern or formatter set through spdlog replaces the built-in line format.
    void set_pattern(const std::string& pattern) override;
    void set_formatter(std::unique_ptr<spdlog::formatter> sink_formatter) override;

    std::size_t buffered_bytes() const;

private:
    // "[basename:line] " for one source location, kept while the location recurs.
    struct SourceTag {
        const char* filename = nullptr;
        int line = 0;
        std::string text;
    };

    void append_line(const spdlog::details::log_msg& msg);
    void append_formatted_line(const spdlog::details::log_msg& msg);
    const std::string& second_text(std::int64_t nanoseconds_since_epoch,
                                   std::chrono::system_clock::time_point time);
    const std::string& source_text(const spdlog::source_loc& source);
    // Room for `more` bytes past the used ones; returns where they go.
    char* make_room(std::size_t more);
    void append(std::string_view text);
    void write_out();

    std::FILE* target_;
    bool colours_;
    // The gathered lines are the first `used_` bytes.
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::unique_ptr<spdlog::formatter> custom_formatter_;
    // "[level] ", coloured or not, by level.
    std::array<std::string, spdlog::level::n_levels> level_texts_;
    // "[YYYY-mm-dd HH:MM:SS." of the second that began at `second_start_ns_`.
    std::int64_t second_start_ns_ = -1;
    std::string second_text_;
    std::array<SourceTag, 64> source_tags_;
    mutable std::mutex mutex_;
};

// Puts a BufferedConsoleSink on standard output in place of the default
// logger's sinks; the level stays as it is.
void install_buffered_console_log();

// Writes every line the default logger's sinks hold; the end of each main-loop
// pass and the end of the program call it.
void flush_log();
