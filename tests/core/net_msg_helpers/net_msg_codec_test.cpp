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

TEST(NetMsgCodec, ACountBeyondTheBytesFailsBeforeAnythingIsHeld) {
    Bytes promise = header(0, 0xFFFFFFFFu);
    promise.push_back(13);
    EXPECT_EQ(decoding_error(promise), std::errc::result_out_of_range);

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
