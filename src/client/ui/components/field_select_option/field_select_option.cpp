#include "client/ui/components/field_select_option/field_select_option.h"

#include <spdlog/spdlog.h>

namespace UI::FieldSelectOption {

OptionClickListener::OptionClickListener(Component* component) : component(component) {}

OptionClickListener::~OptionClickListener() = default;

// "change" bubbles, so the select's data-event binding hears it before the
// same click reaches the select and closes the list.
void OptionClickListener::ProcessEvent(Rml::Event&) {
    SPDLOG_INFO("option clicked");
    const Rml::Dictionary parameters{{"value", Rml::Variant(component->option_value)}};
    component->DispatchEvent("change", parameters);
}

Component::Component(const std::string& tag) : Rml::Element(tag) {}

// The element would still tell the listener about its teardown.
Component::~Component() {
    if (click_listener) RemoveEventListener("click", click_listener.get());
}

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    for (const auto& [name, value] : changed_attributes) {
        if (name == "value") {
            option_value = value.Get<int>(0);
        } else if (name == "selected") {
            SetClass("selected", value.Get<bool>(false));
        }
    }
    if (built) return;
    built = true;
    Build();
}

void Component::Build() {
    click_listener = std::make_unique<OptionClickListener>(this);
    AddEventListener("click", click_listener.get(), false);
    SetClass("field-select-option", true);
}

}  // namespace UI::FieldSelectOption
