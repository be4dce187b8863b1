#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <enet/enet.h>

#include "core/client_state/client_state.h"
#include "core/enet_conn/enet_conn.h"
#include "core/net_msg_batch/net_msg_batch.h"
#include "core/network/network.h"

namespace Server {

// What a connected ENet peer carries in its user-data field, so that its
// events can be traced back to the client.
struct PeerIdRecord {
    std::uint32_t client_id = 0;
};

// The server's end of the wire: numbers each connecting peer, keeps one
// ClientState per client with its two outgoing queues, turns ENet events into
// (client id, message) pairs and sends every queue on `send`.
class Network final : public Core::Network {
public:
    using ClientNetMsg = std::pair<std::uint32_t, NetMsg>;

    Network() = default;
    Network(const Network&) = delete;
    Network& operator=(const Network&) = delete;
    ~Network();

    // 100 peers, 2 channels, no bandwidth limits.
    bool listen(int port);
    // Everything that happened since the last call, in ENet's order.
    std::vector<ClientNetMsg> pump_net_msgs();

    // Queue a copy for `client_id`'s next send; an id never issued queues nothing.
    void send_client_tcp(std::uint32_t client_id, NetMsg net_msg);
    void send_client_udp(std::uint32_t client_id, NetMsg net_msg);

    // The state and queues of `client_id`, for queueing many messages at
    // once; null for an id never issued.
    ClientState* find_client(std::uint32_t client_id);

    // Hands every connected client's queues to ENet, reliable before
    // unreliable, then empties every queue.
    void send(int fixed_tick_count) override;

    // Every client that ever connected; never decreases.
    int num_clients() const;

    ClientNetMsg process_enet_event_connect(ENetEvent& event);
    std::vector<ClientNetMsg> process_enet_event_receive(ENetEvent& event);
    // Empty when the peer carries no id record.
    std::optional<ClientNetMsg> process_enet_event_disconnect(ENetEvent& event);

    std::uint32_t client_id_seed = 1;
    EnetConn enet_conn;
    std::unordered_map<std::uint32_t, ClientState> clients;

private:
    void queue_for_client(std::uint32_t client_id, NetMsg net_msg, bool reliable);
    void release_peer_id_records();
};

}  // namespace Server
