#include "core/net_msg_helpers/send_peer_net_msgs.h"

#include <cstdint>
#include <vector>

#include <spdlog/spdlog.h>

namespace {

// Sizes in memory, as the batching rule counts them.
static_assert(sizeof(NetMsgs::ShipSnapshot) == 32);
static_assert(sizeof(NetMsgs::ShipSpawn) == 36);
static_assert(sizeof(NetMsgs::ClientInput) == 24);
static_assert(sizeof(NetMsgs::MountSpawn) == 16);
static_assert(sizeof(NetMsgs::MountSnapshot) == 8);
static_assert(sizeof(NetMsgs::CaptureTheFlagMatchState) == 28);
static_assert(sizeof(NetMsgs::ServerConnected) == 1);
static_assert(sizeof(NetMsgs::ServerDisconnected) == 1);

template <typename Record>
int counted_size(const Record&) {
    return static_cast<int>(sizeof(Record));
}

unsigned flag_number(ENetPacketFlag flag) { return static_cast<unsigned>(flag); }

}  // namespace

int get_net_msg_size_bytes(const NetMsg& net_msg) {
    SPDLOG_INFO("ENet send: calculating message size");
    const int size = std::visit([](const auto& record) { return counted_size(record); }, net_msg);
    SPDLOG_INFO("ENet send: message size={}", size);
    return size;
}

void cut_net_msg_batches(std::span<const NetMsg> net_msgs, std::uint32_t tick,
                         const std::function<void(const NetMsgBatch&)>& send_batch) {
    NetMsgBatch batch{.tick = tick, .messages = {}};
    int acc_batch_size_tcp = 0;
    for (const NetMsg& net_msg : net_msgs) {
        SPDLOG_INFO("ENet send: adding message to batch");
        batch.messages.push_back(net_msg);
        SPDLOG_INFO("ENet send: message added to batch");
        acc_batch_size_tcp += get_net_msg_size_bytes(net_msg);
        SPDLOG_INFO("ENet send: accumulated message size={}", acc_batch_size_tcp);
        if (acc_batch_size_tcp > max_message_size) {
            send_batch(batch);
            batch.messages.clear();  // the tick and the room stay
            acc_batch_size_tcp = 0;
        }
    }
    if (acc_batch_size_tcp > 0) {
        send_batch(batch);
    }
}

void send_peer(ENetPeer* peer, std::span<NetMsg> net_msgs, ENetPacketFlag enet_packet_flag,
               std::uint32_t tick) {
    SPDLOG_INFO("ENet send: begin peer={}, messages={}, tick={}, flags={}", fmt::ptr(peer),
                net_msgs.size(), tick, flag_number(enet_packet_flag));
    cut_net_msg_batches(net_msgs, tick, [peer, enet_packet_flag](const NetMsgBatch& batch) {
        send_enet_peer_net_batch_message(peer, batch, enet_packet_flag);
    });
    SPDLOG_INFO("ENet send: complete peer={}, messages={}", fmt::ptr(peer), net_msgs.size());
}

void send_enet_peer_net_batch_message(ENetPeer* peer, const NetMsgBatch& batch,
                                      ENetPacketFlag enet_packet_flag) {
    SPDLOG_INFO("ENet send: serialize begin, peer={}, messages={}, tick={}, flags={}",
                fmt::ptr(peer), batch.messages.size(), batch.tick, flag_number(enet_packet_flag));
    const std::vector<std::uint8_t> bytes = serialize_net_msg_batch(batch);
    SPDLOG_INFO("ENet send: serialize complete, bytes={}", bytes.size());
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), enet_packet_flag);
    SPDLOG_INFO("ENet send: packet created, packet={}", fmt::ptr(packet));
    const int result = enet_peer_send(peer, 0, packet);
    SPDLOG_INFO("ENet send: enet_peer_send returned {}", result);
    if (result < 0) {
        // ENet refused it (peer not connected): the packet is still ours.
        enet_packet_destroy(packet);
    }
}
