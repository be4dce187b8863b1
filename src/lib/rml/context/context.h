#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "lib/rml/data_model/data_model.h"
#include "lib/rml/input/input.h"
#include "lib/rml/types/types.h"

namespace Rml {

class Element;
class ElementDocument;

// One user interface surface: its documents, data models, focus and pointer state.
class Context {
public:
    Context(const String& name, Vector2i dimensions);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    const String& GetName() const { return name_; }
    void SetDimensions(Vector2i dimensions);
    Vector2i GetDimensions() const { return dimensions_; }

    // Loads a document (hidden until shown); null when the file cannot be read.
    ElementDocument* LoadDocument(const String& document_path);
    void UnloadDocument(ElementDocument* document);
    void UnloadAllDocuments();
    int GetNumDocuments() const { return static_cast<int>(documents_.size()); }
    ElementDocument* GetDocument(int index) const;

    // Invalid when a model of that name exists.
    DataModelConstructor CreateDataModel(const String& name);

    // Brings data, style and layout up to date; draws the visible documents.
    bool Update();
    bool Render();

    // Input; each returns true when the interface did not consume the event.
    bool ProcessMouseMove(int x, int y, int key_modifier_state);
    // `click_count` numbers the press in a run of quick presses at one place, as the
    // platform counts them: the second raises "dblclick" after "mousedown".
    bool ProcessMouseButtonDown(int button_index, int key_modifier_state, int click_count = 1);
    bool ProcessMouseButtonUp(int button_index, int key_modifier_state);
    bool ProcessMouseWheel(Vector2f wheel_delta, int key_modifier_state);
    bool ProcessMouseWheel(float wheel_delta, int key_modifier_state);
    bool ProcessMouseLeave();
    bool ProcessKeyDown(Input::KeyIdentifier key_identifier, int key_modifier_state);
    bool ProcessKeyUp(Input::KeyIdentifier key_identifier, int key_modifier_state);
    bool ProcessTextInput(const String& text);

    Element* GetHoverElement() const { return hover_; }
    Element* GetFocusElement() const { return focus_; }
    Vector2i GetMousePosition() const { return mouse_; }
    // The topmost element drawn at a point, or null.
    Element* GetElementAtPoint(Vector2f point) const;

    // Toolkit internals.
    DataModel* FindDataModel(const String& name) const;
    void SetFocusElement(Element* element);
    void OnElementDetached(Element* element, bool include_self = true);
    void PullDocumentToFront(ElementDocument* document);
    void OnDocumentHidden(ElementDocument* document);

private:
    void UpdateLayout();
    void UpdateHover(int key_modifier_state, bool dispatch_move);
    void SetChainPseudoClass(std::vector<Element*>& chain, Element* leaf, const String& pseudo_class);
    Dictionary MouseParameters(int button, int key_modifier_state) const;
    void ScrollFrom(Element* element, Vector2f delta);
    bool DispatchKey(const String& type, Input::KeyIdentifier key_identifier, int key_modifier_state);

    String name_;
    Vector2i dimensions_;
    std::vector<std::unique_ptr<ElementDocument>> documents_;  // back to front
    std::vector<std::unique_ptr<ElementDocument>> unloaded_;
    std::unordered_map<String, std::unique_ptr<DataModel>> data_models_;
    Element* hover_ = nullptr;
    Element* active_ = nullptr;
    Element* focus_ = nullptr;
    std::vector<Element*> hover_chain_;
    std::vector<Element*> active_chain_;
    Vector2i mouse_;
    bool mouse_inside_ = false;
    bool hover_dirty_ = false;
    String cursor_;
};

}  // namespace Rml
