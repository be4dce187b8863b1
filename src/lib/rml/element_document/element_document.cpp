#include "lib/rml/element_document/element_document.h"

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

}  // namespace Rml
