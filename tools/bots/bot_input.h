#pragma once

#include "core/net_msgs/client_input.h"

// The input of bot `bot_index` at `seconds` into the run. In a four-second
// cycle it thrusts forward, strafes, thrusts backward and brakes; its mouse
// sweeps around its ship, so its heading keeps turning; now and then it holds
// its heading, and it fires in bursts. Each bot runs the cycle with its own
// offset, so the server never sees two bots in step.
NetMsgs::ClientInput scripted_bot_input(int bot_index, double seconds, float ship_x, float ship_y);
