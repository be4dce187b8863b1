#include "lib/rml/element_document/element_document.h"

#include <algorithm>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/element_text/element_text.h"

namespace Rml {

namespace {

void CollectMatchingDeclarations(const Element& element, const StyleSheet& author,
                                 std::vector<const PropertyList*>& lists) {
    std::vector<const StyleRule*> rules;
    BaseStyleSheet().CollectMatches(element, rules);
    author.CollectMatches(element, rules);
    for (const StyleRule* rule : rules) lists.push_back(rule->properties.get());
}

void Restyle(Element& element, const ComputedValues* parent_values, bool force, const StyleSheet& author,
             bool& layout_changed) {
    ElementState& state = element.GetState();
    const bool recompute = force || state.style_dirty;
    if (recompute) {
        ComputedValues values;
        const auto report = [&](PropertyId id, const String& problem) {
            if (ElementDocument* document = element.GetOwnerDocument()) document->ReportStyleProblem(element, id, problem);
        };
        if (dynamic_cast<ElementText*>(&element)) {
            values = ComputeValues({}, parent_values, report);
        } else {
            std::vector<const PropertyList*> lists;
            CollectMatchingDeclarations(element, author, lists);
            lists.push_back(&state.inline_properties);
            lists.push_back(&state.local_properties);
            values = ComputeValues(lists, parent_values, report);
        }
        if (AffectsLayout(values, state.computed)) layout_changed = true;
        state.computed = std::move(values);
        state.style_dirty = false;
    }
    if (recompute || state.child_style_dirty) {
        for (const ElementPtr& child : element.GetChildren()) {
            Restyle(*child, &state.computed, recompute, author, layout_changed);
        }
    }
    state.child_style_dirty = false;
}

// How far a scroll offset moves so that [start, end) shows within the view.
float ScrollDelta(float start, float end, float view_start, float view_size, ScrollAlignment alignment) {
    const float view_end = view_start + view_size;
    switch (alignment) {
        case ScrollAlignment::Start: return start - view_start;
        case ScrollAlignment::End: return end - view_end;
        case ScrollAlignment::Center: return (start + end - view_start - view_end) / 2;
        case ScrollAlignment::Nearest: break;
    }
    if (start < view_start) return start - view_start;
    // Taller than the view: its start shows.
    if (end > view_end) return std::min(end - view_end, start - view_start);
    return 0;
}

void ScrollWithinAncestors(Element& element, ScrollIntoViewOptions options) {
    if (!element.GetBox().rendered) return;
    Vector2f start = element.GetBox().absolute;
    Vector2f end = start + element.GetBox().BorderSize();
    for (Element* ancestor = element.GetParentNode(); ancestor; ancestor = ancestor->GetParentNode()) {
        if (ancestor->GetComputedValues().overflow == Style::Overflow::Visible) continue;
        const LayoutBox& box = ancestor->GetBox();
        const Vector2f view = box.absolute + Vector2f{box.border.left, box.border.top};
        const Vector2f size = box.PaddingSize();
        const Vector2f before{ancestor->GetScrollLeft(), ancestor->GetScrollTop()};
        ancestor->SetScrollLeft(before.x + ScrollDelta(start.x, end.x, view.x, size.x, options.horizontal));
        ancestor->SetScrollTop(before.y + ScrollDelta(start.y, end.y, view.y, size.y, options.vertical));
        const Vector2f moved = Vector2f{ancestor->GetScrollLeft(), ancestor->GetScrollTop()} - before;
        start = start - moved;
        end = end - moved;
    }
}

}  // namespace

ElementDocument::ElementDocument(const String& tag) : Element(tag), style_sheet_(std::make_shared<StyleSheet>()) {
    owner_document_ = this;
}

ElementDocument::~ElementDocument() {
    // Children are torn down while the document is still a whole document.
    DestroyChildren();
}

void ElementDocument::AttachToContext(Context* context) { SetOwnerRecursive(this, context); }

void ElementDocument::AddStyleSheet(const StyleSheet& sheet) {
    style_sheet_->Append(sheet);
    DirtyStyle();
}

void ElementDocument::Show(ModalFlag modal_flag, FocusFlag focus_flag, ScrollFlag) {
    if (modal_flag == ModalFlag::Modal) {
        SPDLOG_WARN("{}: modal documents are not supported; shown as a normal document", source_url_);
    }
    const bool was_shown = shown_;
    shown_ = true;
    layout_dirty_ = true;
    if (!context_) return;
    context_->PullDocumentToFront(this);
    if (focus_flag == FocusFlag::Document || focus_flag == FocusFlag::Auto) {
        Element* focus = context_->GetFocusElement();
        if (!focus || focus->GetOwnerDocument() != this) context_->SetFocusElement(this);
    }
    if (!was_shown) DispatchEvent("show", {});
}

void ElementDocument::Hide() {
    if (!shown_) return;
    shown_ = false;
    if (context_) context_->OnDocumentHidden(this);
    DispatchEvent("hide", {});
}

void ElementDocument::Close() {
    if (context_) context_->UnloadDocument(this);
}

void ElementDocument::ReportStyleProblem(const Element& element, PropertyId id, const String& problem) {
    const auto index = static_cast<std::size_t>(id);
    if (reported_style_problems_.test(index)) return;
    reported_style_problems_.set(index);
    SPDLOG_WARN("{}: <{}>: {}", element.GetSourceLocation(), element.GetTagName(), problem);
}

void ElementDocument::UpdateStyle() {
    if (!GetState().style_dirty && !GetState().child_style_dirty) return;
    bool layout_changed = false;
    Restyle(*this, nullptr, false, *style_sheet_, layout_changed);
    if (layout_changed) layout_dirty_ = true;
}

void ElementDocument::RequestScrollIntoView(Element& element, ScrollIntoViewOptions options) {
    scroll_requests_.push_back({element.GetLifetime(), &element, options});
}

bool ElementDocument::ScrollRequestedIntoView() {
    if (scroll_requests_.empty()) return false;
    const std::vector<ScrollRequest> requests = std::move(scroll_requests_);
    scroll_requests_.clear();
    for (const ScrollRequest& request : requests) {
        if (IsAlive(request.lifetime)) ScrollWithinAncestors(*request.element, request.options);
    }
    return true;
}

}  // namespace Rml
