#include <gtest/gtest.h>

#include "client/ui/components/button/button.h"
#include "client/ui/components/field_select/field_select.h"
#include "client/ui/components/field_select_option/field_select_option.h"
#include "client/ui/components/register_components.h"
#include "client/ui/ui_fixture.h"
#include "support/log_capture.h"

namespace {

using ui_test::text_of;

// Records the "change" events that reach an element, with what it saw then.
struct ChangeRecorder : Rml::EventListener {
    explicit ChangeRecorder(UI::FieldSelect::Component* select) : select(select) {}
    void ProcessEvent(Rml::Event& event) override {
        const Rml::Variant* value = nullptr;
        if (const auto it = event.GetParameters().find("value"); it != event.GetParameters().end()) value = &it->second;
        values.push_back(value ? value->Get<int>(-1) : -1);
        value_was_integer = value && value->GetType() == Rml::Variant::INT;
        open_when_heard = select->is_open;
    }
    UI::FieldSelect::Component* select;
    std::vector<int> values;
    bool value_was_integer = false;
    bool open_when_heard = false;
};

class Components : public ui_test::UiFixture {
protected:
    Rml::ElementDocument* load_body(const std::string& body) {
        Rml::ElementDocument* document = load_text(R"(<rml><head><style>
                field-select-options { display: block; }
                field-select-option { display: block; height: 20px; }
                button { display: inline-block; width: 80px; height: 20px; }
            </style></head><body>)" + body + "</body></rml>");
        EXPECT_NE(document, nullptr);
        if (document) document->Show();
        render_frame();
        return document;
    }

    Rml::ElementDocument* document = nullptr;
};

bool has_only_class_of_group(Rml::Element* element, const std::string& prefix, const std::string& expected) {
    int count = 0;
    for (const std::string& name : element->GetClassList()) {
        if (name.starts_with(prefix)) ++count;
    }
    return expected.empty() ? count == 0 : count == 1 && element->IsClassSet(prefix + expected);
}

TEST_F(Components, AButtonWithoutAttributesIsPrimaryAndMedium) {
    document = load_body(R"(<button id="b">Go</button>)");
    Rml::Element* button = document->GetElementById("b");
    ASSERT_NE(dynamic_cast<UI::Button::Component*>(button), nullptr);
    EXPECT_TRUE(has_only_class_of_group(button, "button-variant-", "primary"));
    EXPECT_TRUE(has_only_class_of_group(button, "button-size-", "md"));
    EXPECT_FALSE(button->IsPseudoClassSet("disabled"));
    EXPECT_FALSE(button->IsPseudoClassSet("checked"));
}

TEST_F(Components, AButtonTakesItsVariantAndSizeOnlyWhenWrittenExactly) {
    document = load_body(R"(<button id="b" variant="danger" size="chip">Go</button>)");
    Rml::Element* button = document->GetElementById("b");
    EXPECT_TRUE(has_only_class_of_group(button, "button-variant-", "danger"));
    EXPECT_TRUE(has_only_class_of_group(button, "button-size-", "chip"));
    button->SetAttribute("variant", "Ghost");
    button->SetAttribute("size", "xl");
    EXPECT_TRUE(has_only_class_of_group(button, "button-variant-", ""));
    EXPECT_TRUE(has_only_class_of_group(button, "button-size-", ""));
    button->SetAttribute("variant", "secondary");
    EXPECT_TRUE(has_only_class_of_group(button, "button-variant-", "secondary"));
}

TEST_F(Components, AButtonReadsDisabledAndActiveAsPresentUnlessZeroOrFalse) {
    document = load_body(R"(<button id="b" disabled="" active="yes">Go</button>)");
    Rml::Element* button = document->GetElementById("b");
    EXPECT_TRUE(button->IsPseudoClassSet("disabled"));
    EXPECT_TRUE(button->IsPseudoClassSet("checked"));
    button->SetAttribute("disabled", "FALSE");
    EXPECT_FALSE(button->IsPseudoClassSet("disabled"));
    button->SetAttribute("disabled", "anything");
    EXPECT_TRUE(button->IsPseudoClassSet("disabled"));
    button->SetAttribute("disabled", "0");
    EXPECT_FALSE(button->IsPseudoClassSet("disabled"));
    button->SetAttribute("disabled", "1");
    button->RemoveAttribute("disabled");
    EXPECT_FALSE(button->IsPseudoClassSet("disabled"));
    button->SetAttribute("active", "False");
    EXPECT_FALSE(button->IsPseudoClassSet("checked"));
    // The variant survives a change of the other attributes.
    EXPECT_TRUE(has_only_class_of_group(button, "button-variant-", "primary"));
}

TEST_F(Components, ADisabledButtonStillDeliversItsClicks) {
    document = load_body(R"(<button id="b" disabled="">Go</button>)");
    struct Counter : Rml::EventListener {
        void ProcessEvent(Rml::Event&) override { ++clicks; }
        int clicks = 0;
    } counter;
    Rml::Element* button = document->GetElementById("b");
    button->AddEventListener("click", &counter);
    click(button);
    EXPECT_EQ(counter.clicks, 1);
    button->RemoveEventListener("click", &counter);
}

TEST_F(Components, AFieldTextBuildsOneInputOnceFromItsAttributes) {
    document = load_body(R"(<field-text id="plain"/><field-text id="secret" type="password"/>)");
    Rml::Element* plain = document->GetElementById("plain");
    ASSERT_EQ(plain->GetNumChildren(), 1);
    Rml::Element* input = plain->GetChild(0);
    EXPECT_EQ(input->GetTagName(), "input");
    EXPECT_EQ(input->GetAttribute<std::string>("type", ""), "text");
    // Unset attributes reach the input as empty ones.
    EXPECT_EQ(input->GetAttribute<std::string>("data-attr-value", "?"), "");
    EXPECT_EQ(input->GetAttribute<std::string>("data-event-change", "?"), "");
    plain->SetAttribute("data-attr-value", "later");
    plain->SetAttribute("type", "password");
    EXPECT_EQ(plain->GetNumChildren(), 1);
    EXPECT_EQ(input->GetAttribute<std::string>("data-attr-value", "?"), "");
    EXPECT_EQ(input->GetAttribute<std::string>("type", ""), "text");
    EXPECT_EQ(document->GetElementById("secret")->GetChild(0)->GetAttribute<std::string>("type", ""), "password");
}

TEST_F(Components, OneEditInAFieldTextRunsItsCallbackOnceThroughItsInput) {
    std::string scale = "1.5";
    std::vector<std::string> heard;
    std::vector<Rml::Element*> heard_on;
    Rml::DataModelConstructor model = context->CreateDataModel("fields");
    ASSERT_TRUE(model);
    model.Bind("scale", &scale);
    model.BindEventCallback("on_scale_change", [&](Rml::DataModelHandle, Rml::Event& event, const Rml::VariantList&) {
        heard.push_back(event.GetParameter<std::string>("value", ""));
        heard_on.push_back(event.GetCurrentElement());
    });
    document = load_text(R"(<rml><body data-model="fields">
        <field-text id="scale" data-attr-value="scale" data-event-change="on_scale_change"/>
    </body></rml>)");
    ASSERT_NE(document, nullptr);
    document->Show();
    render_frame();
    auto* input = dynamic_cast<Rml::ElementInput*>(document->GetElementById("scale")->GetChild(0));
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->GetValue(), "1.5");
    input->Focus();
    type("0");
    EXPECT_EQ(heard, std::vector<std::string>{"1.50"});
    EXPECT_EQ(heard_on, std::vector<Rml::Element*>{input});
}

TEST_F(Components, ASelectGroupReplacesItsClassesExceptOnOptions) {
    document = load_body(R"(
        <field-select id="select" class="wide dark">
            <field-select-button id="button" value="Two"/>
            <field-select-options id="options" class="tall">
                <field-select-option id="one" class="kept" value="1">One</field-select-option>
                <field-select-option id="two" value="2" selected="1">Two</field-select-option>
            </field-select-options>
        </field-select>)");
    EXPECT_EQ(document->GetElementById("select")->GetClassNames(), "field-select");
    EXPECT_EQ(document->GetElementById("options")->GetClassNames(), "field-select-options");
    EXPECT_EQ(document->GetElementById("one")->GetClassNames(), "kept field-select-option");
    Rml::Element* two = document->GetElementById("two");
    EXPECT_TRUE(two->IsClassSet("selected"));
    two->SetAttribute("selected", "0");
    EXPECT_FALSE(two->IsClassSet("selected"));
    EXPECT_TRUE(two->IsClassSet("field-select-option"));
    two->SetAttribute("selected", "true");
    two->RemoveAttribute("selected");
    EXPECT_FALSE(two->IsClassSet("selected"));
}

TEST_F(Components, OptionValuesReadAsIntegersAndTextAsZero) {
    document = load_body(R"(<field-select-option id="a" value="7"/><field-select-option id="b" value="abc"/>)");
    auto* a = static_cast<UI::FieldSelectOption::Component*>(document->GetElementById("a"));
    auto* b = static_cast<UI::FieldSelectOption::Component*>(document->GetElementById("b"));
    EXPECT_EQ(a->option_value, 7);
    EXPECT_EQ(b->option_value, 0);
    a->SetAttribute("value", "12");
    EXPECT_EQ(a->option_value, 12);
}

TEST_F(Components, ClickingTheSelectOpensAndClosesIt) {
    document = load_body(R"(<field-select id="select"><field-select-button id="button" value="Pick"/></field-select>)");
    auto* select = static_cast<UI::FieldSelect::Component*>(document->GetElementById("select"));
    EXPECT_FALSE(select->is_open);
    test_support::LogCapture log;
    click(document->GetElementById("button"));
    EXPECT_TRUE(select->is_open);
    EXPECT_TRUE(select->IsClassSet("field-select-expanded"));
    EXPECT_TRUE(log.contains(spdlog::level::info, "field-select clicked, is_open: true"));
    click(document->GetElementById("button"));
    EXPECT_FALSE(select->is_open);
    EXPECT_FALSE(select->IsClassSet("field-select-expanded"));
    EXPECT_TRUE(log.contains("field-select clicked, is_open: false"));
}

TEST_F(Components, ClickingAnOptionRaisesChangeWithItsIntegerValueThenTogglesTheSelect) {
    document = load_body(R"(
        <field-select id="select">
            <field-select-options>
                <field-select-option id="first" value="3">Three</field-select-option>
                <field-select-option id="second" value="4">Four</field-select-option>
            </field-select-options>
        </field-select>)");
    auto* select = static_cast<UI::FieldSelect::Component*>(document->GetElementById("select"));
    ChangeRecorder recorder(select);
    select->AddEventListener("change", &recorder);
    test_support::LogCapture log;
    // The list is closed, yet this style shows it: the click still chooses, then opens.
    click(document->GetElementById("second"));
    EXPECT_EQ(recorder.values, std::vector<int>{4});
    EXPECT_TRUE(recorder.value_was_integer);
    EXPECT_FALSE(recorder.open_when_heard);
    EXPECT_TRUE(select->is_open);
    EXPECT_EQ(log.count(spdlog::level::info, "option clicked"), 1);
    click(document->GetElementById("first"));
    EXPECT_EQ(recorder.values, (std::vector<int>{4, 3}));
    EXPECT_FALSE(select->is_open);
    select->RemoveEventListener("change", &recorder);
}

TEST_F(Components, ASelectButtonShowsItsValueAsMarkup) {
    document = load_body(R"(<field-select-button id="button" value="&lt;span class='name'&gt;Medium Two&lt;/span&gt;"/>)");
    Rml::Element* button = document->GetElementById("button");
    ASSERT_EQ(button->GetNumChildren(), 1);
    Rml::Element* display = button->GetChild(0);
    ASSERT_EQ(display->GetNumChildren(), 1);
    EXPECT_TRUE(display->GetChild(0)->IsClassSet("name"));
    EXPECT_EQ(text_of(display), "Medium Two");
    button->SetAttribute("value", "Large One");
    EXPECT_EQ(button->GetNumChildren(), 1);
    EXPECT_EQ(text_of(display), "Large One");
}

TEST_F(Components, ElementsWithListenersGoAwayCleanly) {
    document = load_body(R"(
        <div id="holder">
            <field-select id="select"><field-select-options>
                <field-select-option id="option" value="1">One</field-select-option>
            </field-select-options></field-select>
        </div>)");
    Rml::Element* holder = document->GetElementById("holder");
    click(document->GetElementById("option"));
    holder->RemoveChild(document->GetElementById("select"));
    render_frame();
    EXPECT_EQ(holder->GetNumChildren(), 0);
    click_at(5, 5);
}

TEST_F(Components, RegistrationSurvivesAToolkitRestartWithTheSameInstancers) {
    Rml::ElementInstancer* button = Rml::Factory::GetElementInstancer("button");
    ASSERT_NE(button, nullptr);
    for (const char* tag : {"field", "field-label", "field-text", "field-select", "field-select-option",
                            "field-select-button", "field-select-options"}) {
        EXPECT_NE(Rml::Factory::GetElementInstancer(tag), nullptr) << tag;
    }
    Rml::Shutdown();
    EXPECT_NE(Rml::Factory::GetElementInstancer("button"), button);
    ASSERT_TRUE(Rml::Initialise());
    context = Rml::CreateContext("main", {1280, 720});
    UI::register_component_instancers();
    EXPECT_EQ(Rml::Factory::GetElementInstancer("button"), button);
}

}  // namespace
