#pragma once

#include <charconv>
#include <optional>
#include <string_view>

#include "lib/rml/types/types.h"

namespace Rml::StringUtilities {

String ToLower(std::string_view text);
std::string_view Trim(std::string_view text);
bool IsSpace(char c);
// Splits at `separator`, trimming each piece and dropping empty pieces.
StringList Split(std::string_view text, char separator);
// Splits at runs of white space.
StringList SplitWhitespace(std::string_view text);
// Reads a number at the start of `text`, a leading '+' allowed; gives what
// follows it, or nothing when no number starts there.
template <typename T>
std::optional<std::string_view> ParseNumberPrefix(std::string_view text, T& out) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    if (result.ec != std::errc{}) return std::nullopt;
    return text.substr(static_cast<std::size_t>(result.ptr - text.data()));
}
// The shortest text that reads back to the same number ("190", "185.5").
String FormatNumber(float value);
String FormatNumber(double value);

// UTF-8 helpers: byte offsets always sit on code point boundaries.
char32_t DecodeUtf8(std::string_view text, std::size_t& offset);
void AppendUtf8(String& out, char32_t code_point);
std::size_t NextCodePoint(std::string_view text, std::size_t offset);
std::size_t PreviousCodePoint(std::string_view text, std::size_t offset);
std::size_t CountCodePoints(std::string_view text);

}  // namespace Rml::StringUtilities
