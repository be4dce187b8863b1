#include "lib/rml/painter/painter.h"

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "lib/rml/context/context.h"
#include "lib/rml/core/core.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_image/element_image.h"
#include "lib/rml/element_input/element_input.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/system_interface/system_interface.h"

namespace Rml {

namespace {

Colourb WithOpacity(Colourb colour, float opacity) {
    colour.alpha = static_cast<byte>(std::lround(static_cast<float>(colour.alpha) * std::clamp(opacity, 0.f, 1.f)));
    return colour;
}

// Renderers turn coordinates into ints, the software one with bits to spare
// for sub-pixels; geometry is cut to this far-off-screen range first.
constexpr float kDrawLimit = 1 << 20;
constexpr Rectanglef kDrawable{-kDrawLimit, -kDrawLimit, 2 * kDrawLimit, 2 * kDrawLimit};

bool WithinDrawable(const Rectanglef& r) {
    return r.x >= -kDrawLimit && r.y >= -kDrawLimit && r.Right() <= kDrawLimit && r.Bottom() <= kDrawLimit;
}

// Two triangles over `r`, the texture (if any) stretched across it.
void RenderQuad(RenderInterface& render_interface, const Rectanglef& r, Colourb colour, TextureHandle texture) {
    Rectanglef cut = r;
    Vector2f uv0{0, 0}, uv1{1, 1};
    if (!WithinDrawable(r)) {
        cut = r.Intersect(kDrawable);
        if (cut.Empty()) return;
        // Texture coordinates of the part that is kept.
        uv0 = {(cut.x - r.x) / r.width, (cut.y - r.y) / r.height};
        uv1 = {(cut.Right() - r.x) / r.width, (cut.Bottom() - r.y) / r.height};
    }
    const Vertex vertices[4] = {{{cut.x, cut.y}, colour, uv0},
                                {{cut.Right(), cut.y}, colour, {uv1.x, uv0.y}},
                                {{cut.Right(), cut.Bottom()}, colour, uv1},
                                {{cut.x, cut.Bottom()}, colour, {uv0.x, uv1.y}}};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    render_interface.RenderGeometry(vertices, 4, indices, 6, texture, {});
}

class Scissor {
public:
    explicit Scissor(RenderInterface& render_interface) : render_interface_(render_interface) {}

    void Set(const Rectanglef& clip) {
        const auto bound = [](float v) { return std::clamp(v, -kDrawLimit, kDrawLimit); };
        const float left = bound(std::floor(clip.x));
        const float top = bound(std::floor(clip.y));
        const Rectanglei region{ClampToInt(left), ClampToInt(top), ClampToInt(bound(std::ceil(clip.Right())) - left),
                                ClampToInt(bound(std::ceil(clip.Bottom())) - top)};
        if (enabled_ && region == region_) return;
        region_ = region;
        enabled_ = true;
        render_interface_.SetScissorRegion(region);
        render_interface_.EnableScissorRegion(true);
    }

private:
    RenderInterface& render_interface_;
    Rectanglei region_;
    bool enabled_ = false;
};

// Points around a rounded rectangle, clockwise, the same count for any radii.
std::vector<Vector2f> RoundedOutline(const Rectanglef& r, std::array<float, 4> radii) {
    constexpr int kSegments = 6;
    const float limit = std::min(r.width, r.height) / 2;
    for (float& radius : radii) radius = std::clamp(radius, 0.f, limit);
    const std::array<Vector2f, 4> centres = {Vector2f{r.x + radii[0], r.y + radii[0]},
                                             Vector2f{r.Right() - radii[1], r.y + radii[1]},
                                             Vector2f{r.Right() - radii[2], r.Bottom() - radii[2]},
                                             Vector2f{r.x + radii[3], r.Bottom() - radii[3]}};
    constexpr float kPi = std::numbers::pi_v<float>;
    std::vector<Vector2f> points;
    for (int corner = 0; corner < 4; ++corner) {
        const float start = kPi + static_cast<float>(corner) * kPi / 2;
        for (int i = 0; i <= kSegments; ++i) {
            const float angle = start + static_cast<float>(i) * (kPi / 2) / kSegments;
            points.push_back({centres[static_cast<std::size_t>(corner)].x + radii[static_cast<std::size_t>(corner)] * std::cos(angle),
                              centres[static_cast<std::size_t>(corner)].y + radii[static_cast<std::size_t>(corner)] * std::sin(angle)});
        }
    }
    return points;
}

void FillPolygon(RenderInterface& render_interface, const std::vector<Vector2f>& outline, Colourb colour) {
    std::vector<Vertex> vertices;
    Vector2f centre;
    for (const Vector2f& point : outline) centre += point;
    centre = centre * (1.f / static_cast<float>(outline.size()));
    vertices.push_back({centre, colour, {}});
    for (const Vector2f& point : outline) vertices.push_back({point, colour, {}});
    std::vector<int> indices;
    const int count = static_cast<int>(outline.size());
    for (int i = 0; i < count; ++i) {
        indices.insert(indices.end(), {0, 1 + i, 1 + (i + 1) % count});
    }
    render_interface.RenderGeometry(vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                                    static_cast<int>(indices.size()), 0, {});
}

void FillRing(RenderInterface& render_interface, const std::vector<Vector2f>& outer, const std::vector<Vector2f>& inner,
              Colourb colour) {
    std::vector<Vertex> vertices;
    for (const Vector2f& point : outer) vertices.push_back({point, colour, {}});
    for (const Vector2f& point : inner) vertices.push_back({point, colour, {}});
    std::vector<int> indices;
    const int count = static_cast<int>(outer.size());
    for (int i = 0; i < count; ++i) {
        const int next = (i + 1) % count;
        indices.insert(indices.end(), {i, next, count + next, i, count + next, count + i});
    }
    render_interface.RenderGeometry(vertices.data(), static_cast<int>(vertices.size()), indices.data(),
                                    static_cast<int>(indices.size()), 0, {});
}

// Background and border of one box (or one line fragment of an inline element).
void PaintDecoration(RenderInterface& render_interface, const Rectanglef& border_box, const LayoutBox& box,
                     const ComputedValues& v, float opacity) {
    // Far beyond the screen a box is drawn square: only whole rectangles can be cut to the drawable range.
    const bool rounded = WithinDrawable(border_box) &&
                         std::any_of(v.border_radius.begin(), v.border_radius.end(), [](float r) { return r > 0; });
    const Edges& b = box.border;
    const bool has_border = b.top > 0 || b.right > 0 || b.bottom > 0 || b.left > 0;
    const Rectanglef padding_box{border_box.x + b.left, border_box.y + b.top, border_box.width - b.Horizontal(),
                                 border_box.height - b.Vertical()};
    if (v.background_color.alpha > 0) {
        const Colourb colour = WithOpacity(v.background_color, opacity);
        if (rounded) {
            FillPolygon(render_interface, RoundedOutline(border_box, v.border_radius), colour);
        } else {
            FillRectangle(render_interface, border_box, colour);
        }
    }
    if (!has_border) return;
    if (rounded) {
        std::array<float, 4> inner = v.border_radius;
        inner[0] -= std::max(b.top, b.left);
        inner[1] -= std::max(b.top, b.right);
        inner[2] -= std::max(b.bottom, b.right);
        inner[3] -= std::max(b.bottom, b.left);
        FillRing(render_interface, RoundedOutline(border_box, v.border_radius), RoundedOutline(padding_box, inner),
                 WithOpacity(v.border_color[0], opacity));
        return;
    }
    FillRectangle(render_interface, {border_box.x, border_box.y, border_box.width, b.top}, v.border_color[0], opacity);
    FillRectangle(render_interface, {border_box.x, border_box.Bottom() - b.bottom, border_box.width, b.bottom},
                  v.border_color[2], opacity);
    FillRectangle(render_interface, {border_box.x, padding_box.y, b.left, padding_box.height}, v.border_color[3], opacity);
    FillRectangle(render_interface, {border_box.Right() - b.right, padding_box.y, b.right, padding_box.height},
                  v.border_color[1], opacity);
}

void PaintInput(RenderInterface& render_interface, ElementInput& input, Scissor& scissor) {
    const LayoutBox& box = input.GetBox();
    const ComputedValues& v = input.GetComputedValues();
    const Vector2f origin = input.GetAbsoluteOffset(BoxArea::Content);
    const Rectanglef content{origin.x, origin.y, box.content.x, box.content.y};
    const Rectanglef clip = box.clip.Intersect(content);
    if (clip.Empty()) return;
    scissor.Set(clip);
    const FontEngine::FontHandle font = FontEngine::GetFont(v);
    const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(v);
    const float scroll = input.UpdateTextScroll(content.width);
    const float top = content.y + (content.height - metrics.Height()) / 2;
    Context* context = input.GetContext();
    const bool focused = context && context->GetFocusElement() == &input;
    if (focused && input.GetSelectionStart() != input.GetSelectionEnd()) {
        // Under the text, so the selected characters stay readable.
        constexpr Colourb kSelection{60, 130, 230, 150};
        const float left = content.x + input.GetTextOffset(input.GetSelectionStart()) - scroll;
        const float right = content.x + input.GetTextOffset(input.GetSelectionEnd()) - scroll;
        FillRectangle(render_interface, {left, top, right - left, metrics.Height()}, kSelection, box.opacity);
    }
    FontEngine::RenderText(render_interface, font, input.GetDisplayText(), {content.x - scroll, top}, v.color, box.opacity,
                           clip);
    if (focused && input.IsCaretVisible(GetSystemInterface()->GetElapsedTime())) {
        const float x = std::round(content.x + input.GetCaretOffset() - scroll);
        FillRectangle(render_interface, {std::min(x, content.Right() - 1), top, 1, metrics.Height()}, v.color, box.opacity);
    }
    scissor.Set(box.clip);
}

bool Paints(const Element& element) {
    const LayoutBox& box = element.GetBox();
    return box.rendered && element.GetComputedValues().visibility == Style::Visibility::Visible && !box.clip.Empty() &&
           box.opacity > 0;
}

// A thin thumb along the right edge for content below or above the frame,
// and along the bottom edge for content beside it; painted over the content,
// inside the padding box as the content is.
void PaintScrollThumbs(RenderInterface& render_interface, const Element& element, Scissor& scissor) {
    if (!Paints(element)) return;
    constexpr Colourb kThumb{200, 200, 200, 140};
    const LayoutBox& box = element.GetBox();
    const Vector2f client = box.PaddingSize();
    const Vector2f origin{box.absolute.x + box.border.left, box.absolute.y + box.border.top};
    const Rectanglef clip = box.clip.Intersect({origin.x, origin.y, client.x, client.y});
    if (clip.Empty()) return;
    scissor.Set(clip);
    const auto thumb = [](float visible, float whole, float scrolled) {
        const float length = std::max(16.f, visible * visible / whole);
        return std::pair{(visible - length) * scrolled / (whole - visible), length};
    };
    if (box.scroll_size.y > client.y + 0.5f && client.y > 0) {
        const auto [y, length] = thumb(client.y, box.scroll_size.y, box.scroll.y);
        FillRectangle(render_interface, {origin.x + client.x - 5, origin.y + y, 4, length}, kThumb, box.opacity);
    }
    if (box.scroll_size.x > client.x + 0.5f && client.x > 0) {
        const auto [x, length] = thumb(client.x, box.scroll_size.x, box.scroll.x);
        FillRectangle(render_interface, {origin.x + x, origin.y + client.y - 5, length, 4}, kThumb, box.opacity);
    }
}

void PaintElement(RenderInterface& render_interface, Element& element, Scissor& scissor) {
    if (!Paints(element)) return;
    const LayoutBox& box = element.GetBox();
    const ComputedValues& v = element.GetComputedValues();
    scissor.Set(box.clip);
    if (dynamic_cast<ElementText*>(&element)) {
        const Element* parent = box.offset_parent ? box.offset_parent : element.GetParentNode();
        const Vector2f origin = parent->GetBox().absolute - parent->GetBox().scroll;
        for (const TextFragment& fragment : box.text) {
            FontEngine::RenderText(render_interface, fragment.font, fragment.text, origin + fragment.position, v.color,
                                   box.opacity, box.clip);
        }
        return;
    }
    if (!box.fragments.empty()) {
        const Element* parent = box.offset_parent;
        const Vector2f origin = parent ? parent->GetBox().absolute - parent->GetBox().scroll : Vector2f{};
        for (const Rectanglef& fragment : box.fragments) {
            PaintDecoration(render_interface, {origin.x + fragment.x, origin.y + fragment.y, fragment.width, fragment.height},
                            box, v, box.opacity);
        }
        return;
    }
    const Vector2f size = box.BorderSize();
    PaintDecoration(render_interface, {box.absolute.x, box.absolute.y, size.x, size.y}, box, v, box.opacity);
    if (auto* image = dynamic_cast<ElementImage*>(&element)) {
        if (const TextureHandle texture = image->GetTexture()) {
            const Vector2f origin = element.GetAbsoluteOffset(BoxArea::Content);
            DrawTexture(render_interface, texture, {origin.x, origin.y, box.content.x, box.content.y}, box.opacity);
        }
    } else if (auto* input = dynamic_cast<ElementInput*>(&element)) {
        PaintInput(render_interface, *input, scissor);
    }
}

}  // namespace

void FillRectangle(RenderInterface& render_interface, Rectanglef r, Colourb colour, float opacity) {
    if (r.Empty()) return;
    colour = WithOpacity(colour, opacity);
    if (colour.alpha == 0) return;
    RenderQuad(render_interface, r, colour, 0);
}

void DrawTexture(RenderInterface& render_interface, TextureHandle texture, const Rectanglef& r, float opacity) {
    RenderQuad(render_interface, r, WithOpacity({255, 255, 255, 255}, opacity), texture);
}

void OutlineRectangle(RenderInterface& render_interface, Rectanglef r, float t, Colourb colour) {
    FillRectangle(render_interface, {r.x, r.y, r.width, t}, colour);
    FillRectangle(render_interface, {r.x, r.Bottom() - t, r.width, t}, colour);
    FillRectangle(render_interface, {r.x, r.y + t, t, r.height - 2 * t}, colour);
    FillRectangle(render_interface, {r.Right() - t, r.y + t, t, r.height - 2 * t}, colour);
}

void RenderDocument(ElementDocument& document, RenderInterface& render_interface) {
    Scissor scissor(render_interface);
    for (const PaintStep& step : document.PaintOrder()) {
        if (step.thumbs) {
            PaintScrollThumbs(render_interface, *step.element, scissor);
        } else {
            PaintElement(render_interface, *step.element, scissor);
        }
    }
}

}  // namespace Rml
