#pragma once

#include "lib/rml/element/element.h"

namespace Rml {

// Makes the elements of one tag; they are deleted through their ElementPtr.
class ElementInstancer {
public:
    virtual ~ElementInstancer() = default;
    virtual ElementPtr InstanceElement(Element* parent, const String& tag, const XMLAttributes& attributes) = 0;
};

template <typename T>
class ElementInstancerGeneric : public ElementInstancer {
public:
    ElementPtr InstanceElement(Element*, const String& tag, const XMLAttributes&) override {
        return ElementPtr(new T(tag));
    }
};

class Factory {
public:
    // Registers (or replaces) the instancer of a tag; the caller keeps ownership.
    static void RegisterElementInstancer(const String& name, ElementInstancer* instancer);
    static ElementInstancer* GetElementInstancer(const String& name);
    // Makes an element with the named instancer (or the default one) and
    // reports all its attributes to it once, also when there are none.
    static ElementPtr InstanceElement(Element* parent, const String& instancer, const String& tag,
                                      const XMLAttributes& attributes);
    // True for the tags the toolkit makes itself and those registered.
    static bool IsKnownTag(const String& tag);
    // Drops the registrations of the game; the built-in tags stay.
    static void ClearRegisteredInstancers();
};

}  // namespace Rml
