#include "server/network/network.h"

#include <system_error>
#include <variant>

#include <spdlog/spdlog.h>

#include "core/net_msg_helpers/deserialize_batch_message.h"
#include "core/net_msg_helpers/send_peer_net_msgs.h"

namespace Server {

namespace {

// Only the network makes these, from ENet's own connect and disconnect
// events; arriving inside a client's packet they would let that client
// spawn ships at will.
bool is_local_kind(const NetMsg& net_msg) {
    return std::holds_alternative<NetMsgs::ClientConnected>(net_msg) ||
           std::holds_alternative<NetMsgs::ClientDisconnected>(net_msg) ||
           std::holds_alternative<NetMsgs::ServerConnected>(net_msg) ||
           std::holds_alternative<NetMsgs::ServerDisconnected>(net_msg);
}

PeerIdRecord* peer_id_record(const ENetPeer* peer) {
    return static_cast<PeerIdRecord*>(peer->data);
}

}  // namespace

Network::~Network() { release_peer_id_records(); }

bool Network::listen(int port) {
    if (!enet_conn.listen(port)) {
        SPDLOG_ERROR("Failed to listen for enet conn on port {}.", port);
        if (udp_port_in_use(port)) {
            SPDLOG_ERROR("UDP port {} is already in use; stop the other server first", port);
        }
        return false;
    }
    return true;
}

std::vector<Network::ClientNetMsg> Network::pump_net_msgs() {
    std::vector<ClientNetMsg> net_msgs;
    for (ENetEvent& event : enet_conn.pump()) {
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                net_msgs.push_back(process_enet_event_connect(event));
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (auto net_msg = process_enet_event_disconnect(event)) {
                    net_msgs.push_back(std::move(*net_msg));
                }
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                for (ClientNetMsg& net_msg : process_enet_event_receive(event)) {
                    net_msgs.push_back(std::move(net_msg));
                }
                break;
            default:
                break;
        }
    }
    return net_msgs;
}

Network::ClientNetMsg Network::process_enet_event_connect(ENetEvent& event) {
    SPDLOG_INFO("A new client connected from {}:{}.", event.peer->address.host,
                event.peer->address.port);
    const std::uint32_t client_id = client_id_seed++;
    ClientState& client_state = clients[client_id];
    client_state.client_id = client_id;
    client_state.enet_peer = event.peer;
    event.peer->data = new PeerIdRecord{client_id};
    return {client_id, NetMsgs::ClientConnected{client_id}};
}

std::vector<Network::ClientNetMsg> Network::process_enet_event_receive(ENetEvent& event) {
    std::vector<ClientNetMsg> net_msgs;
    const PeerIdRecord* record = peer_id_record(event.peer);
    if (record == nullptr || !clients.contains(record->client_id)) {
        SPDLOG_WARN("Ignoring enet event received for not found client_state");
        enet_packet_destroy(event.packet);
        return net_msgs;
    }
    const std::uint32_t client_id = record->client_id;
    try {
        for (NetMsg& net_msg : deserialize_net_msg_batch(event.packet).messages) {
            if (is_local_kind(net_msg)) {
                SPDLOG_WARN("Dropping message of local kind {} received from client {}",
                            net_msg.index(), client_id);
                continue;
            }
            net_msgs.emplace_back(client_id, std::move(net_msg));
        }
    } catch (const std::system_error& error) {
        // One client's bad bytes must not end the server.
        SPDLOG_WARN("Dropping malformed packet from client {}: {}", client_id, error.what());
        net_msgs.clear();
    }
    enet_packet_destroy(event.packet);
    return net_msgs;
}

std::optional<Network::ClientNetMsg> Network::process_enet_event_disconnect(ENetEvent& event) {
    SPDLOG_INFO("{} disconnected.", fmt::ptr(event.peer->data));
    PeerIdRecord* record = peer_id_record(event.peer);
    if (record == nullptr) {
        SPDLOG_WARN("Ignoring enet disconnect event for a peer without a client id");
        return std::nullopt;
    }
    const std::uint32_t client_id = record->client_id;
    delete record;
    event.peer->data = nullptr;
    // The state stays, but ENet may hand this peer to the next connection:
    // from now on nothing of this client's is sent to it.
    if (ClientState* client_state = find_client(client_id)) {
        client_state->enet_peer = nullptr;
    }
    return ClientNetMsg{client_id, NetMsgs::ClientDisconnected{client_id}};
}

void Network::send_client_tcp(std::uint32_t client_id, NetMsg net_msg) {
    queue_for_client(client_id, std::move(net_msg), true);
}

void Network::send_client_udp(std::uint32_t client_id, NetMsg net_msg) {
    queue_for_client(client_id, std::move(net_msg), false);
}

void Network::queue_for_client(std::uint32_t client_id, NetMsg net_msg, bool reliable) {
    ClientState* client_state = find_client(client_id);
    if (client_state == nullptr) {
        SPDLOG_WARN("No client {} to queue a message for; message dropped", client_id);
        return;
    }
    auto& queue = reliable ? client_state->outgoing_tcp : client_state->outgoing_udp;
    queue.push_back(std::move(net_msg));
}

void Network::send(int fixed_tick_count) {
    const auto tick = static_cast<std::uint32_t>(fixed_tick_count);
    for (auto& [client_id, client_state] : clients) {
        if (client_state.enet_peer == nullptr) {
            continue;  // departed: its queues are dropped below
        }
        send_peer(client_state.enet_peer, client_state.outgoing_tcp, ENET_PACKET_FLAG_RELIABLE,
                  tick);
        send_peer(client_state.enet_peer, client_state.outgoing_udp,
                  ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT, tick);
    }
    for (auto& [client_id, client_state] : clients) {
        client_state.outgoing_tcp.clear();
        client_state.outgoing_udp.clear();
    }
}

int Network::num_clients() const { return static_cast<int>(clients.size()); }

ClientState* Network::find_client(std::uint32_t client_id) {
    const auto found = clients.find(client_id);
    return found != clients.end() ? &found->second : nullptr;
}

// Peers still connected at shutdown carry id records that no disconnect
// event will release.
void Network::release_peer_id_records() {
    ENetHost* host = enet_conn.enet_host.get();
    if (host == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < host->peerCount; ++i) {
        delete peer_id_record(&host->peers[i]);
        host->peers[i].data = nullptr;
    }
}

}  // namespace Server
