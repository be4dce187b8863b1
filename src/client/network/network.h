#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <enet/enet.h>

#include "core/enet_conn/enet_conn.h"
#include "core/net_msg_batch/net_msg_batch.h"
#include "core/network/network.h"

namespace Client {

// Where the game client looks for its server.
inline constexpr const char* default_server_address = "127.0.0.1";
inline constexpr int default_server_port = 1234;

// The client's end of the wire: one ENet client host whose only peer is the server.
class Network final : public Core::Network {
public:
    // True once a connection attempt is under way; the handshake's outcome
    // arrives later as ServerConnected or ServerDisconnected.
    bool connect(std::string host, int port);
    // Everything that arrived since the last call, in ENet's order.
    std::vector<NetMsg> pump_net_msgs();
    void send_client_tcp(NetMsg net_msg);
    void send_client_udp(NetMsg net_msg);
    // Sends and empties both queues, stamped with the fixed-tick count.
    void send(int fixed_tick_count) override;
    // Drops the server peer at once; the server is not told.
    void disconnect();

    std::vector<NetMsg> process_enet_event_connect(ENetEvent& event);
    std::vector<NetMsg> process_enet_event_receive(ENetEvent& event);
    std::vector<NetMsg> process_enet_event_disconnect(ENetEvent& event);

    std::uint32_t client_id_seed = 1;
    EnetConn enet_conn;
    ENetPeer* server_enet_peer = nullptr;
    std::vector<NetMsg> outgoing_tcp;
    std::vector<NetMsg> outgoing_udp;
};

}  // namespace Client
