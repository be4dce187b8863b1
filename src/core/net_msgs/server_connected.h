#pragma once

#include <cstdint>

namespace NetMsgs {

struct ServerConnected {
    bool operator==(const ServerConnected&) const = default;
};

}  // namespace NetMsgs
