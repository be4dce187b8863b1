#include "core/net_msg_helpers/net_msg_codec.h"

#include <array>
#include <cstddef>
#include <system_error>
#include <tuple>
#include <type_traits>
#include <utility>

#include "core/net_msg_helpers/byte_codec.h"

namespace {

template <typename Msg, typename Record>
concept RecordRef = std::is_same_v<std::remove_const_t<Msg>, Record>;

// One field list per record, in wire order, shared by encoding and decoding.
template <RecordRef<NetMsgs::ShipSnapshot> M>
auto fields(M& m) {
    return std::tie(m.id, m.x, m.y, m.vel_x, m.vel_y, m.acc_x, m.acc_y, m.rot);
}
template <RecordRef<NetMsgs::ShipSpawn> M>
auto fields(M& m) {
    return std::tie(m.id, m.ship_type, m.x, m.y, m.vel_x, m.vel_y, m.acc_x, m.acc_y, m.rot);
}
template <RecordRef<NetMsgs::ShipDespawn> M>
auto fields(M& m) {
    return std::tie(m.id);
}
template <RecordRef<NetMsgs::ClientInput> M>
auto fields(M& m) {
    return std::tie(m.up, m.down, m.right, m.left, m.fire, m.shift, m.c, m.mouse_dir_x,
                    m.mouse_dir_y, m.mouse_world_x, m.mouse_world_y);
}
template <RecordRef<NetMsgs::MountSpawn> M>
auto fields(M& m) {
    return std::tie(m.id, m.ship_id, m.ship_mount_index, m.mount_type);
}
template <RecordRef<NetMsgs::MountSnapshot> M>
auto fields(M& m) {
    return std::tie(m.id, m.rot);
}
template <RecordRef<NetMsgs::MountDespawn> M>
auto fields(M& m) {
    return std::tie(m.id);
}
template <RecordRef<NetMsgs::ProjectileSpawn> M>
auto fields(M& m) {
    return std::tie(m.mount_id);
}
template <RecordRef<NetMsgs::AssignShip> M>
auto fields(M& m) {
    return std::tie(m.ship_id);
}
template <RecordRef<NetMsgs::AssignMount> M>
auto fields(M& m) {
    return std::tie(m.mount_id);
}
template <RecordRef<NetMsgs::CaptureTheFlagMatchState> M>
auto fields(M& m) {
    return std::tie(m.phase, m.current_round, m.red_score, m.blue_score, m.flag_carrier_ship_id,
                    m.flag_position_x, m.flag_position_y);
}
template <RecordRef<NetMsgs::ClientConnected> M>
auto fields(M& m) {
    return std::tie(m.client_id);
}
template <RecordRef<NetMsgs::ClientDisconnected> M>
auto fields(M& m) {
    return std::tie(m.client_id);
}
template <RecordRef<NetMsgs::ServerConnected> M>
auto fields(M&) {
    return std::tuple<>{};
}
template <RecordRef<NetMsgs::ServerDisconnected> M>
auto fields(M&) {
    return std::tuple<>{};
}

constexpr std::size_t net_msg_kind_count = std::variant_size_v<NetMsg>;

void encode_net_msg(ByteWriter& writer, const NetMsg& msg) {
    if (msg.valueless_by_exception()) {
        throw std::system_error(std::make_error_code(std::errc::bad_message));
    }
    writer.put(static_cast<std::uint8_t>(msg.index()));
    std::visit(
        [&writer](const auto& record) {
            std::apply([&writer](const auto&... field) { (writer.put(field), ...); },
                       fields(record));
        },
        msg);
}

template <std::size_t Tag>
NetMsg decode_record(ByteReader& reader) {
    std::variant_alternative_t<Tag, NetMsg> record{};
    std::apply([&reader](auto&... field) { (reader.get(field), ...); }, fields(record));
    return NetMsg{std::in_place_index<Tag>, record};
}

using RecordDecoder = NetMsg (*)(ByteReader&);

template <std::size_t... Tags>
constexpr std::array<RecordDecoder, sizeof...(Tags)> make_record_decoders(
    std::index_sequence<Tags...>) {
    return {&decode_record<Tags>...};
}

constexpr auto record_decoders =
    make_record_decoders(std::make_index_sequence<net_msg_kind_count>{});

NetMsg decode_net_msg(ByteReader& reader) {
    std::uint8_t tag = 0;
    reader.get(tag);
    if (tag >= net_msg_kind_count) {
        throw std::system_error(std::make_error_code(std::errc::bad_message));
    }
    return record_decoders[tag](reader);
}

}  // namespace

std::vector<std::uint8_t> serialize_net_msg_batch(const NetMsgBatch& batch) {
    ByteWriter writer;
    writer.put(batch.tick);
    writer.put(static_cast<std::uint32_t>(batch.messages.size()));
    for (const NetMsg& msg : batch.messages) {
        encode_net_msg(writer, msg);
    }
    return std::move(writer.bytes);
}

NetMsgBatch deserialize_net_msg_batch(std::span<const std::uint8_t> bytes) {
    ByteReader reader(bytes);
    NetMsgBatch batch;
    std::uint32_t count = 0;
    reader.get(batch.tick);
    reader.get(count);
    // Every message takes at least its tag byte: a count beyond the bytes that
    // remain can never decode, and must not make us reserve room for it.
    if (count > reader.remaining()) {
        throw std::system_error(std::make_error_code(std::errc::result_out_of_range));
    }
    batch.messages.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        batch.messages.push_back(decode_net_msg(reader));
    }
    return batch;
}
