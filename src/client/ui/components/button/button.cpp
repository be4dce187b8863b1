#include "client/ui/components/button/button.h"

#include <array>
#include <string_view>

namespace UI::Button {

namespace {

constexpr std::array<std::string_view, 4> variants = {"primary", "secondary", "danger", "ghost"};
constexpr std::array<std::string_view, 4> sizes = {"sm", "md", "lg", "chip"};

}  // namespace

Component::Component(const std::string& tag) : Rml::Element(tag) { Update(); }

Component::~Component() = default;

void Component::OnAttributeChange(const Rml::ElementAttributes& changed_attributes) {
    Rml::Element::OnAttributeChange(changed_attributes);
    bool changed = false;
    if (const auto it = changed_attributes.find("variant"); it != changed_attributes.end()) {
        variant = it->second.Get<std::string>("");
        changed = true;
    }
    if (const auto it = changed_attributes.find("size"); it != changed_attributes.end()) {
        size = it->second.Get<std::string>("");
        changed = true;
    }
    if (changed_attributes.contains("disabled")) {
        disabled = ReadBoolAttribute("disabled");
        changed = true;
    }
    if (changed_attributes.contains("active")) {
        active = ReadBoolAttribute("active");
        changed = true;
    }
    if (changed) Update();
}

void Component::Update() {
    for (const std::string_view name : variants) {
        SetClass("button-variant-" + std::string(name), variant == name);
    }
    for (const std::string_view name : sizes) {
        SetClass("button-size-" + std::string(name), size == name);
    }
    SetPseudoClass("disabled", disabled);
    SetPseudoClass("checked", active);
}

// Present means true, as in HTML, unless the value says "0" or "false".
bool Component::ReadBoolAttribute(const std::string& name) {
    if (!HasAttribute(name)) return false;
    const std::string value = Rml::StringUtilities::ToLower(GetAttribute<std::string>(name, ""));
    return value != "0" && value != "false";
}

}  // namespace UI::Button
