#include "client/ui/components/field_text/field_text.h"

namespace UI::FieldText {

namespace {

// Ends an edit's "change" at the inner input. The input runs the page's
// binding itself; the same binding on the field would run it a second time.
struct KeepChangeInInput final : Rml::EventListener {
    void ProcessEvent(Rml::Event& event) override { event.StopPropagation(); }
};

// Holds nothing, so every field shares it; it outlives the toolkit's elements.
Rml::EventListener& keep_change_in_input() {
    static KeepChangeInInput listener;
    return listener;
}

}  // namespace

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
    attributes["data-attr-value"] = Rml::Variant(GetAttribute<std::string>("data-attr-value", ""));
    attributes["data-event-change"] = Rml::Variant(GetAttribute<std::string>("data-event-change", ""));
    Rml::Element* input = AppendChild(Rml::Factory::InstanceElement(this, "input", "input", attributes));
    if (input) input->AddEventListener("change", &keep_change_in_input());
}

}  // namespace UI::FieldText
