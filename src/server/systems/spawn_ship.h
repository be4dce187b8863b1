#pragma once

#include <optional>
#include <vector>

#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/ships/ships.h"
#include "core/config/config.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/ship_type/ship_type.h"

namespace Server {

struct SpawnShipResult {
    DenseListKey ship_key;
    std::vector<DenseListKey> mount_keys;  // one per mount slot, in slot order
};

}  // namespace Server

// One ship of `ship_type` at the origin, at rest, with one mount per mount slot
// of its configuration and one physics body, all linked by keys. Empty when
// the ship or body list has no free id left; a slot whose mount gets no id is
// left empty.
std::optional<Server::SpawnShipResult> spawn_ship(DenseListKeyed<Ships>& ship_store,
                                                  DenseListKeyed<Mounts>& mount_store,
                                                  DenseListKeyed<PhysicsBodies>& physics_bodies_store,
                                                  Config* config, ShipType ship_type);
