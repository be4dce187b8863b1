#pragma once

#include <unordered_map>

#include <SDL3/SDL.h>

#include "core/mount_config/mount_config.h"
#include "core/mount_type/mount_type.h"
#include "core/projectile_config/projectile_config.h"
#include "core/projectile_type/projectile_type.h"
#include "core/ship_config/ship_config.h"
#include "core/ship_type/ship_type.h"

// Stand-in for the user-interface manager until the toolkit and the pages
// arrive: it takes every event as unconsumed and draws nothing.
class RmlManager {
public:
    RmlManager() = default;
    RmlManager(SDL_Window*, SDL_Renderer*, std::unordered_map<ShipType, ShipConfig>&,
               std::unordered_map<MountType, MountConfig>&,
               std::unordered_map<ProjectileType, ProjectileConfig>&) {}

    bool handle_event(SDL_Window*, SDL_Event&) { return true; }
    void render() {}
};

// Stand-in for the toolkit's debugger: only its visibility exists yet.
inline bool& ui_debugger_visible() {
    static bool visible = false;
    return visible;
}

inline void toggle_ui_debugger() { ui_debugger_visible() = !ui_debugger_visible(); }
