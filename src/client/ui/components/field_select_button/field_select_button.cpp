#include "client/ui/components/field_select_button/field_select_button.h"

namespace UI::FieldSelectButton {

Component::Component(const std::string& tag) : Rml::Element(tag) {}

Component::~Component() = default;

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    if (!built) {
        built = true;
        Build();
    }
    const auto value = changed_attributes.find("value");
    if (value != changed_attributes.end() && value_display) {
        value_display->SetInnerRML(value->second.Get<std::string>(""));
    }
}

void Component::Build() { value_display = AppendChild(Rml::Factory::InstanceElement(this, "div", "div", {})); }

}  // namespace UI::FieldSelectButton
