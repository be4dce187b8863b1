#include "client/ui/components/field_select_options/field_select_options.h"

namespace UI::FieldSelectOptions {

Component::Component(const std::string& tag) : Rml::Element(tag) {}

Component::~Component() = default;

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    if (built) return;
    // Set first: Build rewrites "class", which notifies again.
    built = true;
    Build();
}

void Component::Build() { SetAttribute("class", "field-select-options"); }

}  // namespace UI::FieldSelectOptions
