#pragma once

#include <cmath>
#include <concepts>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <variant>
#include <vector>

#include "lib/rml/types/types.h"

namespace Rml {

// A tagged value of one of a few scalar types; `Get<T>()` converts between them
// and gives the default value when a conversion makes no sense ("abc" as int,
// a number beyond the range of T).
class Variant {
public:
    enum Type : char { NONE = '-', BOOL = 'B', INT = 'i', FLOAT = 'f', DOUBLE = 'd', STRING = 's' };

    Variant() = default;
    Variant(bool value) : value_(value) {}
    Variant(float value) : value_(value) {}
    Variant(double value) : value_(value) {}
    Variant(const char* value) : value_(String(value ? value : "")) {}
    Variant(std::string_view value) : value_(String(value)) {}
    Variant(String value) : value_(std::move(value)) {}
    template <typename T>
        requires(std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>)
    Variant(T value) : value_(static_cast<int>(value)) {}
    template <typename T>
        requires std::is_enum_v<T>
    Variant(T value) : value_(static_cast<int>(value)) {}

    Type GetType() const;
    void Clear() { value_ = std::monostate{}; }

    template <typename T>
    T Get(T default_value = T()) const;

    // Writes the converted value into `out`; false (and `out` untouched) when it does not convert.
    template <typename T>
    bool GetInto(T& out) const;

    bool operator==(const Variant& other) const { return value_ == other.value_; }

private:
    bool ToBool(bool& out) const;
    bool ToLong(long long& out) const;
    bool ToDouble(double& out) const;
    bool ToString(String& out) const;

    std::variant<std::monostate, bool, int, float, double, String> value_;
};

using VariantList = std::vector<Variant>;
using Dictionary = std::unordered_map<String, Variant>;
using ElementAttributes = Dictionary;
using XMLAttributes = Dictionary;

// True when the integral type T holds `value`.
template <typename T>
bool FitsIn(long long value) {
    using Limits = std::numeric_limits<T>;
    if constexpr (std::is_signed_v<T>) {
        return value >= static_cast<long long>(Limits::min()) && value <= static_cast<long long>(Limits::max());
    } else {
        return value >= 0 && static_cast<unsigned long long>(value) <= static_cast<unsigned long long>(Limits::max());
    }
}

template <typename T>
bool Variant::GetInto(T& out) const {
    if constexpr (std::same_as<T, bool>) {
        return ToBool(out);
    } else if constexpr (std::integral<T>) {
        long long value = 0;
        if (!ToLong(value) || !FitsIn<T>(value)) return false;
        out = static_cast<T>(value);
        return true;
    } else if constexpr (std::floating_point<T>) {
        double value = 0;
        if (!ToDouble(value)) return false;
        // A finite number beyond the target's range has no value there.
        if (std::isfinite(value) && std::abs(value) > static_cast<double>(std::numeric_limits<T>::max())) return false;
        out = static_cast<T>(value);
        return true;
    } else if constexpr (std::is_enum_v<T>) {
        long long value = 0;
        if (!ToLong(value) || !FitsIn<std::underlying_type_t<T>>(value)) return false;
        out = static_cast<T>(value);
        return true;
    } else {
        static_assert(std::same_as<T, String>, "Variant converts only to bool, numbers and String");
        return ToString(out);
    }
}

template <typename T>
T Variant::Get(T default_value) const {
    T out = default_value;
    if (!GetInto(out)) return default_value;
    return out;
}

}  // namespace Rml
