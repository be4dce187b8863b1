#pragma once

#include "core/config/config.h"

namespace server_test {

// The game's configuration set from build/assets, read once per test run;
// every caller gets its own copy to change as it likes.
Config game_config();

}  // namespace server_test
