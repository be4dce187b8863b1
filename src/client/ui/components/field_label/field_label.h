#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldLabel {

// <field-label>: the label of a form field; a tag of its own only for the style sheets.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;
};

}  // namespace UI::FieldLabel
