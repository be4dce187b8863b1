#include "client/ui/components/field/field.h"

namespace UI::Field {

Component::Component(const std::string& tag) : Rml::Element(tag) {}

Component::~Component() = default;

}  // namespace UI::Field
