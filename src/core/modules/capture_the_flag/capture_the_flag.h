#pragma once

#include <cstdint>

enum class CaptureTheFlagPhase : std::uint32_t {
    WaitingForPlayers = 0,
    Purchase = 1,
    Play = 2,
};
