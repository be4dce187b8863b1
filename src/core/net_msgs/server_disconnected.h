#pragma once

#include <cstdint>

namespace NetMsgs {

struct ServerDisconnected {
    bool operator==(const ServerDisconnected&) const = default;
};

}  // namespace NetMsgs
