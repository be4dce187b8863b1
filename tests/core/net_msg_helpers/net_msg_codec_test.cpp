#include "core/net_msg_helpers/net_msg_codec.h"

#include <cstdint>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::errc decoding_error(const Bytes& bytes) {
    try {
        deserialize_net_msg_batch(bytes);
    } catch (const std::system_error& error) {
        return static_cast<std::errc>(error.code().value());
    }
    return std::errc{};
}

void append_u32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

Bytes header(std::uint32_t tick, std::uint32_t count) {
    Bytes bytes;
    append_u32(bytes, tick);
    append_u32(bytes, count);
    return bytes;
}

}  // namespace

TEST(NetMsgCodec, AssignmentsEncodeAsEighteenBytes) {
    const NetMsgBatch batch{
        .tick = 5,
        .messages = {NetMsgs::AssignShip{.ship_id = 7}, NetMsgs::AssignMount{.mount_id = 8}}};
    const Bytes expected = {0x05, 0, 0, 0, 0x02, 0, 0, 0, 0x08, 0x07, 0, 0, 0, 0x09, 0x08, 0, 0, 0};
    EXPECT_EQ(serialize_net_msg_batch(batch), expected);
    EXPECT_EQ(deserialize_net_msg_batch(expected), batch);
}

TEST(NetMsgCodec, ClientInputGoesOutFieldByFieldInTwentyThreeBytes) {
    const NetMsgs::ClientInput input{.up = true,
                                     .fire = true,
                                     .mouse_dir_x = 1.0f,
                                     .mouse_dir_y = 0.0f,
                                     .mouse_world_x = -2.5f,
                                     .mouse_world_y = 3.0f};
    const Bytes bytes = serialize_net_msg_batch(NetMsgBatch{.tick = 0, .messages = {input}});
    const Bytes message(bytes.begin() + 8, bytes.end());
    const Bytes expected = {0x03, 0x01, 0, 0, 0, 0x01, 0, 0, 0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0,
                            0x00, 0x00, 0x20, 0xC0, 0x00, 0x00, 0x40, 0x40};
    EXPECT_EQ(message, expected);
    EXPECT_EQ(std::get<NetMsgs::ClientInput>(deserialize_net_msg_batch(bytes).messages[0]), input);
}

namespace {

// One message of every kind, each field holding its own value, with its bytes
// written out from the wire layout: tag, then the fields in wire order.
struct WireVector {
    NetMsg message;
    Bytes bytes;
};

// Seven flags cannot all differ in one message: over these three inputs each
// flag is set in its own combination (up 001 ... c 111), so any two swapped
// flags change some vector.
const WireVector wire_vectors[] = {
    {NetMsgs::ShipSnapshot{.id = 0x0A0B0C0D, .x = 1.0f, .y = 2.0f, .vel_x = 3.0f, .vel_y = 4.0f,
                           .acc_x = -1.5f, .acc_y = 0.5f, .rot = -2.5f},
     {0x00, 0x0D, 0x0C, 0x0B, 0x0A, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x40,
      0x00, 0x00, 0x40, 0x40, 0x00, 0x00, 0x80, 0x40, 0x00, 0x00, 0xC0, 0xBF,
      0x00, 0x00, 0x00, 0x3F, 0x00, 0x00, 0x20, 0xC0}},
    {NetMsgs::ShipSpawn{.id = 0x01020304, .ship_type = ShipType::CruiserTwo, .x = 5.0f, .y = 6.0f,
                        .vel_x = 7.0f, .vel_y = 8.0f, .acc_x = -1.0f, .acc_y = 0.25f, .rot = 1.5f},
     {0x01, 0x04, 0x03, 0x02, 0x01, 0xB1, 0x04, 0x00, 0x00, 0x00, 0x00, 0xA0, 0x40,
      0x00, 0x00, 0xC0, 0x40, 0x00, 0x00, 0xE0, 0x40, 0x00, 0x00, 0x00, 0x41,
      0x00, 0x00, 0x80, 0xBF, 0x00, 0x00, 0x80, 0x3E, 0x00, 0x00, 0xC0, 0x3F}},
    {NetMsgs::ShipDespawn{.id = 0x11223344}, {0x02, 0x44, 0x33, 0x22, 0x11}},
    {NetMsgs::ClientInput{.up = true, .right = true, .fire = true, .c = true, .mouse_dir_x = 1.0f,
                          .mouse_dir_y = -2.0f, .mouse_world_x = 10.0f, .mouse_world_y = -1.5f},
     {0x03, 1, 0, 1, 0, 1, 0, 1, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0xC0,
      0x00, 0x00, 0x20, 0x41, 0x00, 0x00, 0xC0, 0xBF}},
    {NetMsgs::ClientInput{.down = true, .right = true, .shift = true, .c = true},
     {0x03, 0, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {NetMsgs::ClientInput{.left = true, .fire = true, .shift = true, .c = true},
     {0x03, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {NetMsgs::MountSpawn{.id = 0x0105, .ship_id = 0x00020006, .ship_mount_index = 3,
                         .mount_type = MountType::MediumTwo},
     {0x04, 0x05, 0x01, 0x00, 0x00, 0x06, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00,
      0x35, 0x08, 0x00, 0x00}},
    {NetMsgs::MountSnapshot{.id = 0x2A, .rot = -1.5f},
     {0x05, 0x2A, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0xBF}},
    {NetMsgs::MountDespawn{.id = 0x0708}, {0x06, 0x08, 0x07, 0x00, 0x00}},
    {NetMsgs::ProjectileSpawn{.mount_id = 0x090A}, {0x07, 0x0A, 0x09, 0x00, 0x00}},
    {NetMsgs::AssignShip{.ship_id = 0x00010000}, {0x08, 0x00, 0x00, 0x01, 0x00}},
    {NetMsgs::AssignMount{.mount_id = 0xFFFFFFFE}, {0x09, 0xFE, 0xFF, 0xFF, 0xFF}},
    {NetMsgs::CaptureTheFlagMatchState{.phase = 2, .current_round = 3, .red_score = -4,
                                       .blue_score = 5, .flag_carrier_ship_id = 0x0106,
                                       .flag_position_x = 6.0f, .flag_position_y = -2.0f},
     {0x0A, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0xFF,
      0x05, 0x00, 0x00, 0x00, 0x06, 0x01, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x40,
      0x00, 0x00, 0x00, 0xC0}},
    {NetMsgs::ClientConnected{.client_id = 0x0B0C}, {0x0B, 0x0C, 0x0B, 0x00, 0x00}},
    {NetMsgs::ClientDisconnected{.client_id = 0x0D}, {0x0C, 0x0D, 0x00, 0x00, 0x00}},
    {NetMsgs::ServerConnected{}, {0x0D}},
    {NetMsgs::ServerDisconnected{}, {0x0E}},
};

}  // namespace

TEST(NetMsgCodec, EveryKindEncodesAndDecodesAsItsWireLayout) {
    for (const WireVector& vector : wire_vectors) {
        Bytes bytes = {0x01, 0x02, 0x03, 0x04, 0x01, 0x00, 0x00, 0x00};
        bytes.insert(bytes.end(), vector.bytes.begin(), vector.bytes.end());
        const NetMsgBatch batch{.tick = 0x04030201, .messages = {vector.message}};
        EXPECT_EQ(serialize_net_msg_batch(batch), bytes) << "tag " << int{vector.bytes[0]};
        EXPECT_EQ(deserialize_net_msg_batch(bytes), batch) << "tag " << int{vector.bytes[0]};
    }
}

TEST(NetMsgCodec, ServerConnectedIsATagAlone) {
    const Bytes bytes =
        serialize_net_msg_batch(NetMsgBatch{.tick = 1, .messages = {NetMsgs::ServerConnected{}}});
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0, 1, 0, 0, 0, 13}));
}

TEST(NetMsgCodec, EveryKindHasItsBodyLength) {
    const std::size_t body_bytes[] = {32, 36, 4, 23, 16, 8, 4, 4, 4, 4, 28, 4, 4, 0, 0};
    for (std::size_t tag = 0; tag < std::variant_size_v<NetMsg>; ++tag) {
        Bytes bytes = header(0, 1);
        bytes.push_back(static_cast<std::uint8_t>(tag));
        bytes.resize(bytes.size() + body_bytes[tag], 0);
        const NetMsgBatch decoded = deserialize_net_msg_batch(bytes);
        ASSERT_EQ(decoded.messages.size(), 1u);
        EXPECT_EQ(decoded.messages[0].index(), tag);
        EXPECT_EQ(serialize_net_msg_batch(decoded), bytes) << "tag " << tag;
        if (body_bytes[tag] > 0) {
            bytes.pop_back();
            EXPECT_EQ(decoding_error(bytes), std::errc::result_out_of_range) << "tag " << tag;
        }
    }
}

TEST(NetMsgCodec, MalformedPacketsFailWithTheirErrorCode) {
    EXPECT_EQ(decoding_error(Bytes(7, 0)), std::errc::result_out_of_range);
    EXPECT_EQ(decoding_error(Bytes{}), std::errc::result_out_of_range);

    Bytes short_count = header(3, 2);
    short_count.push_back(8);
    short_count.insert(short_count.end(), {7, 0, 0, 0});
    EXPECT_EQ(decoding_error(short_count), std::errc::result_out_of_range);

    Bytes tag_15 = header(3, 1);
    tag_15.push_back(15);
    EXPECT_EQ(decoding_error(tag_15), std::errc::bad_message);
    tag_15.back() = 255;
    EXPECT_EQ(decoding_error(tag_15), std::errc::bad_message);

    Bytes cut_input = header(3, 1);
    cut_input.insert(cut_input.end(), {3, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0x80});
    EXPECT_EQ(decoding_error(cut_input), std::errc::result_out_of_range);
}

TEST(NetMsgCodec, ACountBeyondTheBytesFailsAtTheFirstMissingMessage) {
    Bytes promise = header(0, 0xFFFFFFFFu);
    promise.push_back(13);
    EXPECT_EQ(decoding_error(promise), std::errc::result_out_of_range);

    // The bad tag comes first in the bytes, so it is what fails.
    Bytes bad_tag = header(0, 2);
    bad_tag.push_back(0x0F);
    EXPECT_EQ(decoding_error(bad_tag), std::errc::bad_message);

    // As many messages as bytes remain is still fine when each is a bare tag.
    Bytes bare = header(0, 3);
    bare.insert(bare.end(), {13, 14, 13});
    EXPECT_EQ(deserialize_net_msg_batch(bare).messages.size(), 3u);
}

TEST(NetMsgCodec, BytesAfterTheLastMessageAreIgnored) {
    Bytes bytes = serialize_net_msg_batch(
        NetMsgBatch{.tick = 9, .messages = {NetMsgs::MountSnapshot{.id = 4, .rot = 0.5f}}});
    const NetMsgBatch expected = deserialize_net_msg_batch(bytes);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF});
    EXPECT_EQ(deserialize_net_msg_batch(bytes), expected);
}

TEST(NetMsgCodec, AnyNonZeroFlagByteReadsAsTrue) {
    Bytes bytes = header(0, 1);
    bytes.insert(bytes.end(), {3, 2, 0, 0xFF, 0, 0x80, 1, 0});
    bytes.resize(bytes.size() + 16, 0);
    const auto input = std::get<NetMsgs::ClientInput>(deserialize_net_msg_batch(bytes).messages[0]);
    EXPECT_TRUE(input.up);
    EXPECT_FALSE(input.down);
    EXPECT_TRUE(input.right);
    EXPECT_FALSE(input.left);
    EXPECT_TRUE(input.fire);
    EXPECT_TRUE(input.shift);
    EXPECT_FALSE(input.c);
}
