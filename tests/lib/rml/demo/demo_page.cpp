#include "lib/rml/demo/demo_page.h"

namespace rml_demo {

DemoButton::DemoButton(const Rml::String& tag) : Rml::Element(tag) {}

void DemoButton::OnAttributeChange(const Rml::ElementAttributes& changed) {
    Rml::Element::OnAttributeChange(changed);
    ++attribute_changes;
    if (changed.contains("disabled")) {
        const Rml::String value = Rml::StringUtilities::ToLower(GetAttribute<Rml::String>("disabled", ""));
        SetPseudoClass("disabled", HasAttribute("disabled") && value != "0" && value != "false");
    }
}

void RegisterDemoElements() {
    static Rml::ElementInstancerGeneric<DemoButton> button_instancer;
    Rml::Factory::RegisterElementInstancer("demo-button", &button_instancer);
}

bool BindDemoModel(Rml::Context& context, DemoModel& model) {
    Rml::DataModelConstructor constructor = context.CreateDataModel("demo");
    if (!constructor) return false;
    if (auto ship = constructor.RegisterStruct<Ship>()) {
        ship.RegisterMember("name", &Ship::name).RegisterMember("speed", &Ship::speed);
    }
    constructor.RegisterArray<std::vector<Ship>>();
    constructor.Bind("pilot", &model.pilot);
    constructor.Bind("secret_length", &model.secret_length);
    constructor.Bind("speed", &model.speed);
    constructor.Bind("ships", &model.ships);
    constructor.Bind("selected", &model.selected);
    constructor.Bind("show_details", &model.show_details);
    constructor.Bind("status", &model.status);
    constructor.Bind("marker_style", &model.marker_style);
    constructor.BindEventCallback("on_add", [&model](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
        model.events.push_back("add");
        model.ships.push_back({"Ship " + std::to_string(model.ships.size() + 1), 50});
        model.status = "Added <span class=\"tag\">" + model.ships.back().name + "</span>";
        handle.DirtyVariable("ships");
        handle.DirtyVariable("status");
    });
    constructor.BindEventCallback("on_remove", [&model](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
        model.events.push_back("remove");
        if (!model.ships.empty()) model.ships.pop_back();
        handle.DirtyVariable("ships");
    });
    constructor.BindEventCallback("on_toggle", [&model](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList&) {
        model.events.push_back("toggle");
        model.show_details = !model.show_details;
        handle.DirtyVariable("show_details");
    });
    constructor.BindEventCallback("on_select",
                                  [&model](Rml::DataModelHandle handle, Rml::Event&, const Rml::VariantList& arguments) {
                                      model.selected = arguments.empty() ? -1 : arguments[0].Get<int>(-1);
                                      model.events.push_back("select " + std::to_string(model.selected));
                                      handle.DirtyVariable("selected");
                                  });
    constructor.BindEventCallback("on_secret_change",
                                  [&model](Rml::DataModelHandle handle, Rml::Event& event, const Rml::VariantList&) {
                                      const auto text = event.GetParameter<Rml::String>("value", "");
                                      model.secret_length = static_cast<int>(Rml::StringUtilities::CountCodePoints(text));
                                      handle.DirtyVariable("secret_length");
                                  });
    constructor.BindEventCallback("on_speed_change",
                                  [&model](Rml::DataModelHandle handle, Rml::Event& event, const Rml::VariantList&) {
                                      model.speed = event.GetParameter<Rml::String>("value", "");
                                      handle.DirtyVariable("speed");
                                  });
    model.handle = constructor.GetModelHandle();
    return true;
}

bool LoadDemoFonts() {
    return Rml::LoadFontFace(kFontPath) && Rml::LoadFontFace(kEmojiFontPath, true);
}

}  // namespace rml_demo
