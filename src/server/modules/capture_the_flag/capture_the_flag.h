#pragma once

#include <cstdint>
#include <vector>

#include <SDL3/SDL.h>

#include "core/config/config.h"
#include "core/engine/engine.h"
#include "core/modules/capture_the_flag/capture_the_flag.h"
#include "core/net_msg_batch/net_msg_batch.h"
#include "core/ship_type/ship_type.h"
#include "core/store/store.h"
#include "server/modules/capture_the_flag/player_state/player_state.h"
#include "server/network/network.h"

namespace Server {

// The match as broadcast at every net send. No team, flag, round or score
// logic exists yet, so it keeps these values.
struct MatchState {
    CaptureTheFlagPhase phase = CaptureTheFlagPhase::WaitingForPlayers;
    std::int32_t current_round = 1;
    std::int32_t red_score = 0;
    std::int32_t blue_score = 0;
    std::uint32_t flag_carrier_ship_id = 0;
    float flag_position_x = 0;
    float flag_position_y = 0;
};

// What one replication pass shares between its players, worked out once per
// pass: the rows' ids, the snapshots (the same for every client), which
// projectile ids are live and how that changed since the last pass. Kept
// between passes so that its storage is reused.
struct ReplicationPass {
    std::vector<std::uint32_t> ship_ids;
    std::vector<NetMsg> ship_snapshots;
    std::vector<std::uint32_t> mount_ids;
    std::vector<NetMsg> mount_snapshots;
    // The projectile ids by row, then sorted: the live ones now and at the
    // last pass.
    std::vector<std::uint32_t> projectile_ids;
    std::vector<std::uint32_t> live_projectile_ids;
    std::vector<std::uint32_t> previously_live_projectile_ids;
    // The ids live at the last pass and not now, and those live now and not
    // then, in row order, with their spawns.
    std::vector<std::uint32_t> removed_projectile_ids;
    std::vector<std::uint32_t> new_projectile_ids;
    std::vector<NetMsg> new_projectile_spawns;
    NetMsg match_state;
};

class PlayerOutbox;

// The authoritative game mode: player records, ships for joining clients,
// the fixed-tick simulation and the replication to every client. Its
// callbacks hold its address, so it must outlive its engine's last step.
class CaptureTheFlagModule {
public:
    CaptureTheFlagModule(Config* config, Engine* engine, Server::Network* network, Store* store);
    CaptureTheFlagModule(const CaptureTheFlagModule&) = delete;
    CaptureTheFlagModule& operator=(const CaptureTheFlagModule&) = delete;

    void tick(std::vector<SDL_Event> events);
    void fixed_tick();
    void collect_outgoing_net_messages();
    void receive_net_msg(std::uint32_t client_id, NetMsg& net_msg);

    void process_net_msg_client_input(std::uint32_t client_id, NetMsgs::ClientInput net_msg);
    void process_net_msg_client_connected(std::uint32_t client_id,
                                          NetMsgs::ClientConnected net_msg);
    void add_player(std::uint32_t client_id);
    void spawn_player(std::uint32_t client_id);
    void spawn_player_ship(std::uint32_t client_id, ShipType ship_type);
    void assign_player_ship(std::uint32_t client_id);
    void spawn_player_ships();

    Config* config;
    Engine* engine;
    Server::Network* network;
    Store* store;
    Players players;
    MatchState match_state;

private:
    void prepare_replication_pass();
    void prepare_projectile_changes();
    void replicate_ships(PlayerState& player, PlayerOutbox& outbox);
    void replicate_mounts(PlayerState& player, PlayerOutbox& outbox);
    void replicate_projectiles(PlayerState& player, PlayerOutbox& outbox);
    void send_match_state(PlayerOutbox& outbox);

    ReplicationPass pass;
};

}  // namespace Server
