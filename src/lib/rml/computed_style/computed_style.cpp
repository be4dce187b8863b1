#include "lib/rml/computed_style/computed_style.h"

#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

using Specified = std::array<const PropertyValue*, kPropertyCount>;
using Report = std::function<void(PropertyId id, const String& problem)>;

const PropertyValue* Get(const Specified& specified, PropertyId id) {
    return specified[static_cast<std::size_t>(id)];
}

// `value` kept within [low, high]; what is out of it goes to `report`.
float Clamp(float value, float low, float high, PropertyId id, std::string_view unit, const Report& report) {
    const float clamped = std::clamp(value, low, high);
    if (clamped != value && report) {
        report(id, String(PropertyName(id)) + " " + StringUtilities::FormatNumber(value) + String(unit) +
               " is out of range; " + StringUtilities::FormatNumber(clamped) + String(unit) + " is used");
    }
    return clamped;
}

Length ToLength(const PropertyValue& value, float font_size, PropertyId id, const Report& report) {
    const auto px = [&](float number) { return Length::Px(Clamp(number, -kMaxLength, kMaxLength, id, "px", report)); };
    switch (value.unit) {
        case Unit::Px: return px(value.number);
        case Unit::Em: return px(value.number * font_size);
        case Unit::Percent:
            return {Length::Kind::Percent, Clamp(value.number, -kMaxLength, kMaxLength, id, "%", report)};
        case Unit::Auto: return Length::Auto();
        case Unit::None: return Length::None();
        default: return px(value.number);
    }
}

template <typename Enum>
void SetKeyword(const Specified& specified, PropertyId id, Enum& out) {
    if (const PropertyValue* value = Get(specified, id)) out = static_cast<Enum>(value->keyword);
}

void SetLength(const Specified& specified, PropertyId id, float font_size, Length& out, const Report& report) {
    if (const PropertyValue* value = Get(specified, id)) out = ToLength(*value, font_size, id, report);
}

void ComputeFont(const Specified& specified, const ComputedValues* parent, ComputedValues& out, const Report& report) {
    const float parent_size = parent ? parent->font_size : 16.f;
    if (const PropertyValue* value = Get(specified, PropertyId::FontSize)) {
        float size = value->number;
        if (value->unit == Unit::Em) {
            size = value->number * parent_size;
        } else if (value->unit == Unit::Percent) {
            size = value->number * parent_size / 100.f;
        }
        out.font_size = Clamp(size, 0, kMaxFontSize, PropertyId::FontSize, "px", report);
    }
    if (const PropertyValue* value = Get(specified, PropertyId::FontFamily)) out.font_family = value->text;
    if (const PropertyValue* value = Get(specified, PropertyId::LineHeight)) {
        if (value->unit == Unit::Normal) {
            out.line_height_factor = 1.2f;
        } else if (value->unit == Unit::Number) {
            out.line_height_factor = value->number;
        } else if (value->unit == Unit::Percent) {
            out.line_height_factor = 0;
            out.line_height = value->number * out.font_size / 100.f;
        } else {
            out.line_height_factor = 0;
            out.line_height = ToLength(*value, out.font_size, PropertyId::LineHeight, report).value;
        }
    }
    if (out.line_height_factor > 0) out.line_height = out.line_height_factor * out.font_size;
    out.line_height = Clamp(out.line_height, -kMaxLength, kMaxLength, PropertyId::LineHeight, "px", report);
}

void ComputeBox(const Specified& specified, ComputedValues& out, const Report& report) {
    const float em = out.font_size;
    SetLength(specified, PropertyId::Left, em, out.left, report);
    SetLength(specified, PropertyId::Top, em, out.top, report);
    SetLength(specified, PropertyId::Right, em, out.right, report);
    SetLength(specified, PropertyId::Bottom, em, out.bottom, report);
    SetLength(specified, PropertyId::Width, em, out.width, report);
    SetLength(specified, PropertyId::Height, em, out.height, report);
    SetLength(specified, PropertyId::MinWidth, em, out.min_width, report);
    SetLength(specified, PropertyId::MinHeight, em, out.min_height, report);
    SetLength(specified, PropertyId::MaxWidth, em, out.max_width, report);
    SetLength(specified, PropertyId::MaxHeight, em, out.max_height, report);
    for (std::size_t side = 0; side < 4; ++side) {
        SetLength(specified, kMarginProperties[side], em, out.margin[side], report);
        SetLength(specified, kPaddingProperties[side], em, out.padding[side], report);
        if (const PropertyValue* value = Get(specified, kBorderWidthProperties[side])) {
            out.border_width[side] = std::max(0.f, ToLength(*value, em, kBorderWidthProperties[side], report).value);
        }
        // Unset border colours follow the text colour.
        out.border_color[side] = out.color;
        if (const PropertyValue* value = Get(specified, kBorderColourProperties[side])) {
            out.border_color[side] = value->colour;
        }
        if (const PropertyValue* value = Get(specified, kBorderRadiusProperties[side])) {
            out.border_radius[side] = std::max(0.f, ToLength(*value, em, kBorderRadiusProperties[side], report).value);
        }
    }
}

void ComputeRest(const Specified& specified, ComputedValues& out, const Report& report) {
    SetKeyword(specified, PropertyId::Display, out.display);
    SetKeyword(specified, PropertyId::Position, out.position);
    SetKeyword(specified, PropertyId::TextAlign, out.text_align);
    SetKeyword(specified, PropertyId::Overflow, out.overflow);
    SetKeyword(specified, PropertyId::FlexDirection, out.flex_direction);
    SetKeyword(specified, PropertyId::JustifyContent, out.justify_content);
    SetKeyword(specified, PropertyId::AlignItems, out.align_items);
    SetKeyword(specified, PropertyId::Visibility, out.visibility);
    if (const PropertyValue* value = Get(specified, PropertyId::BackgroundColor)) out.background_color = value->colour;
    if (const PropertyValue* value = Get(specified, PropertyId::ZIndex)) {
        out.z_index_auto = value->unit == Unit::Auto;
        // The number is a float: 2147483647 reads back as 2^31, one beyond int.
        out.z_index = out.z_index_auto ? 0 : ClampToInt(value->number);
    }
    if (const PropertyValue* value = Get(specified, PropertyId::RowGap)) {
        out.row_gap = ToLength(*value, out.font_size, PropertyId::RowGap, report).value;
    }
    if (const PropertyValue* value = Get(specified, PropertyId::ColumnGap)) {
        out.column_gap = ToLength(*value, out.font_size, PropertyId::ColumnGap, report).value;
    }
    if (const PropertyValue* value = Get(specified, PropertyId::FlexGrow)) {
        // Bounded so that the sum of a container's factors stays finite.
        out.flex_grow = Clamp(value->number, 0, kMaxLength, PropertyId::FlexGrow, "", report);
    }
    if (const PropertyValue* value = Get(specified, PropertyId::Opacity)) out.opacity = std::clamp(value->number, 0.f, 1.f);
    if (const PropertyValue* value = Get(specified, PropertyId::Cursor)) out.cursor = value->text;
}

}  // namespace

bool AffectsLayout(const ComputedValues& a, const ComputedValues& b) {
    return a.display != b.display || a.position != b.position || a.left != b.left || a.top != b.top ||
           a.right != b.right || a.bottom != b.bottom || a.width != b.width || a.height != b.height ||
           a.min_width != b.min_width || a.min_height != b.min_height || a.max_width != b.max_width ||
           a.max_height != b.max_height || a.margin != b.margin || a.padding != b.padding ||
           a.border_width != b.border_width || a.font_size != b.font_size || a.font_family != b.font_family ||
           a.text_align != b.text_align || a.line_height != b.line_height || a.overflow != b.overflow ||
           a.z_index != b.z_index || a.z_index_auto != b.z_index_auto || a.flex_direction != b.flex_direction ||
           a.justify_content != b.justify_content || a.align_items != b.align_items || a.row_gap != b.row_gap ||
           a.column_gap != b.column_gap || a.flex_grow != b.flex_grow;
}

ComputedValues ComputeValues(std::span<const PropertyList* const> declarations, const ComputedValues* parent,
                             const Report& report) {
    Specified specified{};
    for (const PropertyList* list : declarations) {
        for (const PropertyDeclaration& declaration : *list) {
            specified[static_cast<std::size_t>(declaration.id)] = &declaration.value;
        }
    }
    ComputedValues out;
    if (parent) {
        out.color = parent->color;
        out.font_size = parent->font_size;
        out.font_family = parent->font_family;
        out.text_align = parent->text_align;
        out.line_height = parent->line_height;
        out.line_height_factor = parent->line_height_factor;
        out.cursor = parent->cursor;
        out.visibility = parent->visibility;
    }
    if (const PropertyValue* value = Get(specified, PropertyId::Color)) out.color = value->colour;
    ComputeFont(specified, parent, out, report);
    ComputeBox(specified, out, report);
    ComputeRest(specified, out, report);
    return out;
}

}  // namespace Rml
