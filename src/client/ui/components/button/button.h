#pragma once

#include <string>

#include "lib/rml/rml.h"

namespace UI::Button {

// <button>: a push button whose look comes from its "variant" and "size"
// classes; "disabled" and "active" only change the style, clicks still arrive.
class Component : public Rml::Element {
public:
    explicit Component(const std::string& tag);
    ~Component() override;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed_attributes) override;

private:
    void Update();
    bool ReadBoolAttribute(const std::string& name);

    std::string variant = "primary";
    std::string size = "md";
    bool disabled = false;
    bool active = false;
};

}  // namespace UI::Button
