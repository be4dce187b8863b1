#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/net_msg_batch/net_msg_batch.h"

// The batch on the wire: u32 tick, u32 count, then per message one tag byte
// (the variant index) and the record's fields, little-endian, no padding.
std::vector<std::uint8_t> serialize_net_msg_batch(const NetMsgBatch& batch);

// Raises std::system_error for the first fault met reading in order:
// std::errc::result_out_of_range when the bytes end early, std::errc::bad_message
// for a tag outside the variant. Trailing bytes are ignored.
NetMsgBatch deserialize_net_msg_batch(std::span<const std::uint8_t> bytes);
