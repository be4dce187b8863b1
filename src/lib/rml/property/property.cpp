#include "lib/rml/property/property.h"

#include <array>
#include <charconv>
#include <cmath>

#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

using StringUtilities::ToLower;
using StringUtilities::Trim;

PropertyValue Value(Unit unit, float number = 0) {
    PropertyValue value;
    value.unit = unit;
    value.number = number;
    return value;
}

PropertyValue KeywordValue(int keyword) {
    PropertyValue value;
    value.keyword = keyword;
    return value;
}

PropertyValue ColourValue(Colourb colour) {
    PropertyValue value;
    value.unit = Unit::Colour;
    value.colour = colour;
    return value;
}

PropertyValue TextValue(String text) {
    PropertyValue value;
    value.unit = Unit::Text;
    value.text = std::move(text);
    return value;
}

enum class Kind : std::uint8_t { Keyword, Length, Number, Integer, Colour, Text, LineHeight };

struct Keyword {
    std::string_view name;
    int value;
};

// Which values a property takes: `allow` flags widen a length with auto or none.
struct PropertyInfo {
    std::string_view name;
    PropertyId id;
    Kind kind;
    std::vector<Keyword> keywords = {};
    bool allow_auto = false;
    bool allow_none = false;
    bool allow_percent = true;
};

template <typename E>
int K(E value) {
    return static_cast<int>(value);
}

const std::vector<PropertyInfo>& PropertyTable() {
    using namespace Style;
    static const std::vector<PropertyInfo> table = {
        {"display", PropertyId::Display, Kind::Keyword,
         {{"none", K(Display::None)}, {"block", K(Display::Block)}, {"inline", K(Display::Inline)},
          {"inline-block", K(Display::InlineBlock)}, {"flex", K(Display::Flex)}}},
        {"position", PropertyId::Position, Kind::Keyword,
         {{"static", K(Position::Static)}, {"relative", K(Position::Relative)}, {"absolute", K(Position::Absolute)}}},
        {"left", PropertyId::Left, Kind::Length, {}, true},
        {"top", PropertyId::Top, Kind::Length, {}, true},
        {"right", PropertyId::Right, Kind::Length, {}, true},
        {"bottom", PropertyId::Bottom, Kind::Length, {}, true},
        {"width", PropertyId::Width, Kind::Length, {}, true},
        {"height", PropertyId::Height, Kind::Length, {}, true},
        {"min-width", PropertyId::MinWidth, Kind::Length, {}, true},
        {"min-height", PropertyId::MinHeight, Kind::Length, {}, true},
        {"max-width", PropertyId::MaxWidth, Kind::Length, {}, false, true},
        {"max-height", PropertyId::MaxHeight, Kind::Length, {}, false, true},
        {"margin-top", PropertyId::MarginTop, Kind::Length, {}, true},
        {"margin-right", PropertyId::MarginRight, Kind::Length, {}, true},
        {"margin-bottom", PropertyId::MarginBottom, Kind::Length, {}, true},
        {"margin-left", PropertyId::MarginLeft, Kind::Length, {}, true},
        {"padding-top", PropertyId::PaddingTop, Kind::Length},
        {"padding-right", PropertyId::PaddingRight, Kind::Length},
        {"padding-bottom", PropertyId::PaddingBottom, Kind::Length},
        {"padding-left", PropertyId::PaddingLeft, Kind::Length},
        {"border-top-width", PropertyId::BorderTopWidth, Kind::Length, {}, false, false, false},
        {"border-right-width", PropertyId::BorderRightWidth, Kind::Length, {}, false, false, false},
        {"border-bottom-width", PropertyId::BorderBottomWidth, Kind::Length, {}, false, false, false},
        {"border-left-width", PropertyId::BorderLeftWidth, Kind::Length, {}, false, false, false},
        {"border-top-color", PropertyId::BorderTopColor, Kind::Colour},
        {"border-right-color", PropertyId::BorderRightColor, Kind::Colour},
        {"border-bottom-color", PropertyId::BorderBottomColor, Kind::Colour},
        {"border-left-color", PropertyId::BorderLeftColor, Kind::Colour},
        {"border-top-left-radius", PropertyId::BorderTopLeftRadius, Kind::Length},
        {"border-top-right-radius", PropertyId::BorderTopRightRadius, Kind::Length},
        {"border-bottom-right-radius", PropertyId::BorderBottomRightRadius, Kind::Length},
        {"border-bottom-left-radius", PropertyId::BorderBottomLeftRadius, Kind::Length},
        {"background-color", PropertyId::BackgroundColor, Kind::Colour},
        {"color", PropertyId::Color, Kind::Colour},
        {"font-size", PropertyId::FontSize, Kind::Length},
        {"font-family", PropertyId::FontFamily, Kind::Text},
        {"text-align", PropertyId::TextAlign, Kind::Keyword,
         {{"left", K(TextAlign::Left)}, {"center", K(TextAlign::Center)}, {"right", K(TextAlign::Right)}}},
        {"line-height", PropertyId::LineHeight, Kind::LineHeight},
        {"overflow", PropertyId::Overflow, Kind::Keyword,
         {{"visible", K(Overflow::Visible)}, {"hidden", K(Overflow::Hidden)}, {"auto", K(Overflow::Auto)},
          {"scroll", K(Overflow::Auto)}}},
        {"z-index", PropertyId::ZIndex, Kind::Integer, {}, true},
        {"flex-direction", PropertyId::FlexDirection, Kind::Keyword,
         {{"row", K(FlexDirection::Row)}, {"column", K(FlexDirection::Column)}}},
        {"justify-content", PropertyId::JustifyContent, Kind::Keyword,
         {{"flex-start", K(JustifyContent::FlexStart)}, {"start", K(JustifyContent::FlexStart)},
          {"flex-end", K(JustifyContent::FlexEnd)}, {"end", K(JustifyContent::FlexEnd)},
          {"center", K(JustifyContent::Center)}, {"space-between", K(JustifyContent::SpaceBetween)},
          {"space-around", K(JustifyContent::SpaceAround)}, {"space-evenly", K(JustifyContent::SpaceEvenly)}}},
        {"align-items", PropertyId::AlignItems, Kind::Keyword,
         {{"stretch", K(AlignItems::Stretch)}, {"flex-start", K(AlignItems::FlexStart)},
          {"start", K(AlignItems::FlexStart)}, {"flex-end", K(AlignItems::FlexEnd)}, {"end", K(AlignItems::FlexEnd)},
          {"center", K(AlignItems::Center)}}},
        {"row-gap", PropertyId::RowGap, Kind::Length, {}, false, false, false},
        {"column-gap", PropertyId::ColumnGap, Kind::Length, {}, false, false, false},
        {"flex-grow", PropertyId::FlexGrow, Kind::Number},
        {"opacity", PropertyId::Opacity, Kind::Number},
        {"cursor", PropertyId::Cursor, Kind::Text},
        {"visibility", PropertyId::Visibility, Kind::Keyword,
         {{"visible", K(Visibility::Visible)}, {"hidden", K(Visibility::Hidden)}}},
    };
    return table;
}

const PropertyInfo* FindInfo(std::string_view name) {
    for (const PropertyInfo& info : PropertyTable()) {
        if (info.name == name) return &info;
    }
    return nullptr;
}

const PropertyInfo& InfoById(PropertyId id) {
    for (const PropertyInfo& info : PropertyTable()) {
        if (info.id == id) return info;
    }
    return PropertyTable().front();
}

bool ParseFloat(std::string_view text, float& out, std::string_view& rest) {
    const auto after = StringUtilities::ParseNumberPrefix(text, out);
    if (!after || !std::isfinite(out)) return false;
    rest = *after;
    return true;
}

std::optional<PropertyValue> ParseLength(std::string_view text, const PropertyInfo& info) {
    const String lower = ToLower(text);
    if (info.allow_auto && lower == "auto") return Value(Unit::Auto);
    if (info.allow_none && lower == "none") return Value(Unit::None);
    float number = 0;
    std::string_view unit;
    if (!ParseFloat(lower, number, unit)) return std::nullopt;
    if (unit == "px") return Value(Unit::Px, number);
    if (unit == "em") return Value(Unit::Em, number);
    if (unit == "%" && info.allow_percent) return Value(Unit::Percent, number);
    if (unit.empty() && number == 0) return Value(Unit::Px, 0);
    return std::nullopt;
}

std::optional<PropertyValue> ParseValue(std::string_view text, const PropertyInfo& info) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    switch (info.kind) {
        case Kind::Keyword: {
            const String lower = ToLower(text);
            for (const Keyword& keyword : info.keywords) {
                if (keyword.name == lower) return KeywordValue(keyword.value);
            }
            return std::nullopt;
        }
        case Kind::Length: return ParseLength(text, info);
        case Kind::Number: {
            float number = 0;
            std::string_view rest;
            if (!ParseFloat(text, number, rest) || !rest.empty()) return std::nullopt;
            return Value(Unit::Number, number);
        }
        case Kind::Integer: {
            if (ToLower(text) == "auto") return Value(Unit::Auto);
            int number = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
            if (result.ec != std::errc{} || result.ptr != text.data() + text.size()) return std::nullopt;
            return Value(Unit::Number, static_cast<float>(number));
        }
        case Kind::Colour: {
            const auto colour = ParseColour(text);
            if (!colour) return std::nullopt;
            return ColourValue(*colour);
        }
        case Kind::Text: {
            String value(text);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            return TextValue(value);
        }
        case Kind::LineHeight: {
            const String lower = ToLower(text);
            if (lower == "normal") return Value(Unit::Normal);
            float number = 0;
            std::string_view rest;
            if (ParseFloat(lower, number, rest) && rest.empty()) return Value(Unit::Number, number);
            return ParseLength(text, info);
        }
    }
    return std::nullopt;
}

// Splits a value at white space outside parentheses ("1px solid rgb(1, 2, 3)").
StringList SplitValue(std::string_view text) {
    StringList out;
    String current;
    int depth = 0;
    for (char c : text) {
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (depth == 0 && StringUtilities::IsSpace(c)) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

String Unsupported(std::string_view name, std::string_view value) {
    return "unsupported value '" + String(value) + "' for property '" + String(name) + "'";
}

// Expands a one-to-four value box shorthand (top right bottom left).
std::optional<String> ParseBoxShorthand(std::string_view name, std::string_view value,
                                        const std::array<PropertyId, 4>& ids, PropertyList& out) {
    const StringList parts = SplitValue(value);
    if (parts.empty() || parts.size() > 4) return Unsupported(name, value);
    static constexpr std::array<std::array<int, 4>, 4> kPick = {
        {{0, 0, 0, 0}, {0, 1, 0, 1}, {0, 1, 2, 1}, {0, 1, 2, 3}}};
    PropertyList parsed;
    for (std::size_t side = 0; side < 4; ++side) {
        const String& part = parts[static_cast<std::size_t>(kPick[parts.size() - 1][side])];
        const auto parsed_value = ParseValue(part, InfoById(ids[side]));
        if (!parsed_value) return Unsupported(name, value);
        parsed.push_back({ids[side], *parsed_value});
    }
    out.insert(out.end(), parsed.begin(), parsed.end());
    return std::nullopt;
}

bool IsBorderStyle(const String& word) {
    return word == "solid" || word == "none" || word == "hidden";
}

// "border: 1px solid #fff" for the given sides; "none" removes the border.
std::optional<String> ParseBorderShorthand(std::string_view name, std::string_view value,
                                           const std::vector<std::size_t>& sides, PropertyList& out) {
    std::optional<PropertyValue> width;
    std::optional<PropertyValue> colour;
    bool none = false;
    for (const String& part : SplitValue(value)) {
        const String lower = ToLower(part);
        if (IsBorderStyle(lower)) {
            none = none || lower != "solid";
        } else if (auto parsed_width = ParseValue(part, InfoById(PropertyId::BorderTopWidth))) {
            width = parsed_width;
        } else if (auto parsed_colour = ParseValue(part, InfoById(PropertyId::BorderTopColor))) {
            colour = parsed_colour;
        } else {
            return Unsupported(name, value);
        }
    }
    if (none) width = Value(Unit::Px, 0);
    for (std::size_t side : sides) {
        out.push_back({kBorderWidthProperties[side], width.value_or(Value(Unit::Px, 1))});
        if (colour) out.push_back({kBorderColourProperties[side], *colour});
    }
    return std::nullopt;
}

std::optional<String> ParseShorthand(std::string_view name, std::string_view value, PropertyList& out,
                                     bool& handled) {
    handled = true;
    if (name == "margin") return ParseBoxShorthand(name, value, kMarginProperties, out);
    if (name == "padding") return ParseBoxShorthand(name, value, kPaddingProperties, out);
    if (name == "border-width") return ParseBoxShorthand(name, value, kBorderWidthProperties, out);
    if (name == "border-color") return ParseBoxShorthand(name, value, kBorderColourProperties, out);
    if (name == "border-radius") return ParseBoxShorthand(name, value, kBorderRadiusProperties, out);
    if (name == "border") return ParseBorderShorthand(name, value, {0, 1, 2, 3}, out);
    if (name == "border-top") return ParseBorderShorthand(name, value, {0}, out);
    if (name == "border-right") return ParseBorderShorthand(name, value, {1}, out);
    if (name == "border-bottom") return ParseBorderShorthand(name, value, {2}, out);
    if (name == "border-left") return ParseBorderShorthand(name, value, {3}, out);
    if (name == "border-style") {
        const String lower = ToLower(Trim(value));
        if (!IsBorderStyle(lower)) return Unsupported(name, value);
        if (lower != "solid") {
            for (PropertyId id : kBorderWidthProperties) out.push_back({id, Value(Unit::Px, 0)});
        }
        return std::nullopt;
    }
    if (name == "background") {
        const auto colour = ParseValue(value, InfoById(PropertyId::BackgroundColor));
        if (!colour) return "only a colour is supported in 'background', not '" + String(value) + "'";
        out.push_back({PropertyId::BackgroundColor, *colour});
        return std::nullopt;
    }
    if (name == "gap") {
        const StringList parts = SplitValue(value);
        if (parts.empty() || parts.size() > 2) return Unsupported(name, value);
        const auto row = ParseValue(parts[0], InfoById(PropertyId::RowGap));
        const auto column = ParseValue(parts.back(), InfoById(PropertyId::ColumnGap));
        if (!row || !column) return Unsupported(name, value);
        out.push_back({PropertyId::RowGap, *row});
        out.push_back({PropertyId::ColumnGap, *column});
        return std::nullopt;
    }
    if (name == "flex") {
        // Only the grow factor takes effect; "none" and "auto" map to 0 and 1.
        const StringList parts = SplitValue(value);
        if (parts.empty()) return Unsupported(name, value);
        const String first = ToLower(parts[0]);
        float grow = 0;
        if (first == "auto") {
            grow = 1;
        } else if (first != "none") {
            const auto parsed = ParseValue(first, InfoById(PropertyId::FlexGrow));
            if (!parsed) return Unsupported(name, value);
            grow = parsed->number;
        }
        out.push_back({PropertyId::FlexGrow, Value(Unit::Number, grow)});
        return std::nullopt;
    }
    handled = false;
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<Colourb> ParseHexColour(std::string_view hex) {
    for (char c : hex) {
        if (HexDigit(c) < 0) return std::nullopt;
    }
    const auto single = [&](std::size_t i) { return static_cast<byte>(HexDigit(hex[i]) * 17); };
    const auto pair = [&](std::size_t i) { return static_cast<byte>(HexDigit(hex[i]) * 16 + HexDigit(hex[i + 1])); };
    switch (hex.size()) {
        case 3: return Colourb{single(0), single(1), single(2), 255};
        case 4: return Colourb{single(0), single(1), single(2), single(3)};
        case 6: return Colourb{pair(0), pair(2), pair(4), 255};
        case 8: return Colourb{pair(0), pair(2), pair(4), pair(6)};
        default: return std::nullopt;
    }
}

std::optional<Colourb> ParseFunctionColour(std::string_view text) {
    const bool with_alpha = text.starts_with("rgba(");
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')') return std::nullopt;
    const StringList parts = StringUtilities::Split(text.substr(open + 1, text.size() - open - 2), ',');
    if (parts.size() != (with_alpha ? 4u : 3u)) return std::nullopt;
    std::array<float, 4> channels = {0, 0, 0, 255};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        float number = 0;
        std::string_view rest;
        if (!ParseFloat(parts[i], number, rest)) return std::nullopt;
        if (rest == "%") {
            number = number * 2.55f;
        } else if (!rest.empty()) {
            return std::nullopt;
        } else if (i == 3 && number <= 1.f) {
            number = number * 255.f;  // CSS alpha as a fraction
        }
        channels[i] = std::clamp(number, 0.f, 255.f);
    }
    const auto to_byte = [](float v) { return static_cast<byte>(std::lround(v)); };
    return Colourb{to_byte(channels[0]), to_byte(channels[1]), to_byte(channels[2]), to_byte(channels[3])};
}

}  // namespace

std::optional<Colourb> ParseColour(std::string_view text) {
    const String lower = ToLower(Trim(text));
    if (lower.empty()) return std::nullopt;
    if (lower.front() == '#') return ParseHexColour(std::string_view(lower).substr(1));
    if (lower.starts_with("rgb(") || lower.starts_with("rgba(")) return ParseFunctionColour(lower);
    static const std::unordered_map<String, Colourb> kNames = {
        {"transparent", {0, 0, 0, 0}},   {"black", {0, 0, 0, 255}},       {"white", {255, 255, 255, 255}},
        {"red", {255, 0, 0, 255}},       {"green", {0, 128, 0, 255}},     {"lime", {0, 255, 0, 255}},
        {"blue", {0, 0, 255, 255}},      {"yellow", {255, 255, 0, 255}},  {"orange", {255, 165, 0, 255}},
        {"purple", {128, 0, 128, 255}},  {"gray", {128, 128, 128, 255}},  {"grey", {128, 128, 128, 255}},
        {"silver", {192, 192, 192, 255}}, {"cyan", {0, 255, 255, 255}},   {"magenta", {255, 0, 255, 255}},
        {"navy", {0, 0, 128, 255}},
    };
    const auto it = kNames.find(lower);
    if (it == kNames.end()) return std::nullopt;
    return it->second;
}

std::optional<PropertyId> PropertyIdByName(std::string_view name) {
    const PropertyInfo* info = FindInfo(name);
    if (!info) return std::nullopt;
    return info->id;
}

std::string_view PropertyName(PropertyId id) { return InfoById(id).name; }

std::optional<String> ParseDeclaration(std::string_view raw_name, std::string_view value, PropertyList& out) {
    const String name = ToLower(Trim(raw_name));
    value = Trim(value);
    if (value.empty()) return "empty value for property '" + name + "'";
    bool handled = false;
    if (auto problem = ParseShorthand(name, value, out, handled); handled) return problem;
    const PropertyInfo* info = FindInfo(name);
    if (!info) return "unsupported property '" + name + "'";
    const auto parsed = ParseValue(value, *info);
    if (!parsed) return Unsupported(name, value);
    out.push_back({info->id, *parsed});
    return std::nullopt;
}

void ParseDeclarationBlock(std::string_view text, PropertyList& out,
                           const std::function<void(const String& problem)>& report) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(';', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view declaration = Trim(text.substr(start, end - start));
        start = end + 1;
        if (declaration.empty()) continue;
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos) {
            report("declaration without ':' in '" + String(declaration) + "'");
            continue;
        }
        std::string_view value = declaration.substr(colon + 1);
        const std::size_t important = value.find("!important");
        if (important != std::string_view::npos) {
            report("'!important' is not supported; the declaration applies with normal weight");
            value = value.substr(0, important);
        }
        if (auto problem = ParseDeclaration(declaration.substr(0, colon), value, out)) report(*problem);
    }
}

void MergeDeclarations(PropertyList& into, const PropertyList& from) {
    for (const PropertyDeclaration& declaration : from) {
        RemoveDeclaration(into, declaration.id);
        into.push_back(declaration);
    }
}

void RemoveDeclaration(PropertyList& list, PropertyId id) {
    std::erase_if(list, [id](const PropertyDeclaration& d) { return d.id == id; });
}

}  // namespace Rml
