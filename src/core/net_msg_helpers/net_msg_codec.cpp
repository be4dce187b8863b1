#include "core/net_msg_helpers/net_msg_codec.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <system_error>
#include <tuple>
#include <utility>

#include "core/net_msg_helpers/byte_codec.h"

namespace {

using namespace NetMsgs;

// One list of fields per record, in wire order, shared by encoding and decoding.
template <typename Record>
constexpr auto wire_fields = std::tuple<>{};

template <>
constexpr auto wire_fields<ShipSnapshot> =
    std::tuple{&ShipSnapshot::id, &ShipSnapshot::x, &ShipSnapshot::y, &ShipSnapshot::vel_x,
               &ShipSnapshot::vel_y, &ShipSnapshot::acc_x, &ShipSnapshot::acc_y, &ShipSnapshot::rot};
template <>
constexpr auto wire_fields<ShipSpawn> =
    std::tuple{&ShipSpawn::id,    &ShipSpawn::ship_type, &ShipSpawn::x,     &ShipSpawn::y,
               &ShipSpawn::vel_x, &ShipSpawn::vel_y,     &ShipSpawn::acc_x, &ShipSpawn::acc_y,
               &ShipSpawn::rot};
template <>
constexpr auto wire_fields<ShipDespawn> = std::tuple{&ShipDespawn::id};
template <>
constexpr auto wire_fields<ClientInput> =
    std::tuple{&ClientInput::up,          &ClientInput::down,        &ClientInput::right,
               &ClientInput::left,        &ClientInput::fire,        &ClientInput::shift,
               &ClientInput::c,           &ClientInput::mouse_dir_x, &ClientInput::mouse_dir_y,
               &ClientInput::mouse_world_x, &ClientInput::mouse_world_y};
template <>
constexpr auto wire_fields<MountSpawn> = std::tuple{
    &MountSpawn::id, &MountSpawn::ship_id, &MountSpawn::ship_mount_index, &MountSpawn::mount_type};
template <>
constexpr auto wire_fields<MountSnapshot> = std::tuple{&MountSnapshot::id, &MountSnapshot::rot};
template <>
constexpr auto wire_fields<MountDespawn> = std::tuple{&MountDespawn::id};
template <>
constexpr auto wire_fields<ProjectileSpawn> = std::tuple{&ProjectileSpawn::mount_id};
template <>
constexpr auto wire_fields<AssignShip> = std::tuple{&AssignShip::ship_id};
template <>
constexpr auto wire_fields<AssignMount> = std::tuple{&AssignMount::mount_id};
template <>
constexpr auto wire_fields<CaptureTheFlagMatchState> = std::tuple{
    &CaptureTheFlagMatchState::phase,           &CaptureTheFlagMatchState::current_round,
    &CaptureTheFlagMatchState::red_score,       &CaptureTheFlagMatchState::blue_score,
    &CaptureTheFlagMatchState::flag_carrier_ship_id, &CaptureTheFlagMatchState::flag_position_x,
    &CaptureTheFlagMatchState::flag_position_y};
template <>
constexpr auto wire_fields<ClientConnected> = std::tuple{&ClientConnected::client_id};
template <>
constexpr auto wire_fields<ClientDisconnected> = std::tuple{&ClientDisconnected::client_id};
// ServerConnected and ServerDisconnected carry no fields.

constexpr std::size_t net_msg_kind_count = std::variant_size_v<NetMsg>;

// Bytes of a record's fields on the wire; each field is written at its own size.
template <typename Record>
constexpr std::size_t wire_size = std::apply(
    [](auto... field) { return (std::size_t{0} + ... + sizeof(std::declval<const Record&>().*field)); },
    wire_fields<Record>);

std::size_t serialized_size(const NetMsgBatch& batch) {
    std::size_t size = 2 * sizeof(std::uint32_t);
    for (const NetMsg& msg : batch.messages) {
        // A valueless message is refused by the encoder; its size does not matter.
        size += 1 + (msg.valueless_by_exception()
                         ? 0
                         : std::visit([]<typename Record>(const Record&) { return wire_size<Record>; },
                                      msg));
    }
    return size;
}

void encode_net_msg(ByteWriter& writer, const NetMsg& msg) {
    if (msg.valueless_by_exception()) {
        throw std::system_error(std::make_error_code(std::errc::bad_message));
    }
    writer.put(static_cast<std::uint8_t>(msg.index()));
    std::visit(
        [&writer]<typename Record>(const Record& record) {
            std::apply([&](auto... field) { (writer.put(record.*field), ...); },
                       wire_fields<Record>);
        },
        msg);
}

template <std::size_t Tag>
NetMsg decode_record(ByteReader& reader) {
    using Record = std::variant_alternative_t<Tag, NetMsg>;
    Record record{};
    std::apply([&](auto... field) { (reader.get(record.*field), ...); }, wire_fields<Record>);
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
    writer.bytes.reserve(serialized_size(batch));
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
    // Every message takes at least its tag byte, so no more room than bytes
    // remain is ever needed; a count beyond them fails at the first missing
    // tag, after every tag before it was checked.
    batch.messages.reserve(std::min<std::size_t>(count, reader.remaining()));
    for (std::uint32_t i = 0; i < count; ++i) {
        batch.messages.push_back(decode_net_msg(reader));
    }
    return batch;
}
