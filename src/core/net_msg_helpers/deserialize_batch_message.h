#pragma once

#include <enet/enet.h>

#include "core/net_msg_batch/net_msg_batch.h"
#include "core/net_msg_helpers/net_msg_codec.h"

// Decodes the packet's bytes; the caller keeps and destroys the packet.
// Raises std::system_error on a malformed packet (see net_msg_codec.h).
NetMsgBatch deserialize_net_msg_batch(ENetPacket* packet);
