#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <SDL3/SDL.h>

#include "client/input/input.h"
#include "client/network/network.h"
#include "client/ui/rml.h"
#include "core/config/config.h"
#include "core/engine/engine.h"
#include "core/modules/capture_the_flag/capture_the_flag.h"
#include "core/net_msg_batch/net_msg_batch.h"
#include "core/store/store.h"

namespace Client {

// The client's copy of the match state; the client ignores the server's, so
// it keeps these values.
struct MatchState {
    CaptureTheFlagPhase phase = CaptureTheFlagPhase::WaitingForPlayers;
    std::int32_t current_round = 1;
    std::int32_t red_score = 0;
    std::int32_t blue_score = 0;
    std::uint32_t flag_carrier_ship_id = 0;
    float flag_position_x = 0;
    float flag_position_y = 0;
};

// The playing side of the game: reads the player's input and sends it, mirrors
// what the server says into the client's store, runs the local part of the
// simulation and draws the world around the player's ship. Everything runs
// from the engine's callbacks, which hold this module's address: it must
// outlive the engine's last step and never move.
class CaptureTheFlagModule {
public:
    struct UiState {
        bool is_admin_menu_visible = false;
    };

    CaptureTheFlagModule(Config* config, Engine* engine, Client::Network* network,
                         SDL_Window* window, SDL_Renderer* renderer, RmlManager* rml_manager,
                         Store* store);
    CaptureTheFlagModule(const CaptureTheFlagModule&) = delete;
    CaptureTheFlagModule& operator=(const CaptureTheFlagModule&) = delete;

    void tick(std::vector<SDL_Event>& events);
    // Bodies, grid, projectile flight and hits, mounts riding their ships.
    // Ships move only by the server's snapshots.
    void fixed_tick();
    // One input message per net send, whether or not anything changed.
    void collect_outgoing_net_messages();
    void receive_net_msg(NetMsg& net_msg);
    // Puts the camera on the owned ship once that ship has a row.
    void update_camera();
    void render();

    void process_net_msg_ship_spawn(NetMsgs::ShipSpawn msg);
    void process_net_msg_ship_snapshot(NetMsgs::ShipSnapshot msg);
    void process_net_msg_ship_despawn(NetMsgs::ShipDespawn msg);
    void process_net_msg_mount_spawn(NetMsgs::MountSpawn msg);
    void process_net_msg_mount_snapshot(NetMsgs::MountSnapshot msg);
    void process_net_msg_mount_despawn(NetMsgs::MountDespawn msg);
    void process_net_msg_projectile_spawn(NetMsgs::ProjectileSpawn msg);
    void process_net_msg_assign_ship(NetMsgs::AssignShip msg);
    void process_net_msg_assign_mount(NetMsgs::AssignMount msg);

    Config* config;
    Engine* engine;
    Client::Network* network;
    SDL_Window* window;
    SDL_Renderer* renderer;
    RmlManager* rml_manager;
    Store* store;
    Input input;
    std::optional<std::uint32_t> owned_ship_id;
    std::vector<std::uint32_t> owned_mount_ids;
    float camera_x = 0;
    float camera_y = 0;
    MatchState match_state;
    UiState ui_state;
};

}  // namespace Client
