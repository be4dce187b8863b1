#include "client/ui/components/field_label/field_label.h"

namespace UI::FieldLabel {

Component::Component(const std::string& tag) : Rml::Element(tag) {}

Component::~Component() = default;

}  // namespace UI::FieldLabel
