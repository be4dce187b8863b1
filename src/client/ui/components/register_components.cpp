#include "client/ui/components/register_components.h"

#include "client/ui/components/button/button.h"
#include "client/ui/components/field/field.h"
#include "client/ui/components/field_label/field_label.h"
#include "client/ui/components/field_select/field_select.h"
#include "client/ui/components/field_select_button/field_select_button.h"
#include "client/ui/components/field_select_option/field_select_option.h"
#include "client/ui/components/field_select_options/field_select_options.h"
#include "client/ui/components/field_text/field_text.h"
#include "lib/rml/rml.h"

namespace UI {

namespace {

struct ComponentInstancers {
    Rml::ElementInstancerGeneric<Button::Component> button;
    Rml::ElementInstancerGeneric<Field::Component> field;
    Rml::ElementInstancerGeneric<FieldLabel::Component> field_label;
    Rml::ElementInstancerGeneric<FieldText::Component> field_text;
    Rml::ElementInstancerGeneric<FieldSelect::Component> field_select;
    Rml::ElementInstancerGeneric<FieldSelectOption::Component> field_select_option;
    Rml::ElementInstancerGeneric<FieldSelectButton::Component> field_select_button;
    Rml::ElementInstancerGeneric<FieldSelectOptions::Component> field_select_options;
};

}  // namespace

void register_component_instancers() {
    static ComponentInstancers instancers;
    Rml::Factory::RegisterElementInstancer("button", &instancers.button);
    Rml::Factory::RegisterElementInstancer("field", &instancers.field);
    Rml::Factory::RegisterElementInstancer("field-label", &instancers.field_label);
    Rml::Factory::RegisterElementInstancer("field-text", &instancers.field_text);
    Rml::Factory::RegisterElementInstancer("field-select", &instancers.field_select);
    Rml::Factory::RegisterElementInstancer("field-select-option", &instancers.field_select_option);
    Rml::Factory::RegisterElementInstancer("field-select-button", &instancers.field_select_button);
    Rml::Factory::RegisterElementInstancer("field-select-options", &instancers.field_select_options);
}

}  // namespace UI
