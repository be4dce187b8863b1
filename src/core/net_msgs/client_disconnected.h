#pragma once

#include <cstdint>

namespace NetMsgs {

struct ClientDisconnected {
    std::uint32_t client_id = 0;

    bool operator==(const ClientDisconnected&) const = default;
};

}  // namespace NetMsgs
