#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "lib/rml/types/types.h"

namespace Rml {

namespace Style {
enum class Display : std::uint8_t { None, Block, Inline, InlineBlock, Flex };
enum class Position : std::uint8_t { Static, Relative, Absolute };
enum class TextAlign : std::uint8_t { Left, Center, Right };
enum class Overflow : std::uint8_t { Visible, Hidden, Auto };
enum class FlexDirection : std::uint8_t { Row, Column };
enum class JustifyContent : std::uint8_t { FlexStart, FlexEnd, Center, SpaceBetween, SpaceAround, SpaceEvenly };
enum class AlignItems : std::uint8_t { Stretch, FlexStart, FlexEnd, Center };
enum class Visibility : std::uint8_t { Visible, Hidden };
enum class FontWeight : std::uint16_t { Auto = 0, Normal = 400, Bold = 700 };
}  // namespace Style

enum class PropertyId : std::uint8_t {
    Display,
    Position,
    Left,
    Top,
    Right,
    Bottom,
    Width,
    Height,
    MinWidth,
    MinHeight,
    MaxWidth,
    MaxHeight,
    MarginTop,
    MarginRight,
    MarginBottom,
    MarginLeft,
    PaddingTop,
    PaddingRight,
    PaddingBottom,
    PaddingLeft,
    BorderTopWidth,
    BorderRightWidth,
    BorderBottomWidth,
    BorderLeftWidth,
    BorderTopColor,
    BorderRightColor,
    BorderBottomColor,
    BorderLeftColor,
    BorderTopLeftRadius,
    BorderTopRightRadius,
    BorderBottomRightRadius,
    BorderBottomLeftRadius,
    BackgroundColor,
    Color,
    FontSize,
    FontFamily,
    TextAlign,
    LineHeight,
    Overflow,
    ZIndex,
    FlexDirection,
    JustifyContent,
    AlignItems,
    RowGap,
    ColumnGap,
    FlexGrow,
    Opacity,
    Cursor,
    Visibility,
    Count
};

constexpr std::size_t kPropertyCount = static_cast<std::size_t>(PropertyId::Count);

// The four sides (top, right, bottom, left) or corners (from the top left,
// clockwise) of each four-part property, in the order its shorthand lists them.
inline constexpr std::array<PropertyId, 4> kMarginProperties = {PropertyId::MarginTop, PropertyId::MarginRight,
                                                                PropertyId::MarginBottom, PropertyId::MarginLeft};
inline constexpr std::array<PropertyId, 4> kPaddingProperties = {PropertyId::PaddingTop, PropertyId::PaddingRight,
                                                                 PropertyId::PaddingBottom, PropertyId::PaddingLeft};
inline constexpr std::array<PropertyId, 4> kBorderWidthProperties = {
    PropertyId::BorderTopWidth, PropertyId::BorderRightWidth, PropertyId::BorderBottomWidth, PropertyId::BorderLeftWidth};
inline constexpr std::array<PropertyId, 4> kBorderColourProperties = {
    PropertyId::BorderTopColor, PropertyId::BorderRightColor, PropertyId::BorderBottomColor, PropertyId::BorderLeftColor};
inline constexpr std::array<PropertyId, 4> kBorderRadiusProperties = {
    PropertyId::BorderTopLeftRadius, PropertyId::BorderTopRightRadius, PropertyId::BorderBottomRightRadius,
    PropertyId::BorderBottomLeftRadius};

enum class Unit : std::uint8_t { Keyword, Px, Percent, Em, Number, Auto, None, Normal, Colour, Text };

struct PropertyValue {
    Unit unit = Unit::Keyword;
    float number = 0;
    int keyword = 0;
    Colourb colour;
    String text;
    bool operator==(const PropertyValue&) const = default;
};

struct PropertyDeclaration {
    PropertyId id;
    PropertyValue value;
};

using PropertyList = std::vector<PropertyDeclaration>;

// Parses one `name: value` declaration into `out` (shorthands expand to their
// parts). Gives the reason when the name or value is not supported.
std::optional<String> ParseDeclaration(std::string_view name, std::string_view value, PropertyList& out);

// Parses "a: b; c: d" (a style attribute or data-style value); each bad
// declaration is handed to `report` and skipped.
void ParseDeclarationBlock(std::string_view text, PropertyList& out,
                           const std::function<void(const String& problem)>& report);

// Replaces or appends the declarations of `from` in `into`, keeping one entry per property.
void MergeDeclarations(PropertyList& into, const PropertyList& from);
void RemoveDeclaration(PropertyList& list, PropertyId id);

std::optional<PropertyId> PropertyIdByName(std::string_view name);
std::string_view PropertyName(PropertyId id);
std::optional<Colourb> ParseColour(std::string_view text);

}  // namespace Rml
