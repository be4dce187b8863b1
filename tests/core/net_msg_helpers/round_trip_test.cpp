// Random batches of every kind must come back from the wire unchanged.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "core/net_msg_helpers/net_msg_codec.h"

namespace {

class RandomNetMsgs {
public:
    explicit RandomNetMsgs(std::uint32_t start_value) : engine_(start_value) {}

    NetMsgBatch batch() {
        NetMsgBatch batch{.tick = u32(), .messages = {}};
        const std::uint32_t count = std::uniform_int_distribution<std::uint32_t>(0, 40)(engine_);
        for (std::uint32_t i = 0; i < count; ++i) {
            batch.messages.push_back(message());
        }
        return batch;
    }

    // Any bit pattern but NaN, so that == can compare; -0, infinities and
    // subnormals come up as well.
    float f32() {
        while (true) {
            const float value = std::bit_cast<float>(u32());
            if (!std::isnan(value)) {
                return value;
            }
        }
    }
    std::uint32_t u32() { return std::uniform_int_distribution<std::uint32_t>()(engine_); }
    std::int32_t i32() { return std::bit_cast<std::int32_t>(u32()); }
    bool flag() { return (u32() & 1u) != 0; }

private:
    NetMsg message() {
        switch (std::uniform_int_distribution<int>(0, 14)(engine_)) {
            case 0: return NetMsgs::ShipSnapshot{u32(), f32(), f32(), f32(), f32(), f32(), f32(), f32()};
            case 1:
                return NetMsgs::ShipSpawn{u32(),  static_cast<ShipType>(u32()), f32(), f32(), f32(),
                                          f32(), f32(), f32(), f32()};
            case 2: return NetMsgs::ShipDespawn{u32()};
            case 3:
                return NetMsgs::ClientInput{flag(), flag(), flag(), flag(), flag(), flag(),
                                            flag(), f32(),  f32(),  f32(),  f32()};
            case 4: return NetMsgs::MountSpawn{u32(), u32(), u32(), static_cast<MountType>(u32())};
            case 5: return NetMsgs::MountSnapshot{u32(), f32()};
            case 6: return NetMsgs::MountDespawn{u32()};
            case 7: return NetMsgs::ProjectileSpawn{u32()};
            case 8: return NetMsgs::AssignShip{u32()};
            case 9: return NetMsgs::AssignMount{u32()};
            case 10:
                return NetMsgs::CaptureTheFlagMatchState{u32(), i32(), i32(), i32(), u32(), f32(), f32()};
            case 11: return NetMsgs::ClientConnected{u32()};
            case 12: return NetMsgs::ClientDisconnected{u32()};
            case 13: return NetMsgs::ServerConnected{};
            default: return NetMsgs::ServerDisconnected{};
        }
    }

    std::mt19937 engine_;
};

}  // namespace

TEST(NetMsgRoundTrip, RandomBatchesOfEveryKindComeBackEqual) {
    RandomNetMsgs random(20260823u);
    std::vector<bool> kinds_seen(std::variant_size_v<NetMsg>, false);
    for (int round = 0; round < 300; ++round) {
        const NetMsgBatch batch = random.batch();
        const std::vector<std::uint8_t> bytes = serialize_net_msg_batch(batch);
        const NetMsgBatch decoded = deserialize_net_msg_batch(bytes);
        ASSERT_EQ(decoded, batch) << "round " << round;
        // == takes -0 for 0; the bytes tell them apart.
        ASSERT_EQ(serialize_net_msg_batch(decoded), bytes) << "round " << round;
        for (const NetMsg& msg : batch.messages) {
            kinds_seen[msg.index()] = true;
        }
    }
    EXPECT_EQ(std::count(kinds_seen.begin(), kinds_seen.end(), true), 15);
}

TEST(NetMsgRoundTrip, NanPayloadsKeepTheirBits) {
    const float quiet = std::bit_cast<float>(0x7FC01234u);
    const float signalling = std::bit_cast<float>(0xFF800001u);
    const NetMsgBatch batch{
        .tick = 1,
        .messages = {NetMsgs::MountSnapshot{.id = 1, .rot = quiet},
                     NetMsgs::ClientInput{.mouse_dir_x = signalling, .mouse_world_y = quiet}}};
    const std::vector<std::uint8_t> bytes = serialize_net_msg_batch(batch);
    EXPECT_EQ(serialize_net_msg_batch(deserialize_net_msg_batch(bytes)), bytes);
}
