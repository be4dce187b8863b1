#pragma once

#include "lib/rml/types/types.h"
#include "lib/rml/variant/variant.h"

namespace Rml {

class Element;
class Event;

enum class EventPhase { None = 0, Capture = 1, Target = 2, Bubble = 4 };

// Receives events from the elements it is added to. Elements do not own their
// listeners; they tell them with OnDetach when the listener is removed or the
// element goes away.
class EventListener {
public:
    virtual ~EventListener() = default;
    virtual void ProcessEvent(Event& event) = 0;
    virtual void OnAttach(Element* element);
    virtual void OnDetach(Element* element);
};

class Event {
public:
    Event(Element* target, String type, Dictionary parameters);

    const String& GetType() const { return type_; }
    EventPhase GetPhase() const { return phase_; }
    Element* GetTargetElement() const { return target_; }
    Element* GetCurrentElement() const { return current_; }
    const Dictionary& GetParameters() const { return parameters_; }
    template <typename T>
    T GetParameter(const String& key, const T& default_value) const {
        const auto it = parameters_.find(key);
        return it == parameters_.end() ? default_value : it->second.template Get<T>(default_value);
    }
    // Ends the event's travel after the listeners of the current element.
    void StopPropagation() { propagating_ = false; }
    // Ends it at once, skipping the current element's remaining listeners.
    void StopImmediatePropagation() {
        propagating_ = false;
        immediate_propagating_ = false;
    }
    bool IsPropagating() const { return propagating_; }
    bool IsImmediatePropagating() const { return immediate_propagating_; }

    void SetPhase(EventPhase phase) { phase_ = phase; }
    void SetCurrentElement(Element* element) { current_ = element; }

private:
    String type_;
    Dictionary parameters_;
    Element* target_ = nullptr;
    Element* current_ = nullptr;
    EventPhase phase_ = EventPhase::None;
    bool propagating_ = true;
    bool immediate_propagating_ = true;
};

// Events that stay on their target ("focus", "blur", "load", ...) do not bubble.
bool EventBubbles(const String& type);

}  // namespace Rml
