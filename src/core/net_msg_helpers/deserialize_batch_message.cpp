#include "core/net_msg_helpers/deserialize_batch_message.h"

#include <cstdint>
#include <span>

NetMsgBatch deserialize_net_msg_batch(ENetPacket* packet) {
    return deserialize_net_msg_batch(
        std::span<const std::uint8_t>(packet->data, packet->dataLength));
}
