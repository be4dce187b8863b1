#include "lib/rml/layout/layout.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_image/element_image.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

using Style::Display;
using Style::Position;

bool IsText(const Element& e) { return dynamic_cast<const ElementText*>(&e) != nullptr; }
bool IsBreak(const Element& e) { return e.GetTagName() == "br"; }
bool IsDisplayed(const Element& e) { return IsText(e) || e.GetComputedValues().display != Display::None; }
bool IsAbsolute(const Element& e) { return !IsText(e) && e.GetComputedValues().position == Position::Absolute; }
bool IsPositioned(const Element& e) { return !IsText(e) && e.GetComputedValues().position != Position::Static; }
bool IsBlockLevel(const Element& e) {
    if (IsText(e)) return false;
    const Display display = e.GetComputedValues().display;
    return display == Display::Block || display == Display::Flex;
}
bool IsReplaced(Element& e) {
    Vector2f dimensions;
    return !IsText(e) && e.GetIntrinsicDimensions(dimensions);
}

LayoutBox& BoxOf(Element& e) { return e.GetState().box; }

void MarkNotRendered(Element& e) {
    BoxOf(e).rendered = false;
    for (const ElementPtr& child : e.GetChildren()) MarkNotRendered(*child);
}

// Collapses white space as normal text flow does: runs become one space.
String CollapseWhitespace(std::string_view text) {
    String out;
    bool space = false;
    for (char c : text) {
        if (StringUtilities::IsSpace(c)) {
            space = true;
            continue;
        }
        if (space) out += ' ';
        space = false;
        out += c;
    }
    if (space) out += ' ';
    return out;
}

// Text straight in a flex container is one line without outer spaces.
String OneLine(const ElementText& text) { return String(StringUtilities::Trim(CollapseWhitespace(text.GetText()))); }

struct Resolved {
    Edges margin;
    Edges border;
    Edges padding;
    bool auto_left = false;
    bool auto_right = false;

    // Border and padding together, across and down.
    Vector2f Frame() const {
        return {border.Horizontal() + padding.Horizontal(), border.Vertical() + padding.Vertical()};
    }
};

Resolved ResolveEdges(const ComputedValues& v, float cb_width) {
    Resolved r;
    r.margin = {v.margin[0].Resolve(cb_width), v.margin[1].Resolve(cb_width), v.margin[2].Resolve(cb_width),
                v.margin[3].Resolve(cb_width)};
    r.auto_left = v.margin[3].IsAuto();
    r.auto_right = v.margin[1].IsAuto();
    r.padding = {v.padding[0].Resolve(cb_width), v.padding[1].Resolve(cb_width), v.padding[2].Resolve(cb_width),
                 v.padding[3].Resolve(cb_width)};
    r.border = {v.border_width[0], v.border_width[1], v.border_width[2], v.border_width[3]};
    return r;
}

float ClampWidth(const ComputedValues& v, float width, float cb_width) {
    if (!v.max_width.IsNone()) width = std::min(width, v.max_width.Resolve(cb_width, width));
    width = std::max(width, v.min_width.Resolve(cb_width));
    return std::max(0.f, width);
}

float ClampHeight(const ComputedValues& v, float height, std::optional<float> cb_height) {
    const auto resolvable = [&](const Length& length) {
        return length.kind == Length::Kind::Px || (length.kind == Length::Kind::Percent && cb_height);
    };
    if (resolvable(v.max_height)) height = std::min(height, v.max_height.Resolve(cb_height.value_or(0)));
    if (resolvable(v.min_height)) height = std::max(height, v.min_height.Resolve(cb_height.value_or(0)));
    return std::max(0.f, height);
}

std::optional<float> DefiniteHeight(const ComputedValues& v, std::optional<float> cb_height) {
    if (v.height.kind == Length::Kind::Px) return v.height.value;
    if (v.height.kind == Length::Kind::Percent && cb_height) return v.height.Resolve(*cb_height);
    return std::nullopt;
}

// Width and height of an image or input from its intrinsic size and the style.
Vector2f ReplacedSize(Element& e, float cb_width, std::optional<float> cb_height) {
    const ComputedValues& v = e.GetComputedValues();
    Vector2f intrinsic;
    e.GetIntrinsicDimensions(intrinsic);
    const bool keeps_ratio = dynamic_cast<ElementImage*>(&e) != nullptr;
    std::optional<float> width;
    if (v.width.IsDefinite()) width = v.width.Resolve(cb_width);
    std::optional<float> height = DefiniteHeight(v, cb_height);
    if (width && !height) {
        height = keeps_ratio && intrinsic.x > 0 ? *width * intrinsic.y / intrinsic.x : intrinsic.y;
    } else if (!width && height) {
        width = keeps_ratio && intrinsic.y > 0 ? *height * intrinsic.x / intrinsic.y : intrinsic.x;
    }
    return {ClampWidth(v, width.value_or(intrinsic.x), cb_width),
            ClampHeight(v, height.value_or(intrinsic.y), cb_height)};
}

struct Sizing {
    std::optional<float> width;   // forced content width
    std::optional<float> height;  // forced content height
    bool shrink_to_fit = false;
    float available = 0;  // width available to a shrink-to-fit box
};

// The inputs of a measuring layout, bit for bit: equal keys measure equal heights.
struct MeasureKey {
    const Element* element;
    std::uint32_t cb_width;
    std::uint64_t cb_height;  // an optional: OptionalBits
    std::uint64_t width;
    std::uint64_t height;
    bool shrink_to_fit;
    std::uint32_t available;
    bool operator==(const MeasureKey&) const = default;
};

std::uint64_t OptionalBits(std::optional<float> value) {
    return value ? std::bit_cast<std::uint32_t>(*value) : std::uint64_t{1} << 32;
}

MeasureKey MakeMeasureKey(const Element& e, float cb_width, std::optional<float> cb_height, const Sizing& sizing) {
    return {&e,
            std::bit_cast<std::uint32_t>(cb_width),
            OptionalBits(cb_height),
            OptionalBits(sizing.width),
            OptionalBits(sizing.height),
            sizing.shrink_to_fit,
            std::bit_cast<std::uint32_t>(sizing.available)};
}

struct MeasureKeyHash {
    std::size_t operator()(const MeasureKey& key) const {
        std::size_t hash = std::hash<const Element*>{}(key.element);
        for (std::uint64_t part : {std::uint64_t{key.cb_width}, key.cb_height, key.width, key.height,
                                   std::uint64_t{key.shrink_to_fit}, std::uint64_t{key.available}}) {
            hash = hash * 31 + std::hash<std::uint64_t>{}(part);
        }
        return hash;
    }
};

struct LineMetrics {
    float above = 0;
    float below = 0;
};

LineMetrics TextLineMetrics(const FontEngine::FontMetrics& font, float line_height) {
    const float leading = (line_height - font.Height()) / 2;
    return {font.ascent + leading, font.descent + leading};
}

// Where a line of text in these values reaches above and below the baseline.
LineMetrics TextLineMetrics(const ComputedValues& v) { return TextLineMetrics(FontEngine::GetMetrics(v), v.line_height); }

void ApplyRelative(Element& e, float cb_width, std::optional<float> cb_height) {
    const ComputedValues& v = e.GetComputedValues();
    if (IsText(e) || v.position != Position::Relative) return;
    Vector2f shift;
    if (!v.left.IsAuto()) {
        shift.x = v.left.Resolve(cb_width);
    } else if (!v.right.IsAuto()) {
        shift.x = -v.right.Resolve(cb_width);
    }
    const float base = cb_height.value_or(0);
    if (!v.top.IsAuto()) {
        shift.y = v.top.Resolve(base);
    } else if (!v.bottom.IsAuto()) {
        shift.y = -v.bottom.Resolve(base);
    }
    BoxOf(e).offset += shift;
}

Vector2f OffsetToRoot(const Element* e) {
    Vector2f total;
    while (e) {
        const LayoutBox& box = e->GetBox();
        total += box.offset;
        e = box.offset_parent ? box.offset_parent : e->GetParentNode();
    }
    return total;
}

// Where an absolute box starts on one axis: from its near offset, else from
// its far offset, else where it would have been in the flow.
float PlaceOnAxis(std::optional<float> near, std::optional<float> far, float origin, float size, float margin_near,
                  float margin_far, float border_size, float static_position) {
    if (near) return origin + *near + margin_near;
    if (far) return origin + size - *far - margin_far - border_size;
    return static_position + margin_near;
}

struct FlexItem {
    Element* element;
    ElementText* text;
    Resolved edges;
    float main;
    String content;  // text items only
};

class LayoutEngine;

// Places the inline-level content of one block container into line boxes.
class InlineFormatter {
public:
    InlineFormatter(LayoutEngine& engine, Element& block, Vector2f origin, float top, float width);
    void Add(Element& element);
    // Ends the last line; gives the height of all lines and the last baseline (or -1).
    float Finish(float& last_baseline);

private:
    struct Piece {
        Element* element;  // text node or atom
        bool atom;
        String text;
        float x;
        float width;
        FontEngine::FontHandle font;
        FontEngine::FontMetrics metrics;
        LineMetrics line;
    };
    struct Span {
        Element* element;
        float start;
        float end;
    };
    struct Open {
        Element* element;
        float start;
    };

    void AddText(ElementText& text);
    void AddWord(ElementText& text, std::string_view word, FontEngine::FontHandle font, const ComputedValues& v);
    void AddAtom(Element& atom);
    void AddInline(Element& element);
    void EndLine(bool forced);

    LayoutEngine& engine_;
    Element& block_;
    Vector2f origin_;
    float y_;
    const float top_;
    float width_;
    float x_ = 0;
    bool pending_space_ = false;
    float pending_space_width_ = 0;
    ElementText* pending_space_text_ = nullptr;
    std::vector<Piece> pieces_;
    std::vector<Span> spans_;
    std::vector<Open> open_;
    float last_baseline_ = -1;
    LineMetrics strut_;
    std::vector<Element*> inline_elements_;
    std::vector<ElementText*> texts_;
};

// A scrolling box's thumbs paint over all it holds, positioned boxes that
// paint late included, and under whatever paints after that; where boxes
// nest, the inner box's thumbs come first.
std::vector<PaintStep> WithScrollThumbs(const std::vector<Element*>& order) {
    const auto scrolls = [](const Element& e) {
        return !IsText(e) && e.GetComputedValues().overflow == Style::Overflow::Auto;
    };
    std::unordered_map<const Element*, std::size_t> last_inside;
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (const Element* e = order[i]; e; e = e->GetParentNode()) {
            if (scrolls(*e)) last_inside[e] = i;
        }
    }
    // By the step they follow; an inner box follows its outer one in the order.
    std::vector<std::pair<std::size_t, Element*>> thumbs;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        if (scrolls(**it)) thumbs.emplace_back(last_inside[*it], *it);
    }
    std::stable_sort(thumbs.begin(), thumbs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PaintStep> steps;
    steps.reserve(order.size() + thumbs.size());
    auto next = thumbs.begin();
    for (std::size_t i = 0; i < order.size(); ++i) {
        steps.push_back({order[i]});
        for (; next != thumbs.end() && next->first == i; ++next) steps.push_back({next->second, true});
    }
    return steps;
}

class LayoutEngine {
public:
    explicit LayoutEngine(Vector2f viewport) : viewport_(viewport) {}

    void Run(ElementDocument& document) {
        document_ = &document;
        LayoutElement(document, viewport_.x, viewport_.y, {});
        BoxOf(document).offset_parent = nullptr;
        std::vector<Element*> order;
        BuildPaintOrder(document, order);
        document.PaintOrder() = WithScrollThumbs(order);
    }

    void LayoutElement(Element& e, float cb_width, std::optional<float> cb_height, const Sizing& sizing);
    // The content height LayoutElement gives; the boxes it leaves are for a later layout to overwrite.
    float MeasureHeight(Element& e, float cb_width, std::optional<float> cb_height, const Sizing& sizing);
    float MaxContentWidth(Element& e);
    // Border-box width when every line breaks where it can: the longest word or box.
    float MinContentWidth(Element& e);
    void AddAbsolute(Element& e, Vector2f static_position);
    float TextMaxWidth(ElementText& text);

private:
    float LayoutFlow(Element& e, float width, std::optional<float> height);
    float LayoutFlex(Element& e, float width, std::optional<float> height);
    void LayoutAbsolutes(Element& containing_block);
    void ComputeScrollSize(Element& e);
    float InlineMaxWidth(Element& e, float& widest);
    Element* ContainingBlockOf(Element& e);
    void BuildPaintOrder(Element& root, std::vector<Element*>& out);
    void CollectPaint(Element& e, std::vector<Element*>& in_flow, std::vector<Element*>& positioned);

    struct Pending {
        Element* element;
        Vector2f static_position;  // relative to the element's parent border box
    };

    Vector2f viewport_;
    ElementDocument* document_ = nullptr;
    std::unordered_map<Element*, std::vector<Pending>> absolutes_;
    std::unordered_map<Element*, float> max_content_;
    std::unordered_map<MeasureKey, float, MeasureKeyHash> measured_heights_;  // for this pass only
    int measuring_ = 0;  // nesting of layouts that only measure, whose boxes a final layout redoes
};

// Lays out the items of one flex container on a single line.
class FlexFormatter {
public:
    FlexFormatter(LayoutEngine& engine, Element& container, float width, std::optional<float> height);
    // Gives the container's content height (a row: its cross size).
    float Run();

private:
    void Collect();
    float MeasureBases();
    float ShrinkItems(float overflow);
    std::optional<float> ShrinkFloor(const FlexItem& item) const;
    float SizeItems();
    float Place(float line_cross, float free);
    void PlaceText(const FlexItem& item, Vector2f position);
    bool Stretches(const FlexItem& item) const;
    Sizing CrossSizing(const FlexItem& item) const;
    Vector2f OuterSize(const FlexItem& item) const;

    LayoutEngine& engine_;
    Element& container_;
    const ComputedValues& values_;
    float width_;
    std::optional<float> height_;
    bool row_;
    float gap_;
    Vector2f origin_;
    std::vector<FlexItem> items_;
    float total_grow_ = 0;
};

// InlineFormatter ---------------------------------------------------------------

InlineFormatter::InlineFormatter(LayoutEngine& engine, Element& block, Vector2f origin, float top, float width)
    : engine_(engine), block_(block), origin_(origin), y_(top), top_(top), width_(width) {
    const ComputedValues& v = block.GetComputedValues();
    strut_ = TextLineMetrics(v);
}

void InlineFormatter::Add(Element& element) {
    if (!IsDisplayed(element)) {
        MarkNotRendered(element);
        return;
    }
    LayoutBox& box = BoxOf(element);
    if (auto* text = dynamic_cast<ElementText*>(&element)) {
        AddText(*text);
    } else if (IsAbsolute(element)) {
        engine_.AddAbsolute(element, origin_ + Vector2f{x_, y_});
    } else if (IsBreak(element)) {
        box = LayoutBox{};
        box.rendered = true;
        box.offset_parent = &block_;
        box.offset = origin_ + Vector2f{x_, y_};
        EndLine(true);
    } else if (element.GetComputedValues().display == Display::Inline && !IsReplaced(element)) {
        AddInline(element);
    } else {
        AddAtom(element);
    }
}

void InlineFormatter::AddText(ElementText& text) {
    LayoutBox& box = BoxOf(text);
    box.text.clear();
    box.rendered = true;
    box.offset_parent = &block_;
    texts_.push_back(&text);
    const ComputedValues& v = text.GetComputedValues();
    const FontEngine::FontHandle font = FontEngine::GetFont(v);
    const std::string_view content = text.GetText();
    std::size_t i = 0;
    while (i < content.size()) {
        if (StringUtilities::IsSpace(content[i])) {
            if (!pending_space_) {
                pending_space_ = true;
                pending_space_text_ = &text;
                pending_space_width_ = FontEngine::MeasureText(font, v.font_size, " ");
            }
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < content.size() && !StringUtilities::IsSpace(content[i])) ++i;
        AddWord(text, content.substr(start, i - start), font, v);
    }
}

void InlineFormatter::AddWord(ElementText& text, std::string_view word, FontEngine::FontHandle font,
                              const ComputedValues& v) {
    const float word_width = FontEngine::MeasureText(font, v.font_size, word);
    const bool had_space = pending_space_ && !pieces_.empty();
    const float space = had_space ? pending_space_width_ : 0;
    const bool continues = had_space && !pieces_.empty() && !pieces_.back().atom && pieces_.back().element == &text &&
                           pending_space_text_ == &text;
    pending_space_ = false;
    if (!pieces_.empty() && x_ + space + word_width > width_) {
        EndLine(false);
    } else {
        x_ += space;
        if (continues) {
            Piece& piece = pieces_.back();
            piece.text += ' ';
            piece.text.append(word);
            piece.width = x_ + word_width - piece.x;
            x_ += word_width;
            return;
        }
    }
    const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(font, v.font_size);
    pieces_.push_back({&text, false, String(word), x_, word_width, font, metrics, TextLineMetrics(metrics, v.line_height)});
    x_ += word_width;
}

void InlineFormatter::AddAtom(Element& atom) {
    Sizing sizing;
    sizing.shrink_to_fit = true;
    sizing.available = width_;
    engine_.LayoutElement(atom, width_, std::nullopt, sizing);
    const LayoutBox& box = BoxOf(atom);
    const float atom_width = box.MarginSize().x;
    const float space = pending_space_ && !pieces_.empty() ? pending_space_width_ : 0;
    pending_space_ = false;
    if (!pieces_.empty() && x_ + space + atom_width > width_) {
        EndLine(false);
    } else {
        x_ += space;
    }
    const float height = box.MarginSize().y;
    const float above = box.has_baseline ? box.margin.top + box.baseline : height;
    pieces_.push_back({&atom, true, {}, x_, atom_width, FontEngine::kNoFont, {}, {above, height - above}});
    x_ += atom_width;
}

void InlineFormatter::AddInline(Element& element) {
    const ComputedValues& v = element.GetComputedValues();
    const Resolved edges = ResolveEdges(v, width_);
    LayoutBox& box = BoxOf(element);
    box.rendered = true;
    box.fragments.clear();
    box.margin = edges.margin;
    box.border = edges.border;
    box.padding = edges.padding;
    box.offset_parent = &block_;
    inline_elements_.push_back(&element);
    // The opening edge sits with the first content, so a leading space goes before it.
    if (pending_space_ && !pieces_.empty()) {
        x_ += pending_space_width_;
        pending_space_ = false;
    }
    x_ += edges.margin.left;
    open_.push_back({&element, x_});
    x_ += edges.border.left + edges.padding.left;
    for (const ElementPtr& child : element.GetChildren()) Add(*child);
    x_ += edges.padding.right + edges.border.right;
    const auto it = std::find_if(open_.begin(), open_.end(), [&](const Open& o) { return o.element == &element; });
    if (it != open_.end()) {
        spans_.push_back({&element, it->start, x_});
        open_.erase(it);
    }
    x_ += edges.margin.right;
}

void InlineFormatter::EndLine(bool forced) {
    pending_space_ = false;
    for (Open& open : open_) {
        spans_.push_back({open.element, open.start, x_});
        open.start = 0;
    }
    if (pieces_.empty() && spans_.empty() && !forced) {
        x_ = 0;
        return;
    }
    LineMetrics line = strut_;
    for (const Piece& piece : pieces_) {
        line.above = std::max(line.above, piece.line.above);
        line.below = std::max(line.below, piece.line.below);
    }
    for (const Span& span : spans_) {
        const ComputedValues& v = span.element->GetComputedValues();
        const LineMetrics metrics = TextLineMetrics(v);
        line.above = std::max(line.above, metrics.above);
        line.below = std::max(line.below, metrics.below);
    }
    float line_width = 0;
    for (const Piece& piece : pieces_) line_width = std::max(line_width, piece.x + piece.width);
    for (const Span& span : spans_) line_width = std::max(line_width, span.end);
    float shift = 0;
    const Style::TextAlign align = block_.GetComputedValues().text_align;
    if (line_width < width_) {
        if (align == Style::TextAlign::Center) shift = (width_ - line_width) / 2;
        if (align == Style::TextAlign::Right) shift = width_ - line_width;
    }
    const float baseline = y_ + line.above;
    for (const Piece& piece : pieces_) {
        LayoutBox& box = BoxOf(*piece.element);
        if (piece.atom) {
            box.offset_parent = &block_;
            box.offset = origin_ + Vector2f{piece.x + shift + box.margin.left, baseline - piece.line.above + box.margin.top};
            ApplyRelative(*piece.element, width_, std::nullopt);
        } else {
            box.text.push_back({piece.text, origin_ + Vector2f{piece.x + shift, baseline - piece.metrics.ascent},
                                piece.width, piece.metrics.Height(), piece.font});
        }
    }
    for (const Span& span : spans_) {
        LayoutBox& box = BoxOf(*span.element);
        const ComputedValues& v = span.element->GetComputedValues();
        const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(v);
        const float top = baseline - metrics.ascent - box.padding.top - box.border.top;
        const float height = metrics.Height() + box.padding.Vertical() + box.border.Vertical();
        box.fragments.push_back({origin_.x + span.start + shift, origin_.y + top, span.end - span.start, height});
    }
    last_baseline_ = baseline - top_;
    y_ += line.above + line.below;
    pieces_.clear();
    spans_.clear();
    x_ = 0;
}

float InlineFormatter::Finish(float& last_baseline) {
    if (!pieces_.empty() || !open_.empty()) EndLine(false);
    // Boxes of text and inline elements: the bounds of their pieces.
    for (ElementText* text : texts_) {
        LayoutBox& box = BoxOf(*text);
        Rectanglef bounds;
        bool first = true;
        for (const TextFragment& fragment : box.text) {
            const Rectanglef rect{fragment.position.x, fragment.position.y, fragment.width, fragment.height};
            bounds = first ? rect : bounds.Union(rect);
            first = false;
        }
        box.offset = {bounds.x, bounds.y};
        box.content = {bounds.width, bounds.height};
    }
    for (Element* element : inline_elements_) {
        LayoutBox& box = BoxOf(*element);
        Rectanglef bounds;
        bool first = true;
        for (const Rectanglef& fragment : box.fragments) {
            bounds = first ? fragment : bounds.Union(fragment);
            first = false;
        }
        box.offset = {bounds.x, bounds.y};
        box.content = {std::max(0.f, bounds.width - box.padding.Horizontal() - box.border.Horizontal()),
                       std::max(0.f, bounds.height - box.padding.Vertical() - box.border.Vertical())};
    }
    last_baseline = last_baseline_;
    return y_ - top_;
}

// LayoutEngine --------------------------------------------------------------------

void LayoutEngine::LayoutElement(Element& e, float cb_width, std::optional<float> cb_height, const Sizing& sizing) {
    const ComputedValues& v = e.GetComputedValues();
    LayoutBox& box = BoxOf(e);
    box.rendered = true;
    box.fragments.clear();
    box.text.clear();
    box.has_baseline = false;
    box.baseline = 0;
    const Resolved edges = ResolveEdges(v, cb_width);
    box.margin = edges.margin;
    box.border = edges.border;
    box.padding = edges.padding;
    if (&e == document_) box.offset = {box.margin.left, box.margin.top};
    const float frame_width = edges.Frame().x;
    const bool replaced = IsReplaced(e);
    const Vector2f replaced_size = replaced ? ReplacedSize(e, cb_width, cb_height) : Vector2f{};

    float width = 0;
    if (sizing.width) {
        width = *sizing.width;
    } else if (replaced) {
        width = replaced_size.x;
    } else if (v.width.IsDefinite()) {
        width = ClampWidth(v, v.width.Resolve(cb_width), cb_width);
    } else if (sizing.shrink_to_fit) {
        const float available = std::max(0.f, sizing.available - edges.margin.Horizontal() - frame_width);
        width = ClampWidth(v, std::min(MaxContentWidth(e) - frame_width, available), cb_width);
    } else {
        width = ClampWidth(v, cb_width - edges.margin.Horizontal() - frame_width, cb_width);
    }
    if (!sizing.shrink_to_fit && !sizing.width && (edges.auto_left || edges.auto_right)) {
        const float free = cb_width - width - frame_width - box.margin.Horizontal();
        if (free > 0) {
            if (edges.auto_left && edges.auto_right) {
                box.margin.left += free / 2;
                box.margin.right += free / 2;
            } else if (edges.auto_left) {
                box.margin.left += free;
            } else {
                box.margin.right += free;
            }
        }
    }

    std::optional<float> height = sizing.height;
    if (!height && replaced) height = replaced_size.y;
    if (!height) {
        if (auto definite = DefiniteHeight(v, cb_height)) height = ClampHeight(v, *definite, cb_height);
    }

    const bool holds_absolutes = IsPositioned(e) || &e == document_;
    if (holds_absolutes) absolutes_[&e].clear();
    float content_height = 0;
    if (replaced) {
        for (const ElementPtr& child : e.GetChildren()) MarkNotRendered(*child);
    } else if (v.display == Display::Flex) {
        content_height = LayoutFlex(e, width, height);
    } else {
        content_height = LayoutFlow(e, width, height);
    }
    box.content = {std::max(0.f, width), height.value_or(ClampHeight(v, content_height, cb_height))};
    if (v.overflow != Style::Overflow::Visible) box.has_baseline = false;
    if (holds_absolutes) LayoutAbsolutes(e);
    ComputeScrollSize(e);
}

// A flex column lays each item out to measure it and again at its final size,
// which doubles the work at every level of nested columns. The height is a
// function of the key alone, and whatever else the measuring layout leaves
// (boxes, pending absolutes) the final layout redoes, so a repeat is skipped.
float LayoutEngine::MeasureHeight(Element& e, float cb_width, std::optional<float> cb_height, const Sizing& sizing) {
    const MeasureKey key = MakeMeasureKey(e, cb_width, cb_height, sizing);
    if (auto it = measured_heights_.find(key); it != measured_heights_.end()) return it->second;
    ++measuring_;
    LayoutElement(e, cb_width, cb_height, sizing);
    --measuring_;
    const float height = BoxOf(e).content.y;
    measured_heights_.emplace(key, height);
    return height;
}

float LayoutEngine::LayoutFlow(Element& e, float width, std::optional<float> height) {
    LayoutBox& box = BoxOf(e);
    const Vector2f origin{box.border.left + box.padding.left, box.border.top + box.padding.top};
    float y = 0;
    std::optional<float> baseline;
    std::vector<Element*> run;
    const auto flush = [&]() {
        if (run.empty()) return;
        InlineFormatter formatter(*this, e, origin, y, width);
        for (Element* item : run) formatter.Add(*item);
        float last_baseline = -1;
        const float lines_height = formatter.Finish(last_baseline);
        if (last_baseline >= 0) baseline = origin.y + y + last_baseline;
        y += lines_height;
        run.clear();
    };
    for (const ElementPtr& child_ptr : e.GetChildren()) {
        Element& child = *child_ptr;
        if (!IsDisplayed(child)) {
            MarkNotRendered(child);
        } else if (IsAbsolute(child)) {
            AddAbsolute(child, origin + Vector2f{0, y});
        } else if (!IsBlockLevel(child)) {
            run.push_back(&child);
        } else {
            flush();
            LayoutElement(child, width, height, {});
            LayoutBox& child_box = BoxOf(child);
            child_box.offset_parent = &e;
            child_box.offset = origin + Vector2f{child_box.margin.left, y + child_box.margin.top};
            if (child_box.has_baseline) baseline = child_box.offset.y + child_box.baseline;
            ApplyRelative(child, width, height);
            y += child_box.MarginSize().y;
        }
    }
    flush();
    if (baseline) {
        box.has_baseline = true;
        box.baseline = *baseline;
    }
    return y;
}

float LayoutEngine::TextMaxWidth(ElementText& text) {
    const ComputedValues& v = text.GetComputedValues();
    return FontEngine::MeasureText(v, CollapseWhitespace(text.GetText()));
}

float LayoutEngine::LayoutFlex(Element& e, float width, std::optional<float> height) {
    return FlexFormatter(*this, e, width, height).Run();
}

// FlexFormatter --------------------------------------------------------------------

FlexFormatter::FlexFormatter(LayoutEngine& engine, Element& container, float width, std::optional<float> height)
    : engine_(engine),
      container_(container),
      values_(container.GetComputedValues()),
      width_(width),
      height_(height),
      row_(values_.flex_direction == Style::FlexDirection::Row),
      gap_(row_ ? values_.column_gap : values_.row_gap) {
    const LayoutBox& box = BoxOf(container);
    origin_ = {box.border.left + box.padding.left, box.border.top + box.padding.top};
}

float FlexFormatter::Run() {
    Collect();
    const float used = MeasureBases();
    const std::optional<float> main_size = row_ ? std::optional<float>(width_) : height_;
    float free = main_size ? *main_size - used : 0;
    if (free > 0 && total_grow_ > 0) {
        for (FlexItem& item : items_) {
            if (!item.text) item.main += free * item.element->GetComputedValues().flex_grow / total_grow_;
        }
        free = 0;
    } else if (free < 0) {
        free = -ShrinkItems(-free);
    }
    const float line_cross = SizeItems();
    const float extent = Place(line_cross, free);
    return row_ ? line_cross : height_.value_or(std::max(0.f, extent));
}

void FlexFormatter::Collect() {
    for (const ElementPtr& child_ptr : container_.GetChildren()) {
        Element& child = *child_ptr;
        if (!IsDisplayed(child)) {
            MarkNotRendered(child);
        } else if (IsAbsolute(child)) {
            engine_.AddAbsolute(child, origin_);
        } else if (auto* text = dynamic_cast<ElementText*>(&child)) {
            LayoutBox& text_box = BoxOf(*text);
            text_box.rendered = true;
            text_box.text.clear();
            text_box.offset_parent = &container_;
            // White space alone is no item.
            const String content = OneLine(*text);
            if (!content.empty()) items_.push_back({&child, text, {}, 0, content});
        } else {
            items_.push_back({&child, nullptr, ResolveEdges(child.GetComputedValues(), width_), 0, {}});
        }
    }
}

bool FlexFormatter::Stretches(const FlexItem& item) const {
    if (item.text || values_.align_items != Style::AlignItems::Stretch) return false;
    const ComputedValues& v = item.element->GetComputedValues();
    return row_ ? v.height.IsAuto() : v.width.IsAuto();
}

// In a column the cross size is the width: stretched, or shrink-to-fit when auto.
Sizing FlexFormatter::CrossSizing(const FlexItem& item) const {
    Sizing sizing;
    if (row_) return sizing;
    if (Stretches(item)) {
        sizing.width = std::max(0.f, width_ - item.edges.margin.Horizontal() - item.edges.Frame().x);
    } else if (item.element->GetComputedValues().width.IsAuto()) {
        sizing.shrink_to_fit = true;
        sizing.available = width_;
    }
    return sizing;
}

float FlexFormatter::MeasureBases() {
    float used = 0;
    for (FlexItem& item : items_) {
        if (item.text) {
            const ComputedValues& tv = item.text->GetComputedValues();
            item.main = row_ ? FontEngine::MeasureText(tv, item.content) : tv.line_height;
            used += item.main;
            continue;
        }
        Element& child = *item.element;
        const ComputedValues& v = child.GetComputedValues();
        if (row_) {
            if (v.width.IsDefinite()) {
                item.main = ClampWidth(v, v.width.Resolve(width_), width_);
            } else if (IsReplaced(child)) {
                item.main = ReplacedSize(child, width_, height_).x;
            } else {
                item.main = ClampWidth(v, engine_.MaxContentWidth(child) - item.edges.Frame().x, width_);
            }
        } else if (auto definite = DefiniteHeight(v, height_)) {
            item.main = ClampHeight(v, *definite, height_);
        } else {
            item.main = engine_.MeasureHeight(child, width_, height_, CrossSizing(item));
        }
        total_grow_ += v.flex_grow;
        used += item.main + (row_ ? item.edges.Frame().x + item.edges.margin.Horizontal()
                                  : item.edges.Frame().y + item.edges.margin.Vertical());
    }
    if (!items_.empty()) used += gap_ * static_cast<float>(items_.size() - 1);
    return used;
}

// A line longer than its container takes the excess from its content-sized
// items, in proportion to their size; an item that reaches its floor keeps it
// and the others give up the rest. Gives the excess that is left.
float FlexFormatter::ShrinkItems(float overflow) {
    std::vector<std::optional<float>> floors;
    floors.reserve(items_.size());
    for (const FlexItem& item : items_) floors.push_back(ShrinkFloor(item));
    for (std::size_t round = 0; round <= items_.size() && overflow > 0; ++round) {
        float total = 0;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (floors[i] && items_[i].main > *floors[i]) total += items_[i].main;
        }
        if (total <= 0) break;
        float taken = 0;
        for (std::size_t i = 0; i < items_.size(); ++i) {
            FlexItem& item = items_[i];
            if (!floors[i] || item.main <= *floors[i]) continue;
            const float shrunk = std::max(*floors[i], item.main - overflow * item.main / total);
            taken += item.main - shrunk;
            item.main = shrunk;
        }
        overflow -= taken;
    }
    return std::max(0.f, overflow);
}

// How far an item may shrink; nothing when it keeps its size. Only
// content-sized boxes shrink: to their min-width or min-height when one is
// given, else a scroll container to nothing (it scrolls instead), else a row
// item to its longest word and a column item not at all.
std::optional<float> FlexFormatter::ShrinkFloor(const FlexItem& item) const {
    if (item.text || IsReplaced(*item.element)) return std::nullopt;
    const ComputedValues& v = item.element->GetComputedValues();
    if (!(row_ ? v.width : v.height).IsAuto()) return std::nullopt;
    const Length& min = row_ ? v.min_width : v.min_height;
    if (min.IsDefinite()) return row_ ? min.Resolve(width_) : ClampHeight(v, 0, height_);
    if (v.overflow != Style::Overflow::Visible) return 0.f;
    if (!row_) return std::nullopt;
    return std::max(0.f, engine_.MinContentWidth(*item.element) - item.edges.Frame().x);
}

// Lays every item out at its main size; gives the cross size of the line.
float FlexFormatter::SizeItems() {
    const std::optional<float> cross_size = row_ ? height_ : std::optional<float>(width_);
    float line_cross = 0;
    for (const FlexItem& item : items_) {
        if (item.text) {
            line_cross = std::max(line_cross, row_ ? item.text->GetComputedValues().line_height : item.main);
            continue;
        }
        Sizing sizing = CrossSizing(item);
        if (row_) {
            sizing.width = item.main;
            if (Stretches(item) && cross_size) {
                sizing.height = std::max(0.f, *cross_size - item.edges.margin.Vertical() - item.edges.Frame().y);
            }
        } else {
            sizing.height = item.main;
        }
        engine_.LayoutElement(*item.element, width_, height_, sizing);
        const Vector2f outer = BoxOf(*item.element).MarginSize();
        line_cross = std::max(line_cross, row_ ? outer.y : outer.x);
    }
    if (cross_size) return *cross_size;
    if (row_) {
        // Items of auto height stretch to the tallest one.
        for (const FlexItem& item : items_) {
            if (!Stretches(item)) continue;
            const float stretched = std::max(0.f, line_cross - item.edges.margin.Vertical() - item.edges.Frame().y);
            if (BoxOf(*item.element).content.y == stretched) continue;
            Sizing sizing;
            sizing.width = item.main;
            sizing.height = stretched;
            engine_.LayoutElement(*item.element, width_, height_, sizing);
        }
    }
    return line_cross;
}

// Puts the items along the main axis with justify-content and across with
// align-items; gives the main extent they take. Items that overflow (`free`
// below 0) stick out at the end, at the start when justified to the end, or
// at both ends alike when centred.
float FlexFormatter::Place(float line_cross, float free) {
    float leading = 0;
    float between = 0;
    if (free < 0 && values_.justify_content == Style::JustifyContent::Center) leading = free / 2;
    if (free < 0 && values_.justify_content == Style::JustifyContent::FlexEnd) leading = free;
    if (free > 0 && !items_.empty()) {
        const float count = static_cast<float>(items_.size());
        switch (values_.justify_content) {
            case Style::JustifyContent::FlexStart: break;
            case Style::JustifyContent::FlexEnd: leading = free; break;
            case Style::JustifyContent::Center: leading = free / 2; break;
            case Style::JustifyContent::SpaceBetween: between = items_.size() > 1 ? free / (count - 1) : 0; break;
            case Style::JustifyContent::SpaceAround:
                between = free / count;
                leading = between / 2;
                break;
            case Style::JustifyContent::SpaceEvenly:
                between = free / (count + 1);
                leading = between;
                break;
        }
    }
    float position = leading;
    float extent = 0;
    for (const FlexItem& item : items_) {
        const Vector2f outer = OuterSize(item);
        const float outer_main = row_ ? outer.x : outer.y;
        const float outer_cross = row_ ? outer.y : outer.x;
        float cross = 0;
        if (values_.align_items == Style::AlignItems::Center) cross = (line_cross - outer_cross) / 2;
        if (values_.align_items == Style::AlignItems::FlexEnd) cross = line_cross - outer_cross;
        const Vector2f place = row_ ? Vector2f{position, cross} : Vector2f{cross, position};
        if (item.text) {
            PlaceText(item, origin_ + place);
        } else {
            LayoutBox& child_box = BoxOf(*item.element);
            child_box.offset_parent = &container_;
            child_box.offset = origin_ + place + Vector2f{child_box.margin.left, child_box.margin.top};
            ApplyRelative(*item.element, width_, height_);
        }
        extent = position + outer_main;
        position = extent + gap_ + between;
    }
    return extent;
}

Vector2f FlexFormatter::OuterSize(const FlexItem& item) const {
    if (!item.text) return BoxOf(*item.element).MarginSize();
    const ComputedValues& tv = item.text->GetComputedValues();
    return {FontEngine::MeasureText(tv, item.content), tv.line_height};
}

void FlexFormatter::PlaceText(const FlexItem& item, Vector2f position) {
    const ComputedValues& tv = item.text->GetComputedValues();
    const FontEngine::FontHandle font = FontEngine::GetFont(tv);
    const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(tv);
    const float half_leading = (tv.line_height - metrics.Height()) / 2;
    const float width = FontEngine::MeasureText(tv, item.content);
    LayoutBox& box = BoxOf(*item.text);
    box.text.push_back({item.content, position + Vector2f{0, half_leading}, width, metrics.Height(), font});
    box.offset = position;
    box.content = {width, tv.line_height};
}

float LayoutEngine::InlineMaxWidth(Element& e, float& widest) {
    if (!IsDisplayed(e) || IsAbsolute(e)) return 0;
    if (auto* text = dynamic_cast<ElementText*>(&e)) return TextMaxWidth(*text);
    const ComputedValues& v = e.GetComputedValues();
    if (v.display == Display::Inline && !IsReplaced(e)) {
        const Resolved edges = ResolveEdges(v, 0);
        float line = edges.margin.Horizontal() + edges.Frame().x;
        for (const ElementPtr& child : e.GetChildren()) {
            if (IsBreak(*child)) {
                widest = std::max(widest, line);
                line = 0;
                continue;
            }
            line += InlineMaxWidth(*child, widest);
        }
        return line;
    }
    const Resolved edges = ResolveEdges(v, 0);
    return MaxContentWidth(e) + edges.margin.Horizontal();
}

float LayoutEngine::MaxContentWidth(Element& e) {
    if (auto it = max_content_.find(&e); it != max_content_.end()) return it->second;
    const ComputedValues& v = e.GetComputedValues();
    const Resolved edges = ResolveEdges(v, 0);
    const float frame = edges.Frame().x;
    float result = 0;
    if (IsReplaced(e)) {
        result = ReplacedSize(e, 0, std::nullopt).x + frame;
    } else if (v.width.kind == Length::Kind::Px) {
        result = ClampWidth(v, v.width.value, 0) + frame;
    } else {
        float content = 0;
        const auto item_width = [&](Element& child) {
            if (auto* text = dynamic_cast<ElementText*>(&child)) {
                return FontEngine::MeasureText(child.GetComputedValues(), OneLine(*text));
            }
            return MaxContentWidth(child) + ResolveEdges(child.GetComputedValues(), 0).margin.Horizontal();
        };
        if (v.display == Display::Flex) {
            const bool row = v.flex_direction == Style::FlexDirection::Row;
            int count = 0;
            for (const ElementPtr& child : e.GetChildren()) {
                if (!IsDisplayed(*child) || IsAbsolute(*child)) continue;
                const float width = item_width(*child);
                if (IsText(*child) && width == 0) continue;
                content = row ? content + width : std::max(content, width);
                ++count;
            }
            if (row && count > 1) content += v.column_gap * static_cast<float>(count - 1);
        } else {
            float line = 0;
            for (const ElementPtr& child : e.GetChildren()) {
                if (!IsDisplayed(*child) || IsAbsolute(*child)) continue;
                if (IsBlockLevel(*child) || IsBreak(*child)) {
                    content = std::max(content, line);
                    line = 0;
                    if (!IsBreak(*child)) content = std::max(content, item_width(*child));
                } else {
                    line += InlineMaxWidth(*child, content);
                }
            }
            content = std::max(content, line);
        }
        result = ClampWidth(v, content, 0) + frame;
    }
    max_content_[&e] = result;
    return result;
}

float LayoutEngine::MinContentWidth(Element& e) {
    if (auto* text = dynamic_cast<ElementText*>(&e)) {
        const ComputedValues& v = text->GetComputedValues();
        float widest = 0;
        for (const String& word : StringUtilities::SplitWhitespace(text->GetText())) {
            widest = std::max(widest, FontEngine::MeasureText(v, word));
        }
        return widest;
    }
    const ComputedValues& v = e.GetComputedValues();
    if (IsReplaced(e) || v.width.kind == Length::Kind::Px) return MaxContentWidth(e);
    const Resolved edges = ResolveEdges(v, 0);
    const float frame = edges.Frame().x;
    const bool row_flex = v.display == Display::Flex && v.flex_direction == Style::FlexDirection::Row;
    float content = 0;
    int items = 0;
    for (const ElementPtr& child : e.GetChildren()) {
        if (!IsDisplayed(*child) || IsAbsolute(*child)) continue;
        // White space alone is no flex item.
        if (row_flex && IsText(*child) && OneLine(static_cast<ElementText&>(*child)).empty()) continue;
        const float margins = IsText(*child) ? 0 : ResolveEdges(child->GetComputedValues(), 0).margin.Horizontal();
        const float width = MinContentWidth(*child) + margins;
        content = row_flex ? content + width : std::max(content, width);
        ++items;
    }
    // A row's items keep their gaps however narrow it gets.
    if (row_flex && items > 1) content += v.column_gap * static_cast<float>(items - 1);
    return ClampWidth(v, content, 0) + frame;
}

Element* LayoutEngine::ContainingBlockOf(Element& e) {
    for (Element* ancestor = e.GetParentNode(); ancestor; ancestor = ancestor->GetParentNode()) {
        if (IsPositioned(*ancestor) || ancestor == document_) return ancestor;
    }
    return document_;
}

void LayoutEngine::AddAbsolute(Element& e, Vector2f static_position) {
    auto& pending = absolutes_[ContainingBlockOf(e)];
    const auto it = std::find_if(pending.begin(), pending.end(), [&](const Pending& p) { return p.element == &e; });
    if (it != pending.end()) {
        it->static_position = static_position;
    } else {
        pending.push_back({&e, static_position});
    }
}

void LayoutEngine::LayoutAbsolutes(Element& containing_block) {
    const std::vector<Pending> pending = std::move(absolutes_[&containing_block]);
    absolutes_.erase(&containing_block);
    const LayoutBox& cb_box = BoxOf(containing_block);
    const bool viewport = &containing_block == document_;
    const Vector2f size = viewport ? viewport_ : cb_box.PaddingSize();
    const Vector2f origin = viewport ? Vector2f{-cb_box.offset.x, -cb_box.offset.y}
                                     : Vector2f{cb_box.border.left, cb_box.border.top};
    for (const Pending& item : pending) {
        Element& e = *item.element;
        const ComputedValues& v = e.GetComputedValues();
        const Resolved edges = ResolveEdges(v, size.x);
        const Vector2f frame = edges.Frame();
        const auto resolve = [](const Length& length, float base) -> std::optional<float> {
            if (length.IsAuto()) return std::nullopt;
            return length.Resolve(base);
        };
        const auto left = resolve(v.left, size.x), right = resolve(v.right, size.x);
        const auto top = resolve(v.top, size.y), bottom = resolve(v.bottom, size.y);
        Sizing sizing;
        if (!v.width.IsDefinite() && !IsReplaced(e)) {
            if (left && right) {
                sizing.width = std::max(0.f, size.x - *left - *right - edges.margin.Horizontal() - frame.x);
            } else {
                sizing.shrink_to_fit = true;
                sizing.available = size.x - left.value_or(0) - right.value_or(0);
            }
        }
        if (!DefiniteHeight(v, size.y) && top && bottom) {
            sizing.height = std::max(0.f, size.y - *top - *bottom - edges.margin.Vertical() - frame.y);
        }
        LayoutElement(e, size.x, size.y, sizing);
        LayoutBox& box = BoxOf(e);
        const Vector2f border_size = box.BorderSize();
        const Vector2f static_offset =
            OffsetToRoot(e.GetParentNode()) - OffsetToRoot(&containing_block) + item.static_position;
        const Vector2f position{
            PlaceOnAxis(left, right, origin.x, size.x, box.margin.left, box.margin.right, border_size.x, static_offset.x),
            PlaceOnAxis(top, bottom, origin.y, size.y, box.margin.top, box.margin.bottom, border_size.y, static_offset.y)};
        box.offset_parent = &containing_block;
        box.offset = position;
    }
}

void LayoutEngine::ComputeScrollSize(Element& e) {
    LayoutBox& box = BoxOf(e);
    const Vector2f padding_size = box.PaddingSize();
    if (e.GetComputedValues().overflow == Style::Overflow::Visible) {
        box.scroll_size = padding_size;
        return;
    }
    float right = 0;
    float bottom = 0;
    const Vector2f padding_origin{box.border.left, box.border.top};
    for (const ElementPtr& child_ptr : e.GetChildren()) {
        const LayoutBox& child = BoxOf(*child_ptr);
        if (!child.rendered) continue;
        Vector2f end;
        if (IsText(*child_ptr) || !child.fragments.empty()) {
            end = child.offset + child.BorderSize();
        } else {
            end = child.offset + child.BorderSize() + Vector2f{child.margin.right, child.margin.bottom};
        }
        right = std::max(right, end.x - padding_origin.x);
        bottom = std::max(bottom, end.y - padding_origin.y);
    }
    box.scroll_size = {std::max(padding_size.x, right + box.padding.right),
                       std::max(padding_size.y, bottom + box.padding.bottom)};
    // A box measured at its content's size would lose its scroll offset.
    if (measuring_ > 0) return;
    box.scroll.x = std::clamp(box.scroll.x, 0.f, box.scroll_size.x - padding_size.x);
    box.scroll.y = std::clamp(box.scroll.y, 0.f, box.scroll_size.y - padding_size.y);
}

// Paint order: a positioned element paints with everything below it, after
// the in-flow content of its stacking parent, ordered by z-index.
void LayoutEngine::CollectPaint(Element& e, std::vector<Element*>& in_flow, std::vector<Element*>& positioned) {
    for (const ElementPtr& child_ptr : e.GetChildren()) {
        Element& child = *child_ptr;
        if (!BoxOf(child).rendered) continue;
        if (IsPositioned(child)) {
            positioned.push_back(&child);
            continue;
        }
        in_flow.push_back(&child);
        CollectPaint(child, in_flow, positioned);
    }
}

void LayoutEngine::BuildPaintOrder(Element& root, std::vector<Element*>& out) {
    out.push_back(&root);
    std::vector<Element*> in_flow;
    std::vector<Element*> positioned;
    CollectPaint(root, in_flow, positioned);
    std::stable_sort(positioned.begin(), positioned.end(), [](const Element* a, const Element* b) {
        return a->GetComputedValues().z_index < b->GetComputedValues().z_index;
    });
    auto first_non_negative = std::find_if(positioned.begin(), positioned.end(),
                                           [](const Element* p) { return p->GetComputedValues().z_index >= 0; });
    for (auto it = positioned.begin(); it != first_non_negative; ++it) BuildPaintOrder(**it, out);
    out.insert(out.end(), in_flow.begin(), in_flow.end());
    for (auto it = first_non_negative; it != positioned.end(); ++it) BuildPaintOrder(**it, out);
}

void PositionElement(Element& e, const Element* parent, Vector2f viewport) {
    LayoutBox& box = BoxOf(e);
    if (!box.rendered) return;
    if (!parent) {
        box.absolute = box.offset;
        box.clip = {0, 0, viewport.x, viewport.y};
        box.opacity = e.GetComputedValues().opacity;
    } else {
        const Element* origin = box.offset_parent ? box.offset_parent : parent;
        const LayoutBox& origin_box = origin->GetBox();
        box.absolute = origin_box.absolute + box.offset - origin_box.scroll;
        const LayoutBox& parent_box = parent->GetBox();
        box.clip = parent_box.clip;
        if (parent->GetComputedValues().overflow != Style::Overflow::Visible) {
            const Vector2f padding_size = parent_box.PaddingSize();
            box.clip = box.clip.Intersect({parent_box.absolute.x + parent_box.border.left,
                                           parent_box.absolute.y + parent_box.border.top, padding_size.x,
                                           padding_size.y});
        }
        box.opacity = parent_box.opacity * (IsText(e) ? 1.f : e.GetComputedValues().opacity);
    }
    for (const ElementPtr& child : e.GetChildren()) PositionElement(*child, &e, viewport);
}

}  // namespace

void LayoutDocument(ElementDocument& document, Vector2f viewport) {
    LayoutEngine engine(viewport);
    engine.Run(document);
}

void UpdatePositions(ElementDocument& document, Vector2f viewport) { PositionElement(document, nullptr, viewport); }

}  // namespace Rml
