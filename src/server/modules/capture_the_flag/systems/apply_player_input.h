#pragma once

#include "core/components/mounts/mounts.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "server/modules/capture_the_flag/player_state/player_state.h"

namespace Server {

// Turns each player's latest input into its ship's heading target and linear
// acceleration and its mounts' aim and trigger; moves nothing itself. Keys
// that re-resolve are refreshed in the player records.
void apply_player_input(Players& players, DenseListKeyed<Ships>& ship_store,
                        DenseListKeyed<Mounts>& mount_store);

}  // namespace Server
