#pragma once

#include <memory>
#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldSelectOption {

class Component;

// Raises "change" with the option's value on a click.
class OptionClickListener : public Rml::EventListener {
public:
    explicit OptionClickListener(Component* component);
    ~OptionClickListener() override;
    void ProcessEvent(Rml::Event& event) override;

    Component* component;
};

// <field-select-option>: one choice of a drop-down, with an integer "value"
// and a "selected" flag set by the page's bindings.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;

    int option_value = 0;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed_attributes) override;

private:
    void Build();

    bool built = false;
    std::unique_ptr<OptionClickListener> click_listener;
};

}  // namespace UI::FieldSelectOption
