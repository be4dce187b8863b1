#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::FieldText {

// <field-text>: wraps one text input built from the element's "type",
// "data-attr-value" and "data-event-change" when the element is created;
// later changes of those attributes do not reach the input. The input's
// "change" stops at the input, so one edit runs the page's callback once.
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

}  // namespace UI::FieldText
