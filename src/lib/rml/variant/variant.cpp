#include "lib/rml/variant/variant.h"

#include <cmath>

#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

std::string_view TrimLeft(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r')) {
        text.remove_prefix(1);
    }
    return text;
}

// Reads a leading number as scanf would: "12abc" is 12, "abc" is nothing.
bool ParseLeadingDouble(std::string_view text, double& out) {
    return StringUtilities::ParseNumberPrefix(TrimLeft(text), out) && std::isfinite(out);
}

bool ParseLeadingLong(std::string_view text, long long& out) {
    return StringUtilities::ParseNumberPrefix(TrimLeft(text), out).has_value();
}

// The whole part of `value` when a long long holds it; NaN, infinities and
// numbers beyond do not convert.
bool TruncateToLong(double value, long long& out) {
    constexpr double kLimit = 9223372036854775808.0;  // 2^63, exact in a double
    if (!(value >= -kLimit && value < kLimit)) return false;
    out = static_cast<long long>(value);
    return true;
}

}  // namespace

Variant::Type Variant::GetType() const {
    switch (value_.index()) {
        case 1: return BOOL;
        case 2: return INT;
        case 3: return FLOAT;
        case 4: return DOUBLE;
        case 5: return STRING;
        default: return NONE;
    }
}

bool Variant::ToBool(bool& out) const {
    switch (GetType()) {
        case BOOL: out = std::get<bool>(value_); return true;
        case INT: out = std::get<int>(value_) != 0; return true;
        case FLOAT: out = std::get<float>(value_) != 0.f; return true;
        case DOUBLE: out = std::get<double>(value_) != 0.0; return true;
        case STRING: {
            const String lower = StringUtilities::ToLower(std::get<String>(value_));
            if (lower == "1" || lower == "true") {
                out = true;
                return true;
            }
            if (lower == "0" || lower == "false") {
                out = false;
                return true;
            }
            return false;
        }
        case NONE: return false;
    }
    return false;
}

bool Variant::ToLong(long long& out) const {
    switch (GetType()) {
        case BOOL: out = std::get<bool>(value_) ? 1 : 0; return true;
        case INT: out = std::get<int>(value_); return true;
        case FLOAT: return TruncateToLong(std::get<float>(value_), out);
        case DOUBLE: return TruncateToLong(std::get<double>(value_), out);
        case STRING: return ParseLeadingLong(std::get<String>(value_), out);
        case NONE: return false;
    }
    return false;
}

bool Variant::ToDouble(double& out) const {
    switch (GetType()) {
        case BOOL: out = std::get<bool>(value_) ? 1.0 : 0.0; return true;
        case INT: out = std::get<int>(value_); return true;
        case FLOAT: out = std::get<float>(value_); return true;
        case DOUBLE: out = std::get<double>(value_); return true;
        case STRING: return ParseLeadingDouble(std::get<String>(value_), out);
        case NONE: return false;
    }
    return false;
}

bool Variant::ToString(String& out) const {
    switch (GetType()) {
        case BOOL: out.assign(1, std::get<bool>(value_) ? '1' : '0'); return true;
        case INT: out = std::to_string(std::get<int>(value_)); return true;
        case FLOAT: out = StringUtilities::FormatNumber(std::get<float>(value_)); return true;
        case DOUBLE: out = StringUtilities::FormatNumber(std::get<double>(value_)); return true;
        case STRING: out = std::get<String>(value_); return true;
        case NONE: return false;
    }
    return false;
}

}  // namespace Rml
