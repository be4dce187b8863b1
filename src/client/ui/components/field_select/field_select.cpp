#include "client/ui/components/field_select/field_select.h"

#include <spdlog/spdlog.h>

namespace UI::FieldSelect {

ClickListener::ClickListener(Component* component) : component(component) {}

ClickListener::~ClickListener() = default;

// Any click toggles: the button opens the list and a choice closes it.
void ClickListener::ProcessEvent(Rml::Event&) {
    component->is_open = !component->is_open;
    SPDLOG_INFO("field-select clicked, is_open: {}", component->is_open);
    component->SetClass("field-select-expanded", component->is_open);
}

Component::Component(const std::string& tag) : Rml::Element(tag) {}

// The element would still tell the listener about its teardown.
Component::~Component() {
    if (click_listener) RemoveEventListener("click", click_listener.get());
}

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    if (built) return;
    // Set first: Build rewrites "class", which notifies again.
    built = true;
    Build();
}

void Component::Build() {
    click_listener = std::make_unique<ClickListener>(this);
    AddEventListener("click", click_listener.get(), false);
    SetAttribute("class", "field-select");
}

}  // namespace UI::FieldSelect
