#include "client/network/network.h"

#include <exception>
#include <utility>

#include <spdlog/spdlog.h>

#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"

namespace Client {

namespace {

int peer_state_number(const ENetPeer* peer) { return peer ? static_cast<int>(peer->state) : -1; }

void append(std::vector<NetMsg>& to, std::vector<NetMsg>&& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

}  // namespace

bool Network::connect(std::string host, int port) {
    const auto peer = enet_conn.connect(host, port);
    if (!peer) {
        SPDLOG_ERROR("Failed to start connection handshake with {}:{}", host, port);
        return false;
    }
    server_enet_peer = *peer;
    SPDLOG_INFO("ENet peer created: {}", fmt::ptr(server_enet_peer));
    return true;
}

std::vector<NetMsg> Network::pump_net_msgs() {
    std::vector<ENetEvent> events = enet_conn.pump();
    SPDLOG_INFO("ENet pump: {} events", events.size());
    std::vector<NetMsg> net_msgs;
    for (ENetEvent& event : events) {
        SPDLOG_INFO("ENet event: type={}, peer={}, packet={}", static_cast<int>(event.type),
                    fmt::ptr(event.peer), fmt::ptr(event.packet));
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            append(net_msgs, process_enet_event_connect(event));
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            append(net_msgs, process_enet_event_disconnect(event));
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            append(net_msgs, process_enet_event_receive(event));
            break;
        default:
            break;
        }
    }
    return net_msgs;
}

std::vector<NetMsg> Network::process_enet_event_connect(ENetEvent&) {
    return {NetMsgs::ServerConnected{}};
}

std::vector<NetMsg> Network::process_enet_event_disconnect(ENetEvent&) {
    return {NetMsgs::ServerDisconnected{}};
}

// A packet that does not decode is dropped: one bad packet must not end the client.
std::vector<NetMsg> Network::process_enet_event_receive(ENetEvent& event) {
    SPDLOG_INFO("ENet receive event: peer={}, packet={}", fmt::ptr(event.peer),
                fmt::ptr(event.packet));
    std::vector<NetMsg> net_msgs;
    try {
        net_msgs = deserialize_net_msg_batch(event.packet).messages;
    } catch (const std::exception& error) {
        SPDLOG_WARN("Dropping a packet that does not decode: {}", error.what());
    }
    enet_packet_destroy(event.packet);
    event.packet = nullptr;
    return net_msgs;
}

void Network::send_client_tcp(NetMsg net_msg) { outgoing_tcp.push_back(std::move(net_msg)); }

void Network::send_client_udp(NetMsg net_msg) { outgoing_udp.push_back(std::move(net_msg)); }

void Network::send(int fixed_tick_count) {
    SPDLOG_INFO("Network send begin: peer={}, state={}, tcp={}, udp={}, tick={}",
                fmt::ptr(server_enet_peer), peer_state_number(server_enet_peer),
                outgoing_tcp.size(), outgoing_udp.size(), fixed_tick_count);
    const auto tick = static_cast<std::uint32_t>(fixed_tick_count);
    // Without a peer nothing can leave; the queues are dropped as ENet would refuse them.
    if (server_enet_peer) {
        send_peer(server_enet_peer, outgoing_tcp, ENET_PACKET_FLAG_RELIABLE, tick);
        send_peer(server_enet_peer, outgoing_udp, ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT, tick);
    }
    outgoing_tcp.clear();
    outgoing_udp.clear();
    SPDLOG_INFO("Network send end");
}

void Network::disconnect() {
    if (server_enet_peer) {
        enet_peer_reset(server_enet_peer);
    }
}

}  // namespace Client
