#include "server/modules/capture_the_flag/capture_the_flag.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_set>
#include <utility>
#include <variant>

#include <spdlog/spdlog.h>

#include "core/physics/physics.h"
#include "core/projectile_hit/projectile_hit.h"
#include "core/systems/systems.h"
#include "server/modules/capture_the_flag/systems/apply_player_input.h"
#include "server/systems/spawn_ship.h"

namespace Server {

namespace {

// No client may put NaN or infinity into the world.
float finite_or_zero(float value) { return std::isfinite(value) ? value : 0.0f; }

// The ids of every row and, for each row, its snapshot: the same for every
// client, so a pass makes them once and each client's queue gets copies.
template <typename Snapshot, typename List>
void collect_rows(const List& list, std::vector<std::uint32_t>& ids,
                  std::vector<NetMsg>& snapshots) {
    ids.clear();
    snapshots.clear();
    ids.reserve(list.size());
    snapshots.reserve(list.size());
    for (std::uint32_t row = 0; row < list.size(); ++row) {
        ids.push_back(*list.get_id_by_index(row));
        snapshots.emplace_back(*Snapshot::from_store(list, row));
    }
}

}  // namespace

CaptureTheFlagModule::CaptureTheFlagModule(Config* config, Engine* engine,
                                           Server::Network* network, Store* store)
    : config(config), engine(engine), network(network), store(store) {
    engine->bind_tick([this](std::vector<SDL_Event>& events) { tick(events); });
    engine->bind_fixed_tick([this] { fixed_tick(); });
    engine->bind_net_send([this] { collect_outgoing_net_messages(); });
    engine->bind_receive_client_net_msg(
        [this](std::uint32_t client_id, NetMsg& net_msg) { receive_net_msg(client_id, net_msg); });
}

void CaptureTheFlagModule::tick(std::vector<SDL_Event> /*events*/) {}

void CaptureTheFlagModule::fixed_tick() {
    Server::apply_player_input(players, store->ships, store->mounts);
    update_angular_acceleration(store->ships.dense_list);
    apply_angular_acceleration(store->ships.dense_list);
    apply_angular_velocity(store->ships.dense_list);
    apply_acceleration(store->ships.dense_list);
    apply_velocity(store->ships.dense_list);
    update_physics_bodies(store->physics_bodies, store->ships);
    SpatialIndex spatial_index = make_spatial_index(store->physics_bodies);
    apply_collisions(store->physics_bodies, spatial_index);
    std::vector<ProjectileHit> hits;
    update_projectiles(store->projectiles, store->mounts, store->physics_bodies, spatial_index, hits);
    remove_hit_projectiles(store->projectiles, hits);
    update_child(store->mounts, store->ships);
    rotate_mount(store->mounts);
    update_cooldown(store->mounts.dense_list);
    fire_mount(store->mounts, store->projectiles, store->ships, config);
}

void CaptureTheFlagModule::receive_net_msg(std::uint32_t client_id, NetMsg& net_msg) {
    if (const auto* input = std::get_if<NetMsgs::ClientInput>(&net_msg)) {
        process_net_msg_client_input(client_id, *input);
    } else if (const auto* connected = std::get_if<NetMsgs::ClientConnected>(&net_msg)) {
        process_net_msg_client_connected(client_id, *connected);
    }
    // Every other kind changes nothing; after a disconnect the player, its
    // ship and its last input stay.
}

void CaptureTheFlagModule::process_net_msg_client_input(std::uint32_t client_id,
                                                        NetMsgs::ClientInput net_msg) {
    const auto found = players.find(client_id);
    if (found == players.end()) {
        SPDLOG_WARN("Dropping input from client {} without a player record", client_id);
        return;
    }
    PlayerState& player = found->second;
    player.input_up = net_msg.up;
    player.input_down = net_msg.down;
    player.input_right = net_msg.right;
    player.input_left = net_msg.left;
    player.input_fire = net_msg.fire;
    player.input_shift = net_msg.shift;
    player.input_c = net_msg.c;
    player.input_mouse_dir_x = finite_or_zero(net_msg.mouse_dir_x);
    player.input_mouse_dir_y = finite_or_zero(net_msg.mouse_dir_y);
    player.input_mouse_world_x = finite_or_zero(net_msg.mouse_world_x);
    player.input_mouse_world_y = finite_or_zero(net_msg.mouse_world_y);
}

// The delivered id counts, not the one inside the message.
void CaptureTheFlagModule::process_net_msg_client_connected(std::uint32_t client_id,
                                                            NetMsgs::ClientConnected /*net_msg*/) {
    add_player(client_id);
    spawn_player(client_id);
}

void CaptureTheFlagModule::add_player(std::uint32_t client_id) {
    players.try_emplace(client_id).first->second.client_id = client_id;
}

void CaptureTheFlagModule::spawn_player(std::uint32_t client_id) {
    spawn_player_ship(client_id, ShipType::FrigateOne);
    assign_player_ship(client_id);
}

// A ship the player had before stays in the world.
void CaptureTheFlagModule::spawn_player_ship(std::uint32_t client_id, ShipType ship_type) {
    auto result = spawn_ship(store->ships, store->mounts, store->physics_bodies, config, ship_type);
    if (!result) {
        return;
    }
    PlayerState& player = players[client_id];
    player.ship_key = result->ship_key;
    player.mount_keys = std::move(result->mount_keys);
}

void CaptureTheFlagModule::assign_player_ship(std::uint32_t client_id) {
    const PlayerState& player = players[client_id];
    if (!player.ship_key) {
        return;
    }
    network->send_client_tcp(client_id, NetMsgs::AssignShip{player.ship_key->id});
    for (const DenseListKey& mount_key : player.mount_keys) {
        network->send_client_tcp(client_id, NetMsgs::AssignMount{mount_key.id});
    }
}

void CaptureTheFlagModule::spawn_player_ships() {
    for (auto& [client_id, player] : players) {
        spawn_player(client_id);
    }
}

// The queues of one player's client, looked up once per pass. A client the
// network does not know takes every message the usual way, which drops it
// with its warning.
class PlayerOutbox {
public:
    PlayerOutbox(Server::Network& network, std::uint32_t client_id)
        : network(network), client_id(client_id), client(network.find_client(client_id)) {}

    void reserve_unreliable(std::size_t more) {
        if (client != nullptr) {
            client->outgoing_udp.reserve(client->outgoing_udp.size() + more);
        }
    }
    void reliable(const NetMsg& net_msg) {
        if (client != nullptr) {
            client->outgoing_tcp.push_back(net_msg);
        } else {
            network.send_client_tcp(client_id, net_msg);
        }
    }
    void unreliable(const NetMsg& net_msg) {
        if (client != nullptr) {
            client->outgoing_udp.push_back(net_msg);
        } else {
            network.send_client_udp(client_id, net_msg);
        }
    }

private:
    Server::Network& network;
    std::uint32_t client_id;
    ClientState* client;
};

namespace {

// A spawn, reliably, for every row the client has not been told of; a
// snapshot, unreliably, for every row it knows.
template <typename Spawn, typename List>
void replicate_rows(PlayerOutbox& outbox, const List& list, const std::vector<std::uint32_t>& ids,
                    const std::vector<NetMsg>& snapshots,
                    std::unordered_set<std::uint32_t>& known_ids) {
    for (std::uint32_t row = 0; row < ids.size(); ++row) {
        if (known_ids.insert(ids[row]).second) {
            outbox.reliable(*Spawn::from_store(list, row));
        } else {
            outbox.unreliable(snapshots[row]);
        }
    }
}

}  // namespace

void CaptureTheFlagModule::collect_outgoing_net_messages() {
    if (players.empty()) {
        return;
    }
    prepare_replication_pass();
    const std::size_t snapshots = pass.ship_ids.size() + pass.mount_ids.size() + 1;
    for (auto& [client_id, player] : players) {
        PlayerOutbox outbox(*network, player.client_id);
        outbox.reserve_unreliable(snapshots);
        replicate_ships(player, outbox);
        replicate_mounts(player, outbox);
        replicate_projectiles(player, outbox);
        send_match_state(outbox);
    }
}

// Everything of the pass that does not depend on the player.
void CaptureTheFlagModule::prepare_replication_pass() {
    collect_rows<NetMsgs::ShipSnapshot>(store->ships, pass.ship_ids, pass.ship_snapshots);
    collect_rows<NetMsgs::MountSnapshot>(store->mounts, pass.mount_ids, pass.mount_snapshots);
    prepare_projectile_changes();
    pass.match_state = NetMsgs::CaptureTheFlagMatchState{
        .phase = static_cast<std::uint32_t>(match_state.phase),
        .current_round = match_state.current_round,
        .red_score = match_state.red_score,
        .blue_score = match_state.blue_score,
        .flag_carrier_ship_id = match_state.flag_carrier_ship_id,
        .flag_position_x = match_state.flag_position_x,
        .flag_position_y = match_state.flag_position_y,
    };
}

void CaptureTheFlagModule::prepare_projectile_changes() {
    const DenseListKeyed<Projectiles>& projectiles = store->projectiles;
    pass.projectile_ids.clear();
    for (std::uint32_t row = 0; row < projectiles.size(); ++row) {
        pass.projectile_ids.push_back(*projectiles.get_id_by_index(row));
    }
    std::swap(pass.previously_live_projectile_ids, pass.live_projectile_ids);
    pass.live_projectile_ids.assign(pass.projectile_ids.begin(), pass.projectile_ids.end());
    std::ranges::sort(pass.live_projectile_ids);

    pass.removed_projectile_ids.clear();
    std::ranges::set_difference(pass.previously_live_projectile_ids, pass.live_projectile_ids,
                                std::back_inserter(pass.removed_projectile_ids));
    pass.new_projectile_ids.clear();
    pass.new_projectile_spawns.clear();
    for (std::uint32_t row = 0; row < pass.projectile_ids.size(); ++row) {
        const std::uint32_t id = pass.projectile_ids[row];
        if (!std::ranges::binary_search(pass.previously_live_projectile_ids, id)) {
            pass.new_projectile_ids.push_back(id);
            pass.new_projectile_spawns.emplace_back(
                *NetMsgs::ProjectileSpawn::from_store(projectiles, row));
        }
    }
}

void CaptureTheFlagModule::replicate_ships(PlayerState& player, PlayerOutbox& outbox) {
    replicate_rows<NetMsgs::ShipSpawn>(outbox, store->ships, pass.ship_ids, pass.ship_snapshots,
                                       player.known_ship_ids);
}

void CaptureTheFlagModule::replicate_mounts(PlayerState& player, PlayerOutbox& outbox) {
    replicate_rows<NetMsgs::MountSpawn>(outbox, store->mounts, pass.mount_ids,
                                        pass.mount_snapshots, player.known_mount_ids);
}

// Ids of removed projectiles leave the known set first, so a later projectile
// that takes a freed id is announced again; every live id is known after.
// Each pass thus leaves every player knowing exactly that pass's live ids, so
// a known set as large as the last pass's live ids is that set (a new
// player's is empty) and needs only the change since then.
void CaptureTheFlagModule::replicate_projectiles(PlayerState& player, PlayerOutbox& outbox) {
    std::unordered_set<std::uint32_t>& known_ids = player.known_projectile_ids;
    if (known_ids.size() == pass.previously_live_projectile_ids.size()) {
        for (const std::uint32_t id : pass.removed_projectile_ids) {
            known_ids.erase(id);
        }
        for (std::size_t i = 0; i < pass.new_projectile_ids.size(); ++i) {
            known_ids.insert(pass.new_projectile_ids[i]);
            outbox.reliable(pass.new_projectile_spawns[i]);
        }
        return;
    }
    std::erase_if(known_ids, [this](std::uint32_t id) {
        return !std::ranges::binary_search(pass.live_projectile_ids, id);
    });
    const DenseListKeyed<Projectiles>& projectiles = store->projectiles;
    for (std::uint32_t row = 0; row < pass.projectile_ids.size(); ++row) {
        if (known_ids.insert(pass.projectile_ids[row]).second) {
            outbox.reliable(*NetMsgs::ProjectileSpawn::from_store(projectiles, row));
        }
    }
}

void CaptureTheFlagModule::send_match_state(PlayerOutbox& outbox) {
    outbox.unreliable(pass.match_state);
}

}  // namespace Server
