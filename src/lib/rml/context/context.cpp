#include "lib/rml/context/context.h"

#include <algorithm>

#include <spdlog/spdlog.h>

#include "lib/rml/core/core.h"
#include "lib/rml/debugger/debugger.h"
#include "lib/rml/document_loader/document_loader.h"
#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_text/element_text.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/layout/layout.h"
#include "lib/rml/painter/painter.h"
#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/system_interface/system_interface.h"

namespace Rml {

namespace {

bool IsInside(const Element* element, const Element* ancestor, bool include_self) {
    for (const Element* e = include_self ? element : element->GetParentNode(); e; e = e->GetParentNode()) {
        if (e == ancestor) return true;
    }
    return false;
}

bool HitTest(const Element& element, Vector2f point) {
    const LayoutBox& box = element.GetBox();
    if (!box.rendered || element.GetComputedValues().visibility != Style::Visibility::Visible) return false;
    if (!box.clip.Contains(point)) return false;
    const Element* parent = box.offset_parent;
    if (!box.fragments.empty() || !box.text.empty()) {
        const LayoutBox& origin_box = parent ? parent->GetBox() : box;
        const Vector2f origin = origin_box.absolute - origin_box.scroll;
        for (const Rectanglef& fragment : box.fragments) {
            if (Rectanglef{origin.x + fragment.x, origin.y + fragment.y, fragment.width, fragment.height}.Contains(point)) {
                return true;
            }
        }
        for (const TextFragment& text : box.text) {
            if (Rectanglef{origin.x + text.position.x, origin.y + text.position.y, text.width, text.height}.Contains(point)) {
                return true;
            }
        }
        return false;
    }
    const Vector2f size = box.BorderSize();
    return Rectanglef{box.absolute.x, box.absolute.y, size.x, size.y}.Contains(point);
}

Element* CommonAncestor(Element* a, Element* b) {
    for (Element* x = a; x; x = x->GetParentNode()) {
        if (IsInside(b, x, true)) return x;
    }
    return nullptr;
}

Dictionary ModifierParameters(int modifiers) {
    return {{"ctrl_key", Variant((modifiers & Input::KM_CTRL) != 0)},
            {"shift_key", Variant((modifiers & Input::KM_SHIFT) != 0)},
            {"alt_key", Variant((modifiers & Input::KM_ALT) != 0)},
            {"meta_key", Variant((modifiers & Input::KM_META) != 0)}};
}

Dictionary KeyParameters(Input::KeyIdentifier key, int modifiers) {
    Dictionary parameters = ModifierParameters(modifiers);
    parameters["key_identifier"] = Variant(static_cast<int>(key));
    return parameters;
}

}  // namespace

Context::Context(const String& name, Vector2i dimensions) : name_(name), dimensions_(dimensions) {}

Context::~Context() {
    Debugger::OnContextDestroyed(this);
    // Documents go before the models their views are registered with.
    unloaded_.clear();
    while (!documents_.empty()) documents_.pop_back();
    data_models_.clear();
}

void Context::SetDimensions(Vector2i dimensions) {
    if (dimensions == dimensions_) return;
    dimensions_ = dimensions;
    for (const auto& document : documents_) document->DirtyDocumentLayout();
}

ElementDocument* Context::LoadDocument(const String& document_path) {
    std::unique_ptr<ElementDocument> document;
    try {
        document = LoadDocumentFile(*this, document_path);
    } catch (const std::exception& error) {
        SPDLOG_ERROR("{}: loading failed: {}", document_path, error.what());
        return nullptr;
    }
    if (!document) return nullptr;
    documents_.insert(documents_.begin(), std::move(document));
    ElementDocument* loaded = documents_.front().get();
    loaded->DispatchEvent("load", {});
    return loaded;
}

void Context::UnloadDocument(ElementDocument* document) {
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](const auto& held) { return held.get() == document; });
    if (it == documents_.end()) return;
    document->Hide();
    OnElementDetached(document);
    // Destroyed on the next update: a listener of the document may be running.
    unloaded_.push_back(std::move(*it));
    documents_.erase(it);
}

void Context::UnloadAllDocuments() {
    while (!documents_.empty()) UnloadDocument(documents_.back().get());
}

ElementDocument* Context::GetDocument(int index) const {
    if (index < 0 || index >= GetNumDocuments()) return nullptr;
    return documents_[static_cast<std::size_t>(index)].get();
}

DataModelConstructor Context::CreateDataModel(const String& name) {
    if (data_models_.contains(name)) {
        SPDLOG_ERROR("Context '{}': a data model named '{}' already exists", name_, name);
        return DataModelConstructor();
    }
    auto model = std::make_unique<DataModel>(name);
    DataModel* raw = model.get();
    data_models_.emplace(name, std::move(model));
    return DataModelConstructor(raw);
}

DataModel* Context::FindDataModel(const String& name) const {
    const auto it = data_models_.find(name);
    return it == data_models_.end() ? nullptr : it->second.get();
}

// Update and render ----------------------------------------------------------

bool Context::Update() {
    try {
        unloaded_.clear();
        for (const auto& [name, model] : data_models_) model->Update();
        UpdateLayout();
        if (hover_dirty_ && mouse_inside_) {
            hover_dirty_ = false;
            UpdateHover(0, false);
            UpdateLayout();
        }
    } catch (const std::exception& error) {
        SPDLOG_ERROR("Context '{}': update failed: {}", name_, error.what());
    } catch (...) {
        SPDLOG_ERROR("Context '{}': update failed", name_);
    }
    return true;
}

void Context::UpdateLayout() {
    const Vector2f viewport{static_cast<float>(dimensions_.x), static_cast<float>(dimensions_.y)};
    for (const auto& document : documents_) {
        document->UpdateStyle();
        if (!document->IsShown()) continue;
        if (document->IsLayoutDirty()) {
            document->ClearLayoutDirty();
            LayoutDocument(*document, viewport);
            document->DirtyPositions();
            hover_dirty_ = true;
        }
        // A request to scroll an element into view needs its current position, and moves it.
        for (int pass = 0; pass < 2; ++pass) {
            if (document->ArePositionsDirty()) {
                document->ClearPositionsDirty();
                UpdatePositions(*document, viewport);
                hover_dirty_ = true;
            }
            if (!document->ScrollRequestedIntoView()) break;
        }
    }
}

bool Context::Render() {
    RenderInterface* render_interface = GetRenderInterface();
    if (!render_interface) return false;
    try {
        FontEngine::BeginFrame();
        render_interface->BeginFrame();
        for (const auto& document : documents_) {
            if (document->IsShown() && document->GetBox().rendered) RenderDocument(*document, *render_interface);
        }
        Debugger::RenderOverlay(*this, *render_interface);
        render_interface->EnableScissorRegion(false);
        render_interface->EndFrame();
    } catch (const std::exception& error) {
        SPDLOG_ERROR("Context '{}': render failed: {}", name_, error.what());
        return false;
    } catch (...) {
        SPDLOG_ERROR("Context '{}': render failed", name_);
        return false;
    }
    return true;
}

// Hit testing and hover -------------------------------------------------------------

Element* Context::GetElementAtPoint(Vector2f point) const {
    for (auto doc = documents_.rbegin(); doc != documents_.rend(); ++doc) {
        ElementDocument& document = **doc;
        if (!document.IsShown() || !document.GetBox().rendered) continue;
        const auto& order = document.PaintOrder();
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            if (it->thumbs || !HitTest(*it->element, point)) continue;
            Element* hit = it->element;
            // Text is no event target; its element is.
            if (dynamic_cast<ElementText*>(hit)) hit = hit->GetParentNode();
            return hit;
        }
    }
    return nullptr;
}

void Context::SetChainPseudoClass(std::vector<Element*>& chain, Element* leaf, const String& pseudo_class) {
    std::vector<Element*> next;
    for (Element* e = leaf; e; e = e->GetParentNode()) next.push_back(e);
    for (Element* old : chain) {
        if (std::find(next.begin(), next.end(), old) == next.end()) old->SetPseudoClass(pseudo_class, false);
    }
    for (Element* now : next) now->SetPseudoClass(pseudo_class, true);
    chain = std::move(next);
}

Dictionary Context::MouseParameters(int button, int key_modifier_state) const {
    Dictionary parameters = ModifierParameters(key_modifier_state);
    parameters["mouse_x"] = Variant(mouse_.x);
    parameters["mouse_y"] = Variant(mouse_.y);
    if (button >= 0) parameters["button"] = Variant(button);
    return parameters;
}

void Context::UpdateHover(int key_modifier_state, bool dispatch_move) {
    Element* target = mouse_inside_ ? GetElementAtPoint({static_cast<float>(mouse_.x), static_cast<float>(mouse_.y)})
                                    : nullptr;
    if (target != hover_) {
        Element* previous = hover_;
        hover_ = target;
        SetChainPseudoClass(hover_chain_, target, "hover");
        if (previous) previous->DispatchEvent("mouseout", MouseParameters(-1, key_modifier_state));
        if (hover_ && hover_ == target) target->DispatchEvent("mouseover", MouseParameters(-1, key_modifier_state));
    }
    const String cursor = hover_ ? hover_->GetComputedValues().cursor : String();
    if (cursor != cursor_) {
        cursor_ = cursor;
        GetSystemInterface()->SetMouseCursor(cursor);
    }
    if (dispatch_move && hover_) hover_->DispatchEvent("mousemove", MouseParameters(-1, key_modifier_state));
}

// Input ------------------------------------------------------------------------------

bool Context::ProcessMouseMove(int x, int y, int key_modifier_state) {
    mouse_ = {x, y};
    mouse_inside_ = true;
    UpdateHover(key_modifier_state, true);
    return hover_ == nullptr;
}

bool Context::ProcessMouseButtonDown(int button_index, int key_modifier_state, int click_count) {
    Element* target = hover_;
    if (button_index == 0) {
        active_ = target;
        SetChainPseudoClass(active_chain_, target, "active");
        Element* focusable = target;
        while (focusable && !focusable->IsFocusable()) focusable = focusable->GetParentNode();
        // Clicking beside a field ends typing in it.
        SetFocusElement(focusable ? focusable : (target ? target->GetOwnerDocument() : nullptr));
    }
    if (target && target == hover_) {
        const std::weak_ptr<bool> alive = target->GetLifetime();
        target->DispatchEvent("mousedown", MouseParameters(button_index, key_modifier_state));
        if (button_index == 0 && click_count == 2 && IsAlive(alive)) {
            target->DispatchEvent("dblclick", MouseParameters(button_index, key_modifier_state));
        }
    }
    return target == nullptr;
}

bool Context::ProcessMouseButtonUp(int button_index, int key_modifier_state) {
    Element* target = hover_;
    if (target) target->DispatchEvent("mouseup", MouseParameters(button_index, key_modifier_state));
    if (button_index == 0) {
        Element* pressed = active_;
        active_ = nullptr;
        SetChainPseudoClass(active_chain_, nullptr, "active");
        if (pressed && hover_) {
            if (Element* clicked = CommonAncestor(pressed, hover_)) {
                clicked->DispatchEvent("click", MouseParameters(button_index, key_modifier_state));
            }
        }
    }
    return target == nullptr;
}

bool Context::ProcessMouseWheel(float wheel_delta, int key_modifier_state) {
    return ProcessMouseWheel(Vector2f{0, wheel_delta}, key_modifier_state);
}

bool Context::ProcessMouseWheel(Vector2f wheel_delta, int key_modifier_state) {
    Element* target = hover_;
    if (!target) return true;
    Dictionary parameters = MouseParameters(-1, key_modifier_state);
    parameters["wheel_delta_x"] = Variant(wheel_delta.x);
    parameters["wheel_delta_y"] = Variant(wheel_delta.y);
    const std::weak_ptr<bool> alive = target->GetLifetime();
    const bool propagate = target->DispatchEvent("mousescroll", parameters);
    // With Shift held a plain wheel scrolls sideways, so a box wider than its
    // frame can be seen whole without a sideways wheel.
    const bool sideways = (key_modifier_state & Input::KM_SHIFT) != 0 && wheel_delta.x == 0;
    if (sideways) wheel_delta = {wheel_delta.y, 0};
    if (propagate && IsAlive(alive)) ScrollFrom(target, wheel_delta);
    return false;
}

void Context::ScrollFrom(Element* element, Vector2f delta) {
    for (Element* e = element; e; e = e->GetParentNode()) {
        const ComputedValues& values = e->GetComputedValues();
        if (values.overflow != Style::Overflow::Auto) continue;
        const float step = 3 * values.line_height;
        const float before_y = e->GetScrollTop();
        const float before_x = e->GetScrollLeft();
        e->SetScrollTop(before_y + delta.y * step);
        e->SetScrollLeft(before_x + delta.x * step);
        if (e->GetScrollTop() != before_y || e->GetScrollLeft() != before_x) return;
    }
}

bool Context::ProcessMouseLeave() {
    mouse_inside_ = false;
    UpdateHover(0, false);
    return true;
}

bool Context::ProcessKeyDown(Input::KeyIdentifier key_identifier, int key_modifier_state) {
    return DispatchKey("keydown", key_identifier, key_modifier_state);
}

bool Context::ProcessKeyUp(Input::KeyIdentifier key_identifier, int key_modifier_state) {
    return DispatchKey("keyup", key_identifier, key_modifier_state);
}

bool Context::DispatchKey(const String& type, Input::KeyIdentifier key_identifier, int key_modifier_state) {
    Element* target = focus_;
    if (!target) return true;
    // A text field uses every key while it has the focus.
    const bool typing = target->IsFocusable();
    const bool propagate = target->DispatchEvent(type, KeyParameters(key_identifier, key_modifier_state));
    return propagate && !typing;
}

bool Context::ProcessTextInput(const String& text) {
    Element* target = focus_;
    if (!target) return true;
    const bool typing = target->IsFocusable();
    target->DispatchEvent("textinput", {{"text", Variant(text)}});
    return !typing;
}

// Focus and tree changes ----------------------------------------------------------

void Context::SetFocusElement(Element* element) {
    if (element == focus_) return;
    Element* previous = focus_;
    focus_ = element;
    if (previous) {
        previous->SetPseudoClass("focus", false);
        previous->DispatchEvent("blur", {});
    }
    if (element && focus_ == element) {
        element->SetPseudoClass("focus", true);
        element->DispatchEvent("focus", {});
    }
}

void Context::OnElementDetached(Element* element, bool include_self) {
    if (!hover_ && !active_ && !focus_ && hover_chain_.empty() && active_chain_.empty()) return;
    const auto inside = [&](Element* e) { return e && IsInside(e, element, include_self); };
    if (inside(focus_)) {
        const bool was_typing = focus_->IsFocusable();
        focus_ = nullptr;
        if (was_typing) GetSystemInterface()->DeactivateKeyboard();
    }
    if (inside(active_)) active_ = nullptr;
    if (inside(hover_)) {
        hover_ = nullptr;
        hover_dirty_ = true;
    }
    std::erase_if(hover_chain_, inside);
    std::erase_if(active_chain_, inside);
}

void Context::PullDocumentToFront(ElementDocument* document) {
    const auto it = std::find_if(documents_.begin(), documents_.end(),
                                 [&](const auto& held) { return held.get() == document; });
    if (it == documents_.end() || it + 1 == documents_.end()) return;
    std::unique_ptr<ElementDocument> held = std::move(*it);
    documents_.erase(it);
    documents_.push_back(std::move(held));
    hover_dirty_ = true;
}

void Context::OnDocumentHidden(ElementDocument* document) {
    if (focus_ && focus_->GetOwnerDocument() == document) SetFocusElement(nullptr);
    if (hover_ && hover_->GetOwnerDocument() == document) {
        hover_ = nullptr;
        SetChainPseudoClass(hover_chain_, nullptr, "hover");
    }
    if (active_ && active_->GetOwnerDocument() == document) {
        active_ = nullptr;
        SetChainPseudoClass(active_chain_, nullptr, "active");
    }
    hover_dirty_ = true;
}

}  // namespace Rml
