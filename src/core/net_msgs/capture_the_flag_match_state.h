#pragma once

#include <cstdint>

namespace NetMsgs {

struct CaptureTheFlagMatchState {
    std::uint32_t phase = 0;
    std::int32_t current_round = 0;
    std::int32_t red_score = 0;
    std::int32_t blue_score = 0;
    std::uint32_t flag_carrier_ship_id = 0;
    float flag_position_x = 0;
    float flag_position_y = 0;

    bool operator==(const CaptureTheFlagMatchState&) const = default;
};

}  // namespace NetMsgs
