#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldSelectButton {

// <field-select-button>: shows its "value" (markup) as the current choice.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed_attributes) override;

private:
    void Build();

    bool built = false;
    Rml::Element* value_display = nullptr;
};

}  // namespace UI::FieldSelectButton
