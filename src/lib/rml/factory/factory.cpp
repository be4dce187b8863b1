#include "lib/rml/factory/factory.h"

#include <array>
#include <string_view>
#include <unordered_map>

#include "lib/rml/element_document/element_document.h"
#include "lib/rml/element_image/element_image.h"
#include "lib/rml/element_input/element_input.h"
#include "lib/rml/element_text/element_text.h"

namespace Rml {

namespace {

struct Builtins {
    ElementInstancerGeneric<Element> generic;
    ElementInstancerGeneric<ElementText> text;
    ElementInstancerGeneric<ElementInput> input;
    ElementInstancerGeneric<ElementImage> image;
    ElementInstancerGeneric<ElementDocument> document;
};

Builtins& GetBuiltins() {
    static Builtins builtins;
    return builtins;
}

std::unordered_map<String, ElementInstancer*>& Registered() {
    static std::unordered_map<String, ElementInstancer*> registered;
    return registered;
}

ElementInstancer* BuiltinInstancer(const String& name) {
    Builtins& builtins = GetBuiltins();
    if (name == "#text") return &builtins.text;
    if (name == "input") return &builtins.input;
    if (name == "img") return &builtins.image;
    if (name == "body") return &builtins.document;
    return nullptr;
}

constexpr std::array<std::string_view, 12> kPlainTags = {"div", "p", "span", "h1", "h2", "h3", "br", "#text",
                                                          "input", "img", "body", "*"};

}  // namespace

void Factory::RegisterElementInstancer(const String& name, ElementInstancer* instancer) {
    if (instancer) {
        Registered()[name] = instancer;
    } else {
        Registered().erase(name);
    }
}

ElementInstancer* Factory::GetElementInstancer(const String& name) {
    if (auto it = Registered().find(name); it != Registered().end()) return it->second;
    if (ElementInstancer* builtin = BuiltinInstancer(name)) return builtin;
    return &GetBuiltins().generic;
}

ElementPtr Factory::InstanceElement(Element* parent, const String& instancer, const String& tag,
                                    const XMLAttributes& attributes) {
    ElementPtr element = GetElementInstancer(instancer)->InstanceElement(parent, tag, attributes);
    if (element) element->SetAttributes(attributes);
    return element;
}

bool Factory::IsKnownTag(const String& tag) {
    if (Registered().contains(tag)) return true;
    for (std::string_view plain : kPlainTags) {
        if (tag == plain) return true;
    }
    return false;
}

void Factory::ClearRegisteredInstancers() { Registered().clear(); }

}  // namespace Rml
