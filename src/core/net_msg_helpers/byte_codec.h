#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <system_error>
#include <type_traits>
#include <vector>

// Little-endian writer and reader for the batch wire format. Every value is
// written field by field, so no struct padding ever reaches the wire.

struct ByteWriter {
    std::vector<std::uint8_t> bytes;

    void put(std::uint8_t value) { bytes.push_back(value); }
    void put(bool value) { put(static_cast<std::uint8_t>(value ? 1 : 0)); }
    void put(std::uint32_t value) {
        const std::uint8_t little_endian[4] = {
            static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        bytes.insert(bytes.end(), little_endian, little_endian + 4);
    }
    void put(std::int32_t value) { put(std::bit_cast<std::uint32_t>(value)); }
    void put(float value) { put(std::bit_cast<std::uint32_t>(value)); }
    template <typename Enum>
        requires std::is_enum_v<Enum>
    void put(Enum value) {
        put(static_cast<std::underlying_type_t<Enum>>(value));
    }
};

// Every read that finds too few bytes left raises std::system_error with
// std::errc::result_out_of_range.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - offset_; }

    void get(std::uint8_t& value) { value = take(1)[0]; }
    // Senders write 0 or 1; any other byte reads as true.
    void get(bool& value) { value = take(1)[0] != 0; }
    void get(std::uint32_t& value) {
        const auto four = take(4);
        value = static_cast<std::uint32_t>(four[0]) | static_cast<std::uint32_t>(four[1]) << 8 |
                static_cast<std::uint32_t>(four[2]) << 16 | static_cast<std::uint32_t>(four[3]) << 24;
    }
    void get(std::int32_t& value) { value = std::bit_cast<std::int32_t>(get_u32()); }
    void get(float& value) { value = std::bit_cast<float>(get_u32()); }
    template <typename Enum>
        requires std::is_enum_v<Enum>
    void get(Enum& value) {
        std::underlying_type_t<Enum> raw{};
        get(raw);
        value = static_cast<Enum>(raw);
    }

private:
    std::uint32_t get_u32() {
        std::uint32_t value = 0;
        get(value);
        return value;
    }

    std::span<const std::uint8_t> take(std::size_t count) {
        if (remaining() < count) {
            throw std::system_error(std::make_error_code(std::errc::result_out_of_range));
        }
        const auto taken = bytes_.subspan(offset_, count);
        offset_ += count;
        return taken;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};
