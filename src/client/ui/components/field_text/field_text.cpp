#include "client/ui/components/field_text/field_text.h"

#include <initializer_list>

namespace UI::FieldText {

Component::Component(const std::string& tag) : Rml::Element(tag) {}

Component::~Component() = default;

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    if (built) return;
    Build();
    built = true;
}

void Component::Build() {
    Rml::XMLAttributes attributes;
    attributes["type"] = Rml::Variant(GetAttribute<std::string>("type", "text"));
    // An empty binding would only make the input report a broken expression.
    for (const char* binding : {"data-attr-value", "data-event-change"}) {
        const std::string value = GetAttribute<std::string>(binding, "");
        if (!value.empty()) attributes[binding] = Rml::Variant(value);
    }
    AppendChild(Rml::Factory::InstanceElement(this, "input", "input", attributes));
}

}  // namespace UI::FieldText
