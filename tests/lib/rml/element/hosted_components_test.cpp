// Elements written the way the game's custom elements are: they build children
// and listeners from their first attribute notification, rewrite their own
// class attribute while being notified, and raise "change" from a click listener.
#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"

namespace {

using Rml::String;

class Select : public Rml::Element {
public:
    explicit Select(const String& tag) : Rml::Element(tag) {}
    ~Select() override {
        if (listener_) {
            RemoveEventListener("click", listener_.get());
        }
    }
    bool is_open = false;
    int builds = 0;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        if (built_) return;
        built_ = true;
        ++builds;
        struct Toggle : Rml::EventListener {
            explicit Toggle(Select* select) : select(select) {}
            void ProcessEvent(Rml::Event&) override {
                select->is_open = !select->is_open;
                select->SetClass("field-select-expanded", select->is_open);
            }
            Select* select;
        };
        listener_ = std::make_unique<Toggle>(this);
        AddEventListener("click", listener_.get());
        SetAttribute("class", "field-select");  // notifies again, inside this call
    }

private:
    bool built_ = false;
    std::unique_ptr<Rml::EventListener> listener_;
};

class SelectButton : public Rml::Element {
public:
    explicit SelectButton(const String& tag) : Rml::Element(tag) {}
    Rml::Element* display = nullptr;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        if (!display) display = AppendChild(Rml::Factory::InstanceElement(this, "div", "div", {}));
        if (auto it = changed.find("value"); it != changed.end()) display->SetInnerRML(it->second.Get<String>());
    }
};

class Option : public Rml::Element {
public:
    explicit Option(const String& tag) : Rml::Element(tag) {}
    ~Option() override {
        if (listener_) RemoveEventListener("click", listener_.get());
    }
    int option_value = 0;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        for (const auto& [name, value] : changed) {
            if (name == "value") option_value = value.Get<int>(0);
            if (name == "selected") SetClass("selected", value.Get<bool>(false));
        }
        if (listener_) return;
        struct Pick : Rml::EventListener {
            explicit Pick(Option* option) : option(option) {}
            void ProcessEvent(Rml::Event&) override {
                option->DispatchEvent("change", {{"value", Rml::Variant(option->option_value)}});
            }
            Option* option;
        };
        listener_ = std::make_unique<Pick>(this);
        AddEventListener("click", listener_.get());
        SetClass("field-select-option", true);
    }

private:
    std::unique_ptr<Rml::EventListener> listener_;
};

class FieldText : public Rml::Element {
public:
    explicit FieldText(const String& tag) : Rml::Element(tag) {}

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        if (built_) return;
        built_ = true;
        Rml::XMLAttributes attributes;
        attributes["type"] = Rml::Variant(GetAttribute<String>("type", "text"));
        attributes["data-attr-value"] = Rml::Variant(GetAttribute<String>("data-attr-value", ""));
        attributes["data-event-change"] = Rml::Variant(GetAttribute<String>("data-event-change", ""));
        AppendChild(Rml::Factory::InstanceElement(this, "input", "input", attributes));
    }

private:
    bool built_ = false;
};

class HostedComponents : public rml_test::SdlFixture {
protected:
    void SetUp() override {
        SdlFixture::SetUp();
        ASSERT_TRUE(LoadFont());
        Rml::Factory::RegisterElementInstancer("field-select", &select_);
        Rml::Factory::RegisterElementInstancer("field-select-button", &button_);
        Rml::Factory::RegisterElementInstancer("field-select-option", &option_);
        Rml::Factory::RegisterElementInstancer("field-text", &field_text_);
        Rml::DataModelConstructor constructor = context_->CreateDataModel("editor");
        constructor.RegisterArray<std::vector<String>>();
        constructor.Bind("types", &types_);
        constructor.Bind("selected", &selected_);
        constructor.Bind("scale", &scale_);
        constructor.BindFunc("display", [this](Rml::Variant& out) {
            out = Rml::Variant("<span class='name'>" + types_[static_cast<std::size_t>(selected_)] + "</span>");
        });
        constructor.BindEventCallback("on_type_change", [this](Rml::DataModelHandle handle, Rml::Event& event,
                                                               const Rml::VariantList&) {
            selected_ = std::stoi(event.GetParameter<String>("value", ""));
            handle.DirtyVariable("selected");
            handle.DirtyVariable("display");
        });
        constructor.BindEventCallback("on_scale_change", [this](Rml::DataModelHandle handle, Rml::Event& event,
                                                                const Rml::VariantList&) {
            scale_ = event.GetParameter<String>("value", "");
            ++scale_changes_;
            handle.DirtyVariable("scale");
        });
        document_ = LoadBody(R"(
            <field-select id="select" class="from-document" data-event-change="on_type_change">
                <field-select-button id="button" data-attr-value="display"/>
                <div class="options">
                    <field-select-option class="kept" data-for="name, i : types" data-attr-value="i" data-attr-selected="i == selected">{{name}}</field-select-option>
                </div>
            </field-select>
            <field-text id="scale" data-attr-value="scale" data-event-change="on_scale_change"/>)",
                             R"(field-select-option { display: block; height: 20px; }
                                field-text input { width: 100px; })",
                             R"(data-model="editor")");
        ASSERT_NE(document_, nullptr);
        document_->Show();
        RenderFrame();
    }

    Rml::ElementInstancerGeneric<Select> select_;
    Rml::ElementInstancerGeneric<SelectButton> button_;
    Rml::ElementInstancerGeneric<Option> option_;
    Rml::ElementInstancerGeneric<FieldText> field_text_;
    std::vector<String> types_ = {"Small One", "Medium Two", "Large Three"};
    int selected_ = 0;
    String scale_ = "1.500000";
    int scale_changes_ = 0;
    Rml::ElementDocument* document_ = nullptr;
};

TEST_F(HostedComponents, BuildOnceAndRewriteTheirOwnClass) {
    auto* select = static_cast<Select*>(document_->GetElementById("select"));
    EXPECT_EQ(select->builds, 1);
    EXPECT_EQ(select->GetClassNames(), "field-select");
    Rml::Element* options = select->GetChild(1)->GetTagName() == "div" ? select->GetChild(1) : nullptr;
    ASSERT_NE(options, nullptr);
    ASSERT_EQ(options->GetNumChildren(), 4);
    auto* first = static_cast<Option*>(options->GetChild(1));
    EXPECT_EQ(first->GetClassNames(), "kept field-select-option selected");
    EXPECT_EQ(static_cast<Option*>(options->GetChild(3))->option_value, 2);
    // The button's value is shown as markup.
    auto* button = static_cast<SelectButton*>(document_->GetElementById("button"));
    ASSERT_EQ(button->display->GetNumChildren(), 1);
    EXPECT_TRUE(button->display->GetChild(0)->IsClassSet("name"));
}

TEST_F(HostedComponents, AnOptionClickChangesTheChoiceAndTogglesTheList) {
    auto* select = static_cast<Select*>(document_->GetElementById("select"));
    Rml::Element* options = select->GetChild(1);
    Rml::Element* third = options->GetChild(3);
    const Rml::Vector2f at = third->GetAbsoluteOffset();
    Click(at.x + 5, at.y + 5);
    EXPECT_EQ(selected_, 2);
    EXPECT_TRUE(select->is_open);
    RenderFrame();
    EXPECT_TRUE(third->IsClassSet("selected"));
    EXPECT_FALSE(options->GetChild(1)->IsClassSet("selected"));
    auto* button = static_cast<SelectButton*>(document_->GetElementById("button"));
    EXPECT_EQ(static_cast<Rml::ElementText*>(button->display->GetChild(0)->GetChild(0))->GetText(), "Large Three");
    const Rml::Vector2f button_at = button->GetAbsoluteOffset();
    Click(button_at.x + 2, button_at.y + 2);
    EXPECT_FALSE(select->is_open);
    EXPECT_EQ(selected_, 2);
}

TEST_F(HostedComponents, ATextFieldBuiltInCodeIsBoundAndEditable) {
    Rml::Element* wrapper = document_->GetElementById("scale");
    ASSERT_EQ(wrapper->GetNumChildren(), 1);
    auto* input = dynamic_cast<Rml::ElementInput*>(wrapper->GetChild(0));
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->GetValue(), "1.500000");
    const Rml::Vector2f at = input->GetAbsoluteOffset();
    Click(at.x + 90, at.y + 5);
    Key(SDLK_BACKSPACE);
    EXPECT_EQ(scale_, "1.50000");
    EXPECT_GE(scale_changes_, 1);
    RenderFrame();
    EXPECT_EQ(input->GetValue(), "1.50000");
    EXPECT_EQ(input->GetCaretIndex(), 7u);  // the binding's write-back leaves the caret alone
}

}  // namespace
