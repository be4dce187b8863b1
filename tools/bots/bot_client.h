#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include <enet/enet.h>

#include "core/enet_conn/enet_conn.h"

using BotClock = std::chrono::steady_clock;

// When a bot saw a batch carrying the server's fixed-tick count `tick`.
struct TickSighting {
    std::uint32_t tick = 0;
    BotClock::time_point seen_at;
};

// What one bot received since its counters were last reset.
struct BotTraffic {
    std::int64_t reliable_messages = 0;
    std::int64_t unreliable_messages = 0;
    // The server sends one with every replication, 20 a second to each client.
    std::int64_t match_states = 0;
    std::int64_t payload_bytes = 0;
    std::int64_t packets = 0;
    std::optional<TickSighting> first_tick;
    std::optional<TickSighting> last_tick;
};

// One headless player: its own ENet host with one peer, the ship the server
// assigned to it and where that ship was last reported.
struct BotClient {
    int index = 0;
    EnetConn conn;
    ENetPeer* server = nullptr;
    bool connected = false;
    // The server dropped this bot after it had connected.
    bool lost = false;
    std::uint32_t ship_id = 0;
    float ship_x = 0.0f;
    float ship_y = 0.0f;
    std::uint32_t inputs_sent = 0;
    BotTraffic traffic;
};

// Starts the connection attempt; false when no ENet host could be made.
bool start_bot(BotClient& bot, const std::string& host, int port);

// Handles every pending event: connects, disconnects and received batches,
// which are decoded, counted and scanned for the bot's own ship.
void pump_bot(BotClient& bot, BotClock::time_point now);

// Queues one ClientInput for the server; it leaves with the next pump.
void send_bot_input(BotClient& bot, double seconds);

// Says goodbye to the server and gives the farewell a moment to leave.
void leave_server(BotClient& bot);
