// Writes the fuzzer's corpus: valid batches holding every kind of message.
// Usage: net_msg_corpus_writer [directory], by default tools/fuzz/corpus/deserialize_batch.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "core/net_msg_helpers/net_msg_codec.h"

namespace {

using NamedBatch = std::pair<std::string, NetMsgBatch>;

NetMsgBatch batch_of(std::uint32_t tick, std::vector<NetMsg> messages) {
    return NetMsgBatch{.tick = tick, .messages = std::move(messages)};
}

std::vector<NamedBatch> one_of_each_kind() {
    return {
        {"ship_snapshot", batch_of(120, {NetMsgs::ShipSnapshot{1, 10.5f, -4.0f, 3.0f, 0.25f, 1.0f, -1.0f, 1.5707964f}})},
        {"ship_spawn", batch_of(121, {NetMsgs::ShipSpawn{2, ShipType::CruiserTwo, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, -3.1415927f}})},
        {"ship_despawn", batch_of(122, {NetMsgs::ShipDespawn{3}})},
        {"client_input", batch_of(123, {NetMsgs::ClientInput{true, false, false, true, true, false, true, 0.6f, -0.8f, 250.0f, -75.5f}})},
        {"mount_spawn", batch_of(124, {NetMsgs::MountSpawn{4, 2, 1, MountType::LargeThree}})},
        {"mount_snapshot", batch_of(125, {NetMsgs::MountSnapshot{4, 0.75f}})},
        {"mount_despawn", batch_of(126, {NetMsgs::MountDespawn{4}})},
        {"projectile_spawn", batch_of(127, {NetMsgs::ProjectileSpawn{4}})},
        {"assign_ship", batch_of(128, {NetMsgs::AssignShip{2}})},
        {"assign_mount", batch_of(129, {NetMsgs::AssignMount{4}})},
        {"capture_the_flag_match_state", batch_of(130, {NetMsgs::CaptureTheFlagMatchState{0, 1, 0, 0, 0, 0.0f, 0.0f}})},
        {"client_connected", batch_of(0, {NetMsgs::ClientConnected{1}})},
        {"client_disconnected", batch_of(0, {NetMsgs::ClientDisconnected{1}})},
        {"server_connected", batch_of(0, {NetMsgs::ServerConnected{}})},
        {"server_disconnected", batch_of(0, {NetMsgs::ServerDisconnected{}})},
    };
}

std::vector<NamedBatch> whole_batches() {
    std::vector<NetMsg> join = {NetMsgs::AssignShip{1}};
    for (std::uint32_t mount = 1; mount <= 3; ++mount) {
        join.push_back(NetMsgs::AssignMount{mount});
    }
    join.push_back(NetMsgs::ShipSpawn{1, ShipType::FrigateOne, 0, 0, 0, 0, 0, 0, 0});
    for (std::uint32_t mount = 1; mount <= 3; ++mount) {
        join.push_back(NetMsgs::MountSpawn{mount, 1, mount - 1, MountType::SmallOne});
    }
    std::vector<NetMsg> largest(225, NetMsg{NetMsgs::ProjectileSpawn{7}});
    largest.push_back(NetMsgs::ShipSpawn{9, ShipType::BattleshipTwo, 1, 2, 3, 4, 5, 6, 7});
    return {
        {"empty", batch_of(7, {})},
        {"join", batch_of(60, join)},
        {"snapshots_29", batch_of(300, std::vector<NetMsg>(29, NetMsg{NetMsgs::ShipSnapshot{5, 1, 2, 3, 4, 5, 6, 0.5f}}))},
        {"spawns_26", batch_of(301, std::vector<NetMsg>(26, NetMsg{NetMsgs::ShipSpawn{6, ShipType::DestroyerOne, 1, 2, 3, 4, 5, 6, 7}}))},
        {"largest_226", batch_of(302, largest)},
        {"replication_pass", batch_of(303, {NetMsgs::ShipSnapshot{1, 1, 1, 0, 0, 0, 0, 0}, NetMsgs::MountSnapshot{1, 0.1f},
                                            NetMsgs::MountSnapshot{2, 0.2f}, NetMsgs::CaptureTheFlagMatchState{0, 1, 0, 0, 0, 0, 0}})},
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path directory = argc > 1 ? argv[1] : "tools/fuzz/corpus/deserialize_batch";
    std::filesystem::create_directories(directory);
    std::vector<NamedBatch> batches = one_of_each_kind();
    for (NamedBatch& batch : whole_batches()) {
        batches.push_back(std::move(batch));
    }
    for (const auto& [name, batch] : batches) {
        const std::vector<std::uint8_t> bytes = serialize_net_msg_batch(batch);
        std::ofstream out(directory / (name + ".bin"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "could not write " << (directory / (name + ".bin")) << '\n';
            return 1;
        }
    }
    std::cout << "wrote " << batches.size() << " corpus files to " << directory << '\n';
    return 0;
}
