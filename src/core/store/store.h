#pragma once

#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "core/dense_list_keyed/dense_list_keyed.h"

// The world of one side of the game. Built in place by its application and
// passed by pointer; never copied. Each list numbers its own ids.
struct Store {
    Store() = default;
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    DenseListKeyed<Ships> ships;
    DenseListKeyed<Mounts> mounts;
    DenseListKeyed<Projectiles> projectiles;
    DenseListKeyed<PhysicsBodies> physics_bodies;
};
