#pragma once

#include <string>
#include <vector>

#include "lib/rml/rml.h"

// The data model and custom element behind tests/lib/rml/demo/demo.rml.
namespace rml_demo {

inline constexpr const char* kDocumentPath = "tests/lib/rml/demo/demo.rml";
inline constexpr const char* kFontPath = "build/assets/fonts/LatoLatin-Regular.ttf";
inline constexpr const char* kEmojiFontPath = "build/assets/fonts/NotoEmoji-Regular.ttf";

struct Ship {
    std::string name;
    float speed = 0;
};

struct DemoModel {
    std::string pilot;
    int secret_length = 0;
    std::string speed = "80";
    std::vector<Ship> ships = {{"Frigate", 120}, {"Destroyer", 90}, {"Cruiser", 60}};
    int selected = 0;
    bool show_details = true;
    std::string status = "Ready";
    std::string marker_style = "left: 20px; top: 10px;";
    std::vector<std::string> events;  // callbacks in the order they ran
    Rml::DataModelHandle handle;
};

// A push button tag: "disabled" toggles the :disabled pseudo-class.
class DemoButton : public Rml::Element {
public:
    explicit DemoButton(const Rml::String& tag);
    int attribute_changes = 0;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override;
};

void RegisterDemoElements();
bool BindDemoModel(Rml::Context& context, DemoModel& model);
// Loads both fonts; false when one is missing.
bool LoadDemoFonts();

}  // namespace rml_demo
