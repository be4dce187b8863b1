#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldSelectOptions {

// <field-select-options>: the list of a drop-down; the style sheet shows it
// only while its select is expanded.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed_attributes) override;

private:
    void Build();

    bool built = false;
};

}  // namespace UI::FieldSelectOptions
