#pragma once

#include <array>
#include <functional>
#include <span>

#include "lib/rml/property/property.h"
#include "lib/rml/types/types.h"

namespace Rml {

// Computed and resolved lengths stay within this many pixels: far beyond any
// screen, far below where sums of them in layout would overflow a float.
inline constexpr float kMaxLength = 1e6f;
// Fonts are opened and text drawn at no more than this: a fifth of a 4K
// screen's height, more than any page needs, and a glyph texture under 1 MB.
inline constexpr float kMaxFontSize = 400.f;

// A length after em resolution: pixels, a percentage of some base, auto or none.
struct Length {
    enum class Kind : std::uint8_t { Px, Percent, Auto, None };
    Kind kind = Kind::Px;
    float value = 0;

    static constexpr Length Px(float v) { return {Kind::Px, v}; }
    static constexpr Length Auto() { return {Kind::Auto, 0}; }
    static constexpr Length None() { return {Kind::None, 0}; }
    bool IsAuto() const { return kind == Kind::Auto; }
    bool IsNone() const { return kind == Kind::None; }
    bool IsDefinite() const { return kind == Kind::Px || kind == Kind::Percent; }
    // Pixels against `base` (a percentage of it); auto and none give `fallback`.
    float Resolve(float base, float fallback = 0) const {
        if (kind == Kind::Px) return value;
        if (kind == Kind::Percent) return std::clamp(value * base / 100.f, -kMaxLength, kMaxLength);
        return fallback;
    }
    bool operator==(const Length&) const = default;
};

// The values an element draws and lays out with, after the cascade and inheritance.
struct ComputedValues {
    Style::Display display = Style::Display::Inline;
    Style::Position position = Style::Position::Static;
    Length left = Length::Auto();
    Length top = Length::Auto();
    Length right = Length::Auto();
    Length bottom = Length::Auto();
    Length width = Length::Auto();
    Length height = Length::Auto();
    // Auto lets a flex item find its own floor; any other value is the floor.
    Length min_width = Length::Auto();
    Length min_height = Length::Auto();
    Length max_width = Length::None();
    Length max_height = Length::None();
    std::array<Length, 4> margin{};   // top, right, bottom, left
    std::array<Length, 4> padding{};  // top, right, bottom, left
    std::array<float, 4> border_width{};
    std::array<Colourb, 4> border_color{};
    std::array<float, 4> border_radius{};  // top-left, top-right, bottom-right, bottom-left
    Colourb background_color{0, 0, 0, 0};
    Colourb color{255, 255, 255, 255};
    float font_size = 16;
    String font_family;
    Style::TextAlign text_align = Style::TextAlign::Left;
    float line_height = 16 * 1.2f;  // pixels
    float line_height_factor = 1.2f;  // > 0 when given as a number or "normal": children recompute it
    Style::Overflow overflow = Style::Overflow::Visible;
    int z_index = 0;
    bool z_index_auto = true;
    Style::FlexDirection flex_direction = Style::FlexDirection::Row;
    Style::JustifyContent justify_content = Style::JustifyContent::FlexStart;
    Style::AlignItems align_items = Style::AlignItems::Stretch;
    float row_gap = 0;
    float column_gap = 0;
    float flex_grow = 0;
    float opacity = 1;
    String cursor;
    Style::Visibility visibility = Style::Visibility::Visible;

    bool operator==(const ComputedValues&) const = default;
};

// True when the two differ in anything that moves or resizes boxes.
bool AffectsLayout(const ComputedValues& a, const ComputedValues& b);

// Computes an element's values from its declarations, lowest precedence first,
// and its parent's values (null for a document). Values beyond what layout and
// drawing take (kMaxLength, kMaxFontSize) are clamped and handed to `report`.
ComputedValues ComputeValues(std::span<const PropertyList* const> declarations, const ComputedValues* parent,
                             const std::function<void(PropertyId id, const String& problem)>& report = {});

}  // namespace Rml
