#pragma once

#include <cstdint>

namespace NetMsgs {

struct AssignMount {
    std::uint32_t mount_id = 0;

    bool operator==(const AssignMount&) const = default;
};

}  // namespace NetMsgs
