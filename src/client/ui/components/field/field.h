#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::Field {

// <field>: a form field: one label and its control; a tag of its own only for the style sheets.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;
};

}  // namespace UI::Field
