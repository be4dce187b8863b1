#include "lib/rml/element/element.h"

#include <algorithm>
#include <exception>

#include <spdlog/spdlog.h>

#include "lib/rml/context/context.h"
#include "lib/rml/data_expression/data_expression.h"
#include "lib/rml/data_view/data_view.h"
#include "lib/rml/document_loader/document_loader.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml {

namespace {

bool Contains(const StringList& list, const String& name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// Adds or removes `name`; true when the list changed.
bool Toggle(StringList& list, const String& name, bool present) {
    const auto it = std::find(list.begin(), list.end(), name);
    if (present == (it != list.end())) return false;
    if (present) {
        list.push_back(name);
    } else {
        list.erase(it);
    }
    return true;
}

}  // namespace

bool IsAlive(const std::weak_ptr<bool>& lifetime) {
    const auto locked = lifetime.lock();
    return locked && *locked;
}

ElementState::ElementState() = default;
ElementState::~ElementState() = default;

Element::Element(const String& tag) : tag_(tag), alive_(std::make_shared<bool>(true)) {}

Element::~Element() {
    DestroyChildren();
    if (owner_document_ && owner_document_ != this) owner_document_->InvalidatePaintOrder();
    if (context_) context_->OnElementDetached(this);
    // Views unregister from their model while the element is still whole.
    state_.data_views.clear();
    const std::vector<ListenerEntry> listeners = std::move(listeners_);
    for (const ListenerEntry& entry : listeners) entry.listener->OnDetach(this);
    *alive_ = false;
}

void Element::DestroyChildren() {
    // Children go first, last to first, while their parent is still whole.
    while (!children_.empty()) {
        ElementPtr child = std::move(children_.back());
        children_.pop_back();
        child.reset();
    }
}

// Attributes ---------------------------------------------------------------

Variant* Element::GetAttribute(const String& name) {
    const auto it = attributes_.find(name);
    return it == attributes_.end() ? nullptr : &it->second;
}

const Variant* Element::GetAttribute(const String& name) const {
    const auto it = attributes_.find(name);
    return it == attributes_.end() ? nullptr : &it->second;
}

bool Element::HasAttribute(const String& name) const { return attributes_.contains(name); }

void Element::SetAttributeVariant(const String& name, const Variant& value) {
    attributes_[name] = value;
    OnAttributeChange(ElementAttributes{{name, value}});
}

void Element::RemoveAttribute(const String& name) {
    if (attributes_.erase(name) == 0) return;
    OnAttributeChange(ElementAttributes{{name, Variant()}});
}

void Element::SetAttributes(const ElementAttributes& attributes) {
    for (const auto& [name, value] : attributes) attributes_[name] = value;
    OnAttributeChange(attributes);
}

void Element::OnAttributeChange(const ElementAttributes& changed_attributes) {
    if (auto it = changed_attributes.find("id"); it != changed_attributes.end()) {
        id_ = it->second.Get<String>();
        DirtyStyle();
    }
    if (auto it = changed_attributes.find("class"); it != changed_attributes.end()) {
        SetClassNames(it->second.Get<String>());
    }
    if (auto it = changed_attributes.find("style"); it != changed_attributes.end()) {
        ApplyInlineStyle(it->second.Get<String>());
    }
}

void Element::ApplyInlineStyle(const String& style) {
    state_.inline_properties.clear();
    ParseDeclarationBlock(style, state_.inline_properties, [&](const String& problem) {
        SPDLOG_WARN("{}: style of <{}>: {}", GetSourceLocation(), tag_, problem);
    });
    DirtyStyle();
}

// Classes ------------------------------------------------------------------

void Element::SetClass(const String& class_name, bool activate) {
    if (Toggle(classes_, class_name, activate)) DirtyStyle();
}

bool Element::IsClassSet(const String& class_name) const { return Contains(classes_, class_name); }

void Element::SetClassNames(const String& class_names) {
    StringList names;
    for (String& name : StringUtilities::SplitWhitespace(class_names)) {
        if (!Contains(names, name)) names.push_back(std::move(name));
    }
    if (names == classes_) return;
    classes_ = std::move(names);
    DirtyStyle();
}

String Element::GetClassNames() const {
    String out;
    for (const String& name : classes_) {
        if (!out.empty()) out += ' ';
        out += name;
    }
    return out;
}

void Element::SetPseudoClass(const String& pseudo_class, bool activate) {
    if (Toggle(pseudo_classes_, pseudo_class, activate)) DirtyStyleForPseudoClass(pseudo_class);
}

bool Element::IsPseudoClassSet(const String& pseudo_class) const { return Contains(pseudo_classes_, pseudo_class); }

void Element::DirtyStyleForPseudoClass(const String& pseudo_class) {
    // Hover changes on every mouse move; restyle only when some rule asks for it.
    if (owner_document_ && !owner_document_->UsesPseudoClass(pseudo_class)) return;
    DirtyStyle();
}

// Tree ---------------------------------------------------------------------

Element* Element::GetChild(int index) const {
    if (index < 0 || index >= GetNumChildren()) return nullptr;
    return children_[static_cast<std::size_t>(index)].get();
}

Element* Element::GetNextSibling() const {
    if (!parent_) return nullptr;
    const auto& siblings = parent_->children_;
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i) {
        if (siblings[i].get() == this) return siblings[i + 1].get();
    }
    return nullptr;
}

Element* Element::GetPreviousSibling() const {
    if (!parent_) return nullptr;
    const auto& siblings = parent_->children_;
    for (std::size_t i = 1; i < siblings.size(); ++i) {
        if (siblings[i].get() == this) return siblings[i - 1].get();
    }
    return nullptr;
}

Element* Element::AppendChild(ElementPtr element) {
    if (!element) return nullptr;
    Element* child = element.get();
    children_.push_back(std::move(element));
    AttachChild(child);
    return child;
}

Element* Element::InsertBefore(ElementPtr element, Element* adjacent_element) {
    if (!element) return nullptr;
    const auto it = std::find_if(children_.begin(), children_.end(),
                                 [&](const ElementPtr& child) { return child.get() == adjacent_element; });
    Element* child = element.get();
    children_.insert(it, std::move(element));
    AttachChild(child);
    return child;
}

void Element::AttachChild(Element* child) {
    child->parent_ = this;
    child->SetOwnerRecursive(owner_document_, context_);
    child->DirtyStyle();
    DirtyLayout();
    if (owner_document_) BindDataSubtree(*child);
}

ElementPtr Element::RemoveChild(Element* element) {
    const auto it = std::find_if(children_.begin(), children_.end(),
                                 [&](const ElementPtr& child) { return child.get() == element; });
    if (it == children_.end()) return nullptr;
    ElementPtr removed = std::move(*it);
    children_.erase(it);
    if (context_) context_->OnElementDetached(removed.get());
    if (owner_document_) owner_document_->InvalidatePaintOrder();
    removed->parent_ = nullptr;
    removed->SetOwnerRecursive(nullptr, nullptr);
    DirtyLayout();
    return removed;
}

void Element::SetOwnerRecursive(ElementDocument* document, Context* context) {
    owner_document_ = document;
    context_ = context;
    for (const ElementPtr& child : children_) child->SetOwnerRecursive(document, context);
}

Element* Element::GetElementById(const String& id) {
    if (id_ == id) return this;
    for (const ElementPtr& child : children_) {
        if (Element* found = child->GetElementById(id)) return found;
    }
    return nullptr;
}

void Element::SetInnerRML(const String& rml) {
    if (context_) context_->OnElementDetached(this, /*include_self=*/false);
    DestroyChildren();
    DirtyLayout();
    ParseInnerRML(*this, rml, state_.source_line);
}

int Element::GetDepth() const {
    int depth = 0;
    for (const Element* e = parent_; e; e = e->parent_) ++depth;
    return depth;
}

String Element::GetSourceLocation() const {
    const String document = owner_document_ ? owner_document_->GetSourceURL() : String("<element>");
    return document + ":" + std::to_string(state_.source_line);
}

// Events -------------------------------------------------------------------

void Element::AddEventListener(const String& event, EventListener* listener, bool in_capture_phase) {
    if (!listener) return;
    listeners_.push_back({event, listener, in_capture_phase});
    listener->OnAttach(this);
}

void Element::RemoveEventListener(const String& event, EventListener* listener, bool in_capture_phase) {
    const auto it = std::find_if(listeners_.begin(), listeners_.end(), [&](const ListenerEntry& entry) {
        return entry.listener == listener && entry.type == event && entry.capture == in_capture_phase;
    });
    if (it == listeners_.end()) return;
    listeners_.erase(it);
    listener->OnDetach(this);
}

void DispatchToListeners(Element& element, Event& event) {
    const EventPhase phase = event.GetPhase();
    std::vector<Element::ListenerEntry> matching;
    for (const Element::ListenerEntry& entry : element.listeners_) {
        if (entry.type != event.GetType()) continue;
        if (phase == EventPhase::Capture && !entry.capture) continue;
        if (phase == EventPhase::Bubble && entry.capture) continue;
        matching.push_back(entry);
    }
    const std::weak_ptr<bool> alive = element.alive_;
    event.SetCurrentElement(&element);
    for (const Element::ListenerEntry& entry : matching) {
        if (!IsAlive(alive)) return;
        // A listener removed by an earlier one in this round is not called.
        const bool still_registered =
            std::any_of(element.listeners_.begin(), element.listeners_.end(), [&](const Element::ListenerEntry& e) {
                return e.listener == entry.listener && e.type == entry.type && e.capture == entry.capture;
            });
        if (!still_registered) continue;
        try {
            entry.listener->ProcessEvent(event);
        } catch (const std::exception& error) {
            SPDLOG_ERROR("Listener for '{}' on <{}> failed: {}", event.GetType(), element.GetTagName(), error.what());
        } catch (...) {
            SPDLOG_ERROR("Listener for '{}' on <{}> failed", event.GetType(), element.GetTagName());
        }
        if (!event.IsImmediatePropagating()) return;
    }
}

bool Element::DispatchEvent(const String& type, const Dictionary& parameters) {
    Event event(this, type, parameters);
    std::vector<std::pair<Element*, std::weak_ptr<bool>>> path;
    for (Element* e = parent_; e; e = e->parent_) path.emplace_back(e, e->alive_);
    std::reverse(path.begin(), path.end());
    const std::weak_ptr<bool> self = alive_;

    event.SetPhase(EventPhase::Capture);
    for (auto& [element, token] : path) {
        if (!event.IsPropagating()) break;
        if (IsAlive(token)) DispatchToListeners(*element, event);
    }
    if (event.IsPropagating() && IsAlive(self)) {
        event.SetPhase(EventPhase::Target);
        DispatchToListeners(*this, event);
    }
    if (EventBubbles(type)) {
        event.SetPhase(EventPhase::Bubble);
        for (auto it = path.rbegin(); it != path.rend() && event.IsPropagating(); ++it) {
            if (IsAlive(it->second)) DispatchToListeners(*it->first, event);
        }
    }
    if (IsAlive(self)) {
        event.SetPhase(EventPhase::Target);
        event.SetCurrentElement(this);
        try {
            ProcessDefaultAction(event);
        } catch (const std::exception& error) {
            SPDLOG_ERROR("Default action for '{}' on <{}> failed: {}", type, tag_, error.what());
        }
    }
    return event.IsPropagating();
}

void Element::ProcessDefaultAction(Event&) {}

void Element::Focus() {
    if (context_) context_->SetFocusElement(this);
}

void Element::Blur() {
    if (context_ && context_->GetFocusElement() == this) context_->SetFocusElement(owner_document_);
}

void Element::Click() { DispatchEvent("click", {}); }

// Style --------------------------------------------------------------------

bool Element::SetProperty(const String& name, const String& value) {
    PropertyList parsed;
    if (auto problem = ParseDeclaration(name, value, parsed)) {
        SPDLOG_WARN("{}: <{}>: {}", GetSourceLocation(), tag_, *problem);
        return false;
    }
    SetLocalProperties(parsed);
    return true;
}

void Element::SetLocalProperties(const PropertyList& properties) {
    MergeDeclarations(state_.local_properties, properties);
    DirtyStyle();
}

void Element::RemoveProperty(const String& name) {
    PropertyList parsed;
    // Parse a neutral value to learn which properties a shorthand covers.
    if (const auto id = PropertyIdByName(name)) {
        RemoveDeclaration(state_.local_properties, *id);
    } else if (!ParseDeclaration(name, "0", parsed)) {
        for (const PropertyDeclaration& declaration : parsed) RemoveDeclaration(state_.local_properties, declaration.id);
    }
    DirtyStyle();
}

bool Element::IsVisible() const {
    if (owner_document_ == this && !static_cast<const ElementDocument*>(this)->IsShown()) return false;
    return state_.computed.display != Style::Display::None &&
           state_.computed.visibility == Style::Visibility::Visible;
}

void Element::DirtyStyle() {
    state_.style_dirty = true;
    for (Element* e = parent_; e && !e->state_.child_style_dirty; e = e->parent_) e->state_.child_style_dirty = true;
    if (owner_document_) owner_document_->GetState().child_style_dirty = true;
}

void Element::DirtyLayout() {
    if (owner_document_) owner_document_->DirtyDocumentLayout();
}

bool Element::GetIntrinsicDimensions(Vector2f&) { return false; }

// Geometry -----------------------------------------------------------------

Vector2f Element::GetAbsoluteOffset(BoxArea area) const {
    const LayoutBox& box = state_.box;
    Vector2f offset = box.absolute;
    switch (area) {
        case BoxArea::Margin: offset -= Vector2f{box.margin.left, box.margin.top}; break;
        case BoxArea::Border: break;
        case BoxArea::Padding: offset += Vector2f{box.border.left, box.border.top}; break;
        case BoxArea::Content:
            offset += Vector2f{box.border.left + box.padding.left, box.border.top + box.padding.top};
            break;
    }
    return offset;
}

float Element::GetScrollHeight() const { return std::max(state_.box.scroll_size.y, GetClientHeight()); }
float Element::GetScrollWidth() const { return std::max(state_.box.scroll_size.x, GetClientWidth()); }

void Element::SetScrollTop(float value) {
    SetScroll(state_.box.scroll.y, value, GetScrollHeight() - GetClientHeight());
}

void Element::SetScrollLeft(float value) {
    SetScroll(state_.box.scroll.x, value, GetScrollWidth() - GetClientWidth());
}

void Element::ScrollIntoView(ScrollIntoViewOptions options) {
    if (owner_document_) owner_document_->RequestScrollIntoView(*this, options);
}

void Element::SetScroll(float& offset, float value, float overflow) {
    const float clamped = std::clamp(value, 0.f, std::max(0.f, overflow));
    if (clamped == offset) return;
    offset = clamped;
    if (owner_document_) owner_document_->DirtyPositions();
    DispatchEvent("scroll", {});
}

}  // namespace Rml
