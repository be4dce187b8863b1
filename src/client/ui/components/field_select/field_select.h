#pragma once

#include <memory>
#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldSelect {

class Component;

// Opens and closes the drop-down on every click inside it.
class ClickListener : public Rml::EventListener {
public:
    explicit ClickListener(Component* component);
    ~ClickListener() override;
    void ProcessEvent(Rml::Event& event) override;

    Component* component;
};

// <field-select>: a drop-down holding a <field-select-button> and a
// <field-select-options> list; the page's bindings keep the choice.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;

    bool is_open = false;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed_attributes) override;

private:
    void Build();

    bool built = false;
    std::unique_ptr<ClickListener> click_listener;
};

}  // namespace UI::FieldSelect
