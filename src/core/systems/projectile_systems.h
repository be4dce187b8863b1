#pragma once

// Projectile firing, flight, hits and removal.

#include <vector>

#include "core/components/mounts/mounts.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/components/projectiles/projectiles.h"
#include "core/components/ships/ships.h"
#include "core/config/config.h"
#include "core/dense_list_keyed/dense_list_keyed.h"
#include "core/physics/physics.h"
#include "core/projectile_hit/projectile_hit.h"

// Every mount whose trigger is held and whose cooldown has run out fires one
// projectile. When the projectile list has no free id left, no mount fires;
// that is logged once per shortage, when it starts.
void fire_mount(DenseListKeyed<Mounts>& mounts, DenseListKeyed<Projectiles>& projectiles,
                DenseListKeyed<Ships>& ships, Config* config);

// Moves every projectile one fixed step, or records its hit when the step's
// ray enters a body listed in the start or end cell. The body of the ship that
// carries the firing mount never stops its own projectile: on the client a
// projectile starts from the mount's last mirrored pose, which may lie behind
// a fast ship's hull, and would otherwise vanish into it at once.
void update_projectiles(DenseListKeyed<Projectiles>& projectile_store, const DenseListKeyed<Mounts>& mount_store,
                        DenseListKeyed<PhysicsBodies>& physics_bodies_store, SpatialIndex& spatial_index,
                        std::vector<ProjectileHit>& hits);

void remove_hit_projectiles(DenseListKeyed<Projectiles>& projectile_store, std::vector<ProjectileHit>& hits);
