#pragma once

#include <string>
#include <string_view>

#include "core/config/config.h"

// The text of MODE as the environment holds it; "CLIENT" when it is not set.
std::string mode_from_environment();

// Builds the application that `mode` names from a copy of `config` and runs it
// to its end. The match is exact and case-sensitive: "SERVER" and
// "CLIENTSERVER" pick theirs, anything else, the empty text included, the client.
// False when the application gave up on a failed set-up.
bool run_app_for_mode(std::string_view mode, const Config& config);
