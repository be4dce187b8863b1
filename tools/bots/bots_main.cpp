// Connects N bot players to a server and reports what each receives.
//   voidlance_bots --host 127.0.0.1 --port 1234 --clients 100 --seconds 60 --report FILE
// The measuring window opens once every bot is connected (or after a wait of
// at most connect_wait) and lasts --seconds.
#include <chrono>
#include <cstdlib>
#include <optional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <enet/enet.h>
#include <fmt/format.h>
#include <spdlog/spdlog.h>

#include "bot_client.h"
#include "load_options.h"
#include "load_stats.h"

namespace {

using namespace std::chrono_literals;

constexpr auto connect_wait = 20s;
constexpr auto input_interval = 50ms;
constexpr auto pump_pause = 1ms;

using Bots = std::vector<std::unique_ptr<BotClient>>;

double seconds_between(BotClock::time_point from, BotClock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

int count_connected(const Bots& bots) {
    int connected = 0;
    for (const auto& bot : bots) {
        connected += bot->connected ? 1 : 0;
    }
    return connected;
}

void pump_all(Bots& bots) {
    const auto now = BotClock::now();
    for (auto& bot : bots) {
        pump_bot(*bot, now);
    }
}

bool wait_for_connections(Bots& bots) {
    const auto give_up_at = BotClock::now() + connect_wait;
    while (count_connected(bots) < static_cast<int>(bots.size()) && BotClock::now() < give_up_at) {
        pump_all(bots);
        std::this_thread::sleep_for(pump_pause);
    }
    return count_connected(bots) > 0;
}

void play(Bots& bots, double seconds) {
    const auto start = BotClock::now();
    const auto end = start + std::chrono::duration_cast<BotClock::duration>(
                                 std::chrono::duration<double>(seconds));
    auto next_input = start;
    for (auto& bot : bots) {
        bot->traffic = {};
    }
    while (BotClock::now() < end) {
        pump_all(bots);
        if (BotClock::now() >= next_input) {
            const double elapsed = seconds_between(start, BotClock::now());
            for (auto& bot : bots) {
                if (bot->connected) {
                    send_bot_input(*bot, elapsed);
                }
            }
            next_input += input_interval;
        }
        std::this_thread::sleep_for(pump_pause);
    }
}

// The server's fixed ticks per second, from the ticks its batches carried.
std::optional<double> server_tick_rate(const BotTraffic& traffic) {
    if (!traffic.first_tick || !traffic.last_tick) {
        return std::nullopt;
    }
    const double span = seconds_between(traffic.first_tick->seen_at, traffic.last_tick->seen_at);
    if (span <= 0.0) {
        return std::nullopt;
    }
    return (traffic.last_tick->tick - traffic.first_tick->tick) / span;
}

std::string spread_line(const char* what, const std::vector<double>& values) {
    const Spread spread = spread_of(values);
    return fmt::format("  {:<34} mean {:>10.1f}   min {:>10.1f}   max {:>10.1f}\n", what,
                       spread.mean, spread.min, spread.max);
}

std::string report(const Bots& bots, int connected_at_start, double seconds) {
    std::vector<double> reliable, unreliable, match_states, bytes, packets, tick_rates;
    int lost = 0;
    for (const auto& bot : bots) {
        lost += bot->lost ? 1 : 0;
        if (!bot->connected && !bot->lost) {
            continue;
        }
        reliable.push_back(bot->traffic.reliable_messages / seconds);
        unreliable.push_back(bot->traffic.unreliable_messages / seconds);
        match_states.push_back(bot->traffic.match_states / seconds);
        bytes.push_back(bot->traffic.payload_bytes / seconds);
        packets.push_back(bot->traffic.packets / seconds);
        if (const auto rate = server_tick_rate(bot->traffic)) {
            tick_rates.push_back(*rate);
        }
    }
    std::string text = fmt::format(
        "bots: {} of {} connected, window {:.1f} s, {} dropped by the server during it\n",
        connected_at_start, bots.size(), seconds, lost);
    text += "received per client per second:\n";
    text += spread_line("reliable messages", reliable);
    text += spread_line("unreliable messages", unreliable);
    text += spread_line("match states (20 sent)", match_states);
    text += spread_line("payload bytes", bytes);
    text += spread_line("packets", packets);
    text += spread_line("server fixed ticks/s (batch ticks)", tick_rates);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    LoadOptions options;
    if (!parse_load_options(argc, argv, options)) {
        return 2;
    }
    // The bots are not under test: keep their own send traces off the console.
    spdlog::set_level(spdlog::level::warn);
    if (enet_initialize() != 0) {
        spdlog::error("An error occurred while initializing ENet.");
        return 1;
    }
    std::atexit(enet_deinitialize);

    Bots bots;
    for (int index = 0; index < options.clients; ++index) {
        auto bot = std::make_unique<BotClient>();
        bot->index = index;
        if (!start_bot(*bot, options.host, options.port)) {
            return 1;
        }
        bots.push_back(std::move(bot));
    }
    if (!wait_for_connections(bots)) {
        write_report(options, "bots: none could connect\n");
        return 1;
    }
    const int connected_at_start = count_connected(bots);
    play(bots, options.seconds);
    write_report(options, report(bots, connected_at_start, options.seconds));
    for (auto& bot : bots) {
        leave_server(*bot);
    }
    return 0;
}
