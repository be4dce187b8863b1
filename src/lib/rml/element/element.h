#pragma once

#include <memory>
#include <vector>

#include "lib/rml/box/box.h"
#include "lib/rml/computed_style/computed_style.h"
#include "lib/rml/event/event.h"
#include "lib/rml/property/property.h"
#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

class Context;
class DataModel;
class DataView;
class Element;
class ElementDocument;
struct DataAliasScope;
struct RmlNode;

using ElementPtr = std::unique_ptr<Element>;

// Where ScrollIntoView puts an element within each scrolling ancestor; Nearest
// moves only as far as it takes to show it whole.
enum class ScrollAlignment { Start, Center, End, Nearest };
struct ScrollIntoViewOptions {
    ScrollAlignment vertical = ScrollAlignment::Start;
    ScrollAlignment horizontal = ScrollAlignment::Nearest;
};

// Toolkit bookkeeping of one element: its style, layout and bindings.
struct ElementState {
    ElementState();
    ~ElementState();
    ElementState(const ElementState&) = delete;
    ElementState& operator=(const ElementState&) = delete;

    ComputedValues computed;
    PropertyList inline_properties;  // from the "style" attribute
    PropertyList local_properties;   // SetProperty, data-style-*, data-if, data-visible
    bool style_dirty = true;         // this element and all below need their values recomputed
    bool child_style_dirty = true;   // some element below is style_dirty
    LayoutBox box;

    std::unique_ptr<DataAliasScope> alias_scope;  // iterator names of a data-for item
    std::vector<std::unique_ptr<DataView>> data_views;
    bool bindings_applied = false;
    std::shared_ptr<const RmlNode> for_template;  // set on a data-for placeholder
    int source_line = 0;
};

class Element {
public:
    explicit Element(const String& tag);
    virtual ~Element();
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Attributes. Every change is reported to OnAttributeChange.
    template <typename T>
    void SetAttribute(const String& name, const T& value) {
        SetAttributeVariant(name, Variant(value));
    }
    void SetAttribute(const String& name, const Variant& value) { SetAttributeVariant(name, value); }
    Variant* GetAttribute(const String& name);
    const Variant* GetAttribute(const String& name) const;
    template <typename T>
    T GetAttribute(const String& name, const T& default_value) const {
        const Variant* value = GetAttribute(name);
        return value ? value->Get<T>(default_value) : default_value;
    }
    bool HasAttribute(const String& name) const;
    void RemoveAttribute(const String& name);
    // Sets several attributes and reports them in one OnAttributeChange call.
    void SetAttributes(const ElementAttributes& attributes);
    const ElementAttributes& GetAttributes() const { return attributes_; }

    // Classes and pseudo-classes.
    void SetClass(const String& class_name, bool activate);
    bool IsClassSet(const String& class_name) const;
    void SetClassNames(const String& class_names);
    String GetClassNames() const;
    const StringList& GetClassList() const { return classes_; }
    void SetPseudoClass(const String& pseudo_class, bool activate);
    bool IsPseudoClassSet(const String& pseudo_class) const;
    const StringList& GetActivePseudoClasses() const { return pseudo_classes_; }

    const String& GetTagName() const { return tag_; }
    const String& GetId() const { return id_; }
    void SetId(const String& id) { SetAttribute("id", id); }

    // The tree.
    Element* GetParentNode() const { return parent_; }
    int GetNumChildren() const { return static_cast<int>(children_.size()); }
    Element* GetChild(int index) const;
    Element* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    Element* GetLastChild() const { return children_.empty() ? nullptr : children_.back().get(); }
    Element* GetNextSibling() const;
    Element* GetPreviousSibling() const;
    bool HasChildNodes() const { return !children_.empty(); }
    Element* AppendChild(ElementPtr element);
    Element* InsertBefore(ElementPtr element, Element* adjacent_element);
    ElementPtr RemoveChild(Element* element);
    ElementDocument* GetOwnerDocument() const { return owner_document_; }
    Context* GetContext() const { return context_; }
    Element* GetElementById(const String& id);
    // Replaces the children with those parsed from `rml` (through the factory).
    void SetInnerRML(const String& rml);

    // Events.
    void AddEventListener(const String& event, EventListener* listener, bool in_capture_phase = false);
    void RemoveEventListener(const String& event, EventListener* listener, bool in_capture_phase = false);
    // Sends an event through capture, target and bubble phases; false when a listener stopped it.
    bool DispatchEvent(const String& type, const Dictionary& parameters);
    void Focus();
    void Blur();
    void Click();

    // Style.
    bool SetProperty(const String& name, const String& value);
    void RemoveProperty(const String& name);
    const ComputedValues& GetComputedValues() const { return state_.computed; }
    // Displayed and not hidden (a document: shown).
    bool IsVisible() const;

    // Geometry from the latest layout.
    const LayoutBox& GetBox() const { return state_.box; }
    Vector2f GetAbsoluteOffset(BoxArea area = BoxArea::Border) const;
    float GetAbsoluteLeft() const { return GetAbsoluteOffset().x; }
    float GetAbsoluteTop() const { return GetAbsoluteOffset().y; }
    float GetOffsetWidth() const { return state_.box.BorderSize().x; }
    float GetOffsetHeight() const { return state_.box.BorderSize().y; }
    float GetClientWidth() const { return state_.box.PaddingSize().x; }
    float GetClientHeight() const { return state_.box.PaddingSize().y; }
    float GetScrollTop() const { return state_.box.scroll.y; }
    float GetScrollLeft() const { return state_.box.scroll.x; }
    void SetScrollTop(float value);
    void SetScrollLeft(float value);
    float GetScrollHeight() const;
    float GetScrollWidth() const;
    // Scrolls every scrolling ancestor to show this element, at the next
    // update, once the layout holds whatever the element is to become.
    void ScrollIntoView(ScrollIntoViewOptions options = {});

    // Toolkit internals: style, layout and binding state, lifetime token.
    ElementState& GetState() { return state_; }
    const ElementState& GetState() const { return state_; }
    std::weak_ptr<bool> GetLifetime() const { return alive_; }
    virtual bool IsFocusable() const { return false; }
    // Intrinsic size of replaced elements (images, inputs); false for others.
    virtual bool GetIntrinsicDimensions(Vector2f& dimensions);
    // The element's own behaviour after an event passed all listeners.
    virtual void ProcessDefaultAction(Event& event);
    // Sets already parsed declarations as SetProperty does.
    void SetLocalProperties(const PropertyList& properties);
    void DirtyStyle();
    void DirtyLayout();
    int GetDepth() const;
    // "document:line" of the markup the element was made from, for log lines.
    String GetSourceLocation() const;
    const std::vector<ElementPtr>& GetChildren() const { return children_; }

protected:
    // Called once at creation with every attribute, then on each change.
    virtual void OnAttributeChange(const ElementAttributes& changed_attributes);

private:
    void SetAttributeVariant(const String& name, const Variant& value);
    void AttachChild(Element* child);
    void SetOwnerRecursive(ElementDocument* document, Context* context);
    void ApplyInlineStyle(const String& style);
    void DirtyStyleForPseudoClass(const String& pseudo_class);
    void DestroyChildren();
    // Moves one scroll offset to `value`, kept within 0 and `overflow`.
    void SetScroll(float& offset, float value, float overflow);

    struct ListenerEntry {
        String type;
        EventListener* listener;
        bool capture;
    };

    String tag_;
    String id_;
    Element* parent_ = nullptr;
    ElementDocument* owner_document_ = nullptr;
    Context* context_ = nullptr;
    std::vector<ElementPtr> children_;
    ElementAttributes attributes_;
    StringList classes_;
    StringList pseudo_classes_;
    std::vector<ListenerEntry> listeners_;
    std::shared_ptr<bool> alive_;
    ElementState state_;

    friend class ElementDocument;
    friend void DispatchToListeners(Element& element, Event& event);
};

// True while the element that gave out `lifetime` (GetLifetime) is whole.
bool IsAlive(const std::weak_ptr<bool>& lifetime);

}  // namespace Rml
