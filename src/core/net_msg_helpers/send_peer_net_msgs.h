#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include <enet/enet.h>

#include "core/net_msg_batch/net_msg_batch.h"
#include "core/net_msg_helpers/net_msg_codec.h"

// A batch closes right after the message whose counted size takes the running
// sum above this; the sum counts record sizes, not wire bytes.
inline constexpr int max_message_size = 900;

// The counted size of a message: the size of its record in memory.
int get_net_msg_size_bytes(const NetMsg& net_msg);

// Cuts the messages into batches under the 900 rule and hands each closed batch
// to `send_batch`; every batch carries `tick`. The batch handed over is
// reused for the next one once the call returns.
void cut_net_msg_batches(std::span<const NetMsg> net_msgs, std::uint32_t tick,
                         const std::function<void(const NetMsgBatch&)>& send_batch);

// One packet per batch, all on channel 0. Sends nothing for an empty span.
void send_peer(ENetPeer* peer, std::span<NetMsg> net_msgs, ENetPacketFlag enet_packet_flag,
               std::uint32_t tick);

void send_enet_peer_net_batch_message(ENetPeer* peer, const NetMsgBatch& batch,
                                      ENetPacketFlag enet_packet_flag);
