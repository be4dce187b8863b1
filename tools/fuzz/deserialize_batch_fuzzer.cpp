// libFuzzer target for the batch decoder: any bytes must either decode or
// fail with one of the two decoding errors, and whatever decodes must survive
// its own round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <system_error>
#include <vector>

#include "core/net_msg_helpers/net_msg_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NetMsgBatch batch;
    try {
        batch = deserialize_net_msg_batch(std::span<const std::uint8_t>(data, size));
    } catch (const std::system_error& error) {
        if (error.code() != std::errc::result_out_of_range &&
            error.code() != std::errc::bad_message) {
            std::abort();
        }
        return 0;
    }
    const std::vector<std::uint8_t> bytes = serialize_net_msg_batch(batch);
    if (serialize_net_msg_batch(deserialize_net_msg_batch(bytes)) != bytes) {
        std::abort();
    }
    return 0;
}
