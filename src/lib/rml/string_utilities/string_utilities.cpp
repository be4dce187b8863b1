#include "lib/rml/string_utilities/string_utilities.h"

#include <charconv>
#include <cmath>

namespace Rml::StringUtilities {

String ToLower(std::string_view text) {
    String out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

StringList Split(std::string_view text, char separator) {
    StringList out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view piece = Trim(text.substr(start, end - start));
        if (!piece.empty()) out.emplace_back(piece);
        start = end + 1;
    }
    return out;
}

StringList SplitWhitespace(std::string_view text) {
    StringList out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSpace(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i])) ++i;
        if (i > start) out.emplace_back(text.substr(start, i - start));
    }
    return out;
}

namespace {

template <typename T>
String FormatShortest(T value) {
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf");
    if (value == 0) return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return String(buffer, result.ptr);
}

}  // namespace

String FormatNumber(float value) { return FormatShortest(value); }
String FormatNumber(double value) { return FormatShortest(value); }

char32_t DecodeUtf8(std::string_view text, std::size_t& offset) {
    const auto byte_at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte_at(offset);
    int length = 1;
    char32_t code_point = lead;
    if (lead >= 0xF0) {
        length = 4;
        code_point = lead & 0x07;
    } else if (lead >= 0xE0) {
        length = 3;
        code_point = lead & 0x0F;
    } else if (lead >= 0xC0) {
        length = 2;
        code_point = lead & 0x1F;
    }
    if (offset + length > text.size()) {
        ++offset;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) code_point = (code_point << 6) | (byte_at(offset + i) & 0x3F);
    offset += length;
    return code_point;
}

void AppendUtf8(String& out, char32_t code_point) {
    if (code_point < 0x80) {
        out += static_cast<char>(code_point);
    } else if (code_point < 0x800) {
        out += static_cast<char>(0xC0 | (code_point >> 6));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else if (code_point < 0x10000) {
        out += static_cast<char>(0xE0 | (code_point >> 12));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code_point >> 18));
        out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code_point & 0x3F));
    }
}

namespace {
bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::size_t NextCodePoint(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) return text.size();
    ++offset;
    while (offset < text.size() && IsContinuation(text[offset])) ++offset;
    return offset;
}

std::size_t PreviousCodePoint(std::string_view text, std::size_t offset) {
    if (offset == 0) return 0;
    offset = std::min(offset, text.size());
    --offset;
    while (offset > 0 && IsContinuation(text[offset])) --offset;
    return offset;
}

std::size_t CountCodePoints(std::string_view text) {
    std::size_t count = 0;
    for (char c : text) {
        if (!IsContinuation(c)) ++count;
    }
    return count;
}

}  // namespace Rml::StringUtilities
