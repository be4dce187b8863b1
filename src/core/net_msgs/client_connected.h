#pragma once

#include <cstdint>

namespace NetMsgs {

struct ClientConnected {
    std::uint32_t client_id = 0;

    bool operator==(const ClientConnected&) const = default;
};

}  // namespace NetMsgs
