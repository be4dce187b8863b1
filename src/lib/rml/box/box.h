#pragma once

#include <vector>

#include "lib/rml/types/types.h"

namespace Rml {

class Element;

enum class BoxArea { Margin, Border, Padding, Content };

struct Edges {
    float top = 0;
    float right = 0;
    float bottom = 0;
    float left = 0;
    float Horizontal() const { return left + right; }
    float Vertical() const { return top + bottom; }
    bool operator==(const Edges&) const = default;
};

// One run of text on one line, relative to the text's offset parent.
struct TextFragment {
    String text;
    Vector2f position;  // top-left of the run's line box part (baseline minus ascent)
    float width = 0;
    float height = 0;
    int font = -1;
};

// Where layout put an element. Offsets are relative to the offset parent's
// border box, before scrolling; `absolute` and `clip` are on-screen values
// derived from them after each layout or scroll.
struct LayoutBox {
    Element* offset_parent = nullptr;
    Vector2f offset;
    Vector2f content;  // content-box size
    Edges margin;
    Edges border;
    Edges padding;
    Vector2f scroll_size;  // extent of the content measured from the padding box origin
    float baseline = 0;    // from the border-box top, when has_baseline
    bool has_baseline = false;
    bool rendered = false;  // false for display: none and what lies under it
    std::vector<Rectanglef> fragments;  // per-line boxes of an inline element (offset-parent relative)
    std::vector<TextFragment> text;     // runs of a text node

    Vector2f scroll;  // current scroll offset of an overflow container
    Vector2f absolute;  // on-screen border-box origin
    Rectanglef clip;  // on-screen clip that applies to this element
    float opacity = 1;

    Vector2f BorderSize() const {
        return {content.x + padding.Horizontal() + border.Horizontal(), content.y + padding.Vertical() + border.Vertical()};
    }
    Vector2f PaddingSize() const { return {content.x + padding.Horizontal(), content.y + padding.Vertical()}; }
    Vector2f MarginSize() const {
        const Vector2f size = BorderSize();
        return {size.x + margin.Horizontal(), size.y + margin.Vertical()};
    }
};

}  // namespace Rml
