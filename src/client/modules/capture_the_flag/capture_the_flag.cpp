#include "client/modules/capture_the_flag/capture_the_flag.h"

#include <type_traits>
#include <variant>

#include <spdlog/spdlog.h>

#include "client/render/render.h"
#include "client/systems/spawn_from_net_msgs/spawn_from_net_msgs.h"
#include "client/systems/update_from_net_msgs/update_from_net_msgs.h"
#include "core/physics/physics.h"
#include "core/projectile_hit/projectile_hit.h"
#include "core/systems/mount_systems.h"
#include "core/systems/physics_body_systems.h"
#include "core/systems/projectile_systems.h"

namespace Client {

CaptureTheFlagModule::CaptureTheFlagModule(Config* config, Engine* engine,
                                           Client::Network* network, SDL_Window* window,
                                           SDL_Renderer* renderer, RmlManager* rml_manager,
                                           Store* store)
    : config(config),
      engine(engine),
      network(network),
      window(window),
      renderer(renderer),
      rml_manager(rml_manager),
      store(store) {
    engine->bind_tick([this](std::vector<SDL_Event>& events) { tick(events); });
    engine->bind_fixed_tick([this] { fixed_tick(); });
    engine->bind_net_send([this] { collect_outgoing_net_messages(); });
    engine->bind_receive_server_net_msg([this](NetMsg& net_msg) { receive_net_msg(net_msg); });
    engine->bind_render([this] { render(); });
}

void CaptureTheFlagModule::tick(std::vector<SDL_Event>& events) {
    // No key edge matters here; only the held state and the mouse do.
    input.read(rml_manager, window, events, camera_x, camera_y);
}

void CaptureTheFlagModule::fixed_tick() {
    update_physics_bodies(store->physics_bodies, store->ships);
    SpatialIndex spatial_index = make_spatial_index(store->physics_bodies);
    std::vector<ProjectileHit> hits;
    update_projectiles(store->projectiles, store->mounts, store->physics_bodies, spatial_index, hits);
    remove_hit_projectiles(store->projectiles, hits);
    update_child(store->mounts, store->ships);
}

void CaptureTheFlagModule::collect_outgoing_net_messages() {
    SPDLOG_INFO("Collect client input: begin");
    const NetMsgs::ClientInput client_input{
        .up = input.up,
        .down = input.down,
        .right = input.right,
        .left = input.left,
        .fire = input.fire,
        .shift = input.shift,
        .c = input.c,
        .mouse_dir_x = input.mouse_dir_x,
        .mouse_dir_y = input.mouse_dir_y,
        .mouse_world_x = input.mouse_world_x,
        .mouse_world_y = input.mouse_world_y,
    };
    SPDLOG_INFO("Collect client input: constructed");
    SPDLOG_INFO("Collect client input: converting to NetMsg");
    NetMsg net_msg = client_input;
    SPDLOG_INFO("Collect client input: converted to NetMsg");
    network->send_client_udp(net_msg);
    SPDLOG_INFO("Collect client input: queued");
}

void CaptureTheFlagModule::receive_net_msg(NetMsg& net_msg) {
    std::visit(
        [this](auto& msg) {
            using Msg = std::decay_t<decltype(msg)>;
            if constexpr (std::is_same_v<Msg, NetMsgs::ShipSnapshot>) {
                process_net_msg_ship_snapshot(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::ShipSpawn>) {
                SPDLOG_INFO("ShipSpawn variant matched");
                SPDLOG_INFO("ShipSpawn extracted: id={}, type={}", msg.id,
                            static_cast<std::uint32_t>(msg.ship_type));
                process_net_msg_ship_spawn(msg);
                SPDLOG_INFO("ShipSpawn processing complete");
            } else if constexpr (std::is_same_v<Msg, NetMsgs::ShipDespawn>) {
                process_net_msg_ship_despawn(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::MountSpawn>) {
                process_net_msg_mount_spawn(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::MountSnapshot>) {
                process_net_msg_mount_snapshot(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::MountDespawn>) {
                process_net_msg_mount_despawn(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::ProjectileSpawn>) {
                process_net_msg_projectile_spawn(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::AssignShip>) {
                process_net_msg_assign_ship(msg);
            } else if constexpr (std::is_same_v<Msg, NetMsgs::AssignMount>) {
                process_net_msg_assign_mount(msg);
            }
            // The client's own input, the match state and the connection
            // messages change nothing here.
        },
        net_msg);
}

void CaptureTheFlagModule::process_net_msg_ship_spawn(NetMsgs::ShipSpawn msg) {
    SPDLOG_INFO("Receive ship spawn: {}", msg.id);
    spawn_ship_from_ship_spawn(store->ships, store->physics_bodies, config, msg);
}

void CaptureTheFlagModule::process_net_msg_ship_snapshot(NetMsgs::ShipSnapshot msg) {
    update_ship_from_ship_snapshot(store->ships, msg);
}

void CaptureTheFlagModule::process_net_msg_ship_despawn(NetMsgs::ShipDespawn msg) {
    remove_ship_from_ship_despawn(msg);
}

void CaptureTheFlagModule::process_net_msg_mount_spawn(NetMsgs::MountSpawn msg) {
    SPDLOG_INFO("Receive mount spawn: {}", msg.id);
    spawn_mount_from_mount_spawn(store->ships, store->mounts, config, msg);
}

void CaptureTheFlagModule::process_net_msg_mount_snapshot(NetMsgs::MountSnapshot msg) {
    update_mount_from_mount_snapshot(store->mounts, msg);
}

void CaptureTheFlagModule::process_net_msg_mount_despawn(NetMsgs::MountDespawn msg) {
    remove_mount_from_mount_despawn(msg);
}

void CaptureTheFlagModule::process_net_msg_projectile_spawn(NetMsgs::ProjectileSpawn msg) {
    spawn_projectile_from_projectile_spawn(store->ships, store->mounts, store->projectiles, config,
                                           msg);
}

void CaptureTheFlagModule::process_net_msg_assign_ship(NetMsgs::AssignShip msg) {
    SPDLOG_INFO("Receive assign ship: {}", msg.ship_id);
    owned_ship_id = msg.ship_id;
}

void CaptureTheFlagModule::process_net_msg_assign_mount(NetMsgs::AssignMount msg) {
    SPDLOG_INFO("Receive assign mount: {}", msg.mount_id);
    owned_mount_ids.push_back(msg.mount_id);
}

void CaptureTheFlagModule::update_camera() {
    if (!owned_ship_id) {
        return;
    }
    const std::optional<std::uint32_t> row = store->ships.get_index_by_id(*owned_ship_id);
    if (!row) {
        return;
    }
    camera_x = store->ships.dense_list.x[*row];
    camera_y = store->ships.dense_list.y[*row];
}

void CaptureTheFlagModule::render() {
    update_camera();
    render_drawables(window, renderer, store->ships.dense_list, camera_x, camera_y);
    render_drawables(window, renderer, store->mounts.dense_list, camera_x, camera_y);
    render_drawables(window, renderer, store->projectiles.dense_list, camera_x, camera_y);
    render_physics_bodies(window, renderer, store->physics_bodies.dense_list, camera_x, camera_y);
}

}  // namespace Client
