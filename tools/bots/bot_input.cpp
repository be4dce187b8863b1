#include "bot_input.h"

#include <cmath>

namespace {

constexpr double move_cycle_seconds = 4.0;
constexpr double hold_heading_cycle_seconds = 5.0;
constexpr double fire_cycle_seconds = 3.0;
constexpr double bot_offset_seconds = 0.37;
// Successive bots start their mouse sweep a golden angle apart.
constexpr double bot_offset_radians = 2.39996;
constexpr double sweep_radians_per_second = 0.8;
constexpr float mouse_distance = 200.0f;

}  // namespace

NetMsgs::ClientInput scripted_bot_input(int bot_index, double seconds, float ship_x, float ship_y) {
    const double t = seconds + bot_index * bot_offset_seconds;
    const double move_phase = std::fmod(t, move_cycle_seconds);

    NetMsgs::ClientInput input;
    input.up = move_phase < 1.5;
    input.right = move_phase >= 1.5 && move_phase < 2.0;
    input.down = move_phase >= 2.0 && move_phase < 3.0;
    input.c = move_phase >= 3.0;
    input.shift = std::fmod(t, hold_heading_cycle_seconds) < 0.5;
    input.fire = std::fmod(t, fire_cycle_seconds) < 1.0;

    const double angle = bot_index * bot_offset_radians + t * sweep_radians_per_second;
    input.mouse_dir_x = static_cast<float>(std::cos(angle)) * mouse_distance;
    input.mouse_dir_y = static_cast<float>(std::sin(angle)) * mouse_distance;
    input.mouse_world_x = ship_x + input.mouse_dir_x;
    input.mouse_world_y = ship_y + input.mouse_dir_y;
    return input;
}
