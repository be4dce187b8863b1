// The game server under load, measured from inside: the same engine, network,
// world and game module as ServerApp::run, driven pass by pass in the same
// order, with a clock around every engine step that ran a tick.
//   voidlance_load_server --port 1234 --clients 100 --seconds 60 --report FILE [--log off]
// The window opens once --clients clients are connected (or after a wait of at
// most client_wait) and lasts --seconds. The server's own log goes to standard
// output as usual, at the level SPDLOG_LEVEL names as in the game (--log off
// silences it, to show what the log costs); the report goes to --report.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <enet/enet.h>
#include <fmt/format.h>
#include <spdlog/cfg/env.h>

#include "apps/server_app/server_app.h"
#include "core/constants/constants.h"
#include "core/logging/logging.h"
#include "core/store/store.h"
#include "load_options.h"
#include "load_stats.h"
#include "server/modules/capture_the_flag/capture_the_flag.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto client_wait = 30s;

struct HostCounters {
    std::uint32_t sent_bytes = 0;
    std::uint32_t sent_packets = 0;
};

struct LoadWindow {
    double seconds = 0.0;
    int clients = 0;
    std::uint32_t fixed_ticks = 0;
    std::int64_t passes = 0;
    // Milliseconds of every engine step that passed the tick gate, and of
    // those among them that replicated the world to the clients.
    std::vector<double> tick_step_ms;
    std::vector<double> net_send_step_ms;
    int most_fixed_ticks_in_one_step = 0;
    HostCounters sent;
};

HostCounters host_counters(const Server::Network& network) {
    const ENetHost* host = network.enet_conn.enet_host.get();
    return {host->totalSentData, host->totalSentPackets};
}

// A step that passed the gate restarts the tick timer with the full interval.
bool engine_ticked(const Engine& engine) {
    return engine.tick_timer.remaining_time_seconds ==
           static_cast<double>(Constants::tick_interval_seconds);
}

// Likewise a step that replicated restarts the net send timer.
bool engine_replicated(const Engine& engine) {
    return engine.net_send_timer.remaining_time_seconds ==
           static_cast<double>(Constants::net_send_interval_seconds);
}

void wait_for_clients(Engine& engine, Server::Network& network, int clients) {
    const auto give_up_at = Clock::now() + client_wait;
    while (!server_shutdown_requested.load() && network.num_clients() < clients &&
           Clock::now() < give_up_at) {
        run_server_pass(engine, network);
    }
}

// The passes of run_server_loop, with the engine step timed.
LoadWindow measure_passes(Engine& engine, Server::Network& network, double seconds) {
    LoadWindow window;
    window.tick_step_ms.reserve(static_cast<std::size_t>(seconds * 70.0));
    window.net_send_step_ms.reserve(static_cast<std::size_t>(seconds * 25.0));
    const std::uint32_t fixed_ticks_at_start = engine.fixed_tick_count;
    const HostCounters sent_at_start = host_counters(network);
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(seconds));
    while (!server_shutdown_requested.load() && Clock::now() < end) {
        feed_server_engine(engine, network);
        const std::uint32_t fixed_ticks_before = engine.fixed_tick_count;
        const auto step_start = Clock::now();
        engine.step();
        const auto step_end = Clock::now();
        if (engine_ticked(engine)) {
            const double step_ms =
                std::chrono::duration<double, std::milli>(step_end - step_start).count();
            window.tick_step_ms.push_back(step_ms);
            if (engine_replicated(engine)) {
                window.net_send_step_ms.push_back(step_ms);
            }
            window.most_fixed_ticks_in_one_step =
                std::max(window.most_fixed_ticks_in_one_step,
                         static_cast<int>(engine.fixed_tick_count - fixed_ticks_before));
        }
        finish_server_pass(network);
        ++window.passes;
    }
    window.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    window.clients = network.num_clients();
    window.fixed_ticks = engine.fixed_tick_count - fixed_ticks_at_start;
    const HostCounters sent_at_end = host_counters(network);
    window.sent = {sent_at_end.sent_bytes - sent_at_start.sent_bytes,
                   sent_at_end.sent_packets - sent_at_start.sent_packets};
    return window;
}

std::string world_line(const Store& store) {
    return fmt::format("  world at the end                  {} ships, {} mounts, {} projectiles\n",
                       store.ships.size(), store.mounts.size(), store.projectiles.size());
}

std::string report(const LoadWindow& window, std::string_view log_level) {
    const double per_client_second =
        window.clients > 0 ? 1.0 / (window.clients * window.seconds) : 0.0;
    const Spread tick_steps = spread_of(window.tick_step_ms);
    return fmt::format(
        "server: {} clients, window {:.1f} s, {} hardware threads, log {}\n"
        "  fixed ticks per second            {:.2f} ({} fixed ticks)\n"
        "  engine ticks per second           {:.2f}\n"
        "  engine tick step time (ms)        p50 {:.3f}   p99 {:.3f}   mean {:.3f}   max {:.3f}\n"
        "    of which replicating (ms)       p50 {:.3f}   p99 {:.3f}   ({} steps)\n"
        "  most fixed ticks in one step      {}\n"
        "  loop passes per second            {:.0f}\n"
        "  bytes sent per client per second  {:.0f} (ENet, headers included; {:.1f} packets)\n",
        window.clients, window.seconds, std::thread::hardware_concurrency(), log_level,
        window.fixed_ticks / window.seconds, window.fixed_ticks,
        window.tick_step_ms.size() / window.seconds, percentile(window.tick_step_ms, 0.5),
        percentile(window.tick_step_ms, 0.99), tick_steps.mean, tick_steps.max,
        percentile(window.net_send_step_ms, 0.5), percentile(window.net_send_step_ms, 0.99),
        window.net_send_step_ms.size(),
        window.most_fixed_ticks_in_one_step, window.passes / window.seconds,
        window.sent.sent_bytes * per_client_second, window.sent.sent_packets * per_client_second);
}

}  // namespace

int main(int argc, char** argv) {
    install_buffered_console_log();
    spdlog::cfg::load_env_levels();
    LoadOptions options;
    if (!parse_load_options(argc, argv, options)) {
        return 2;
    }
    if (enet_initialize() != 0) {
        spdlog::error("An error occurred while initializing ENet.");
        return 1;
    }
    std::atexit(enet_deinitialize);
    std::signal(SIGINT, on_sigint_server);
    if (!options.log) {
        spdlog::set_level(spdlog::level::off);
    }

    // Set up as ServerApp::run does, on the port asked for.
    Config config;
    Engine engine(config);
    Server::Network network;
    if (!network.listen(options.port)) {
        write_report(options, fmt::format("server: could not listen on port {}\n", options.port));
        return 1;
    }
    engine.network = &network;
    Store store;
    Server::CaptureTheFlagModule module(&config, &engine, &network, &store);

    wait_for_clients(engine, network, options.clients);
    const LoadWindow window = measure_passes(engine, network, options.seconds);
    const spdlog::string_view_t level = spdlog::level::to_string_view(spdlog::get_level());
    write_report(options, report(window, std::string_view(level.data(), level.size())) +
                              world_line(store));
    return 0;
}
