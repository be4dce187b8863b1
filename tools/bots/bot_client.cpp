#include "bot_client.h"

#include <array>
#include <type_traits>
#include <variant>

#include "bot_input.h"
#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"

namespace {

void follow_own_ship(BotClient& bot, const NetMsg& message) {
    std::visit(
        [&bot](const auto& record) {
            using Record = std::decay_t<decltype(record)>;
            if constexpr (std::is_same_v<Record, NetMsgs::AssignShip>) {
                bot.ship_id = record.ship_id;
            } else if constexpr (std::is_same_v<Record, NetMsgs::ShipSnapshot> ||
                                 std::is_same_v<Record, NetMsgs::ShipSpawn>) {
                if (record.id == bot.ship_id) {
                    bot.ship_x = record.x;
                    bot.ship_y = record.y;
                }
            }
        },
        message);
}

void count_batch(BotClient& bot, const ENetPacket& packet, const NetMsgBatch& batch,
                 BotClock::time_point now) {
    BotTraffic& traffic = bot.traffic;
    const auto messages = static_cast<std::int64_t>(batch.messages.size());
    if ((packet.flags & ENET_PACKET_FLAG_RELIABLE) != 0) {
        traffic.reliable_messages += messages;
    } else {
        traffic.unreliable_messages += messages;
    }
    traffic.payload_bytes += static_cast<std::int64_t>(packet.dataLength);
    ++traffic.packets;
    const TickSighting sighting{batch.tick, now};
    if (!traffic.first_tick) {
        traffic.first_tick = sighting;
    }
    if (!traffic.last_tick || batch.tick > traffic.last_tick->tick) {
        traffic.last_tick = sighting;
    }
}

void receive_packet(BotClient& bot, ENetPacket* packet, BotClock::time_point now) {
    const NetMsgBatch batch = deserialize_net_msg_batch(packet);
    count_batch(bot, *packet, batch, now);
    enet_packet_destroy(packet);
    for (const NetMsg& message : batch.messages) {
        follow_own_ship(bot, message);
        if (std::holds_alternative<NetMsgs::CaptureTheFlagMatchState>(message)) {
            ++bot.traffic.match_states;
        }
    }
}

}  // namespace

bool start_bot(BotClient& bot, const std::string& host, int port) {
    const auto peer = bot.conn.connect(host, port);
    if (!peer) {
        return false;
    }
    bot.server = *peer;
    return true;
}

void pump_bot(BotClient& bot, BotClock::time_point now) {
    for (const ENetEvent& event : bot.conn.pump()) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                bot.connected = true;
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                bot.lost = bot.connected;
                bot.connected = false;
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                receive_packet(bot, event.packet, now);
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

void send_bot_input(BotClient& bot, double seconds) {
    std::array<NetMsg, 1> input{scripted_bot_input(bot.index, seconds, bot.ship_x, bot.ship_y)};
    send_peer(bot.server, input, ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT, bot.inputs_sent++);
}

void leave_server(BotClient& bot) {
    if (!bot.connected) {
        return;
    }
    enet_peer_disconnect(bot.server, 0);
    pump_bot(bot, BotClock::now());
}
