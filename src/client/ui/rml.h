#pragma once

#include <unordered_map>

#include <SDL3/SDL.h>

#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"
#include "lib/rml/context/context.h"

// Stand-in for the user-interface manager until its pages arrive: it has no
// context, takes every event as unconsumed and draws nothing.
class RmlManager {
public:
    RmlManager() = default;
    RmlManager(SDL_Window*, SDL_Renderer*, std::unordered_map<ShipType, ShipConfig>&,
               std::unordered_map<MountType, MountConfig>&,
               std::unordered_map<ProjectileType, ProjectileConfig>&) {}

    bool handle_event(SDL_Window*, SDL_Event&) { return true; }
    void render() {}
    void shutdown() {}

    Rml::Context* context = nullptr;
};
