#include <gtest/gtest.h>

#include "lib/rml/data_expression/data_expression.h"
#include "lib/rml/rml_fixture.h"
#include "support/log_capture.h"

namespace {

using Rml::String;

struct Row {
    String name;
    int value = 0;
};

struct ViewModel {
    std::vector<String> names = {"Small One", "Small Two", "Medium One"};
    std::vector<int> types = {2000, 2001, 2100};
    String scale = "0.500000";
    int selected = 1;
    bool flag = true;
    float ratio = 0.25f;
    std::vector<Row> rows = {{"a", 1}, {"b", 2}};
};

// Counts attribute notifications, as the game's custom elements see them.
class Watcher : public Rml::Element {
public:
    explicit Watcher(const String& tag) : Rml::Element(tag) {}
    std::vector<String> values;

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        if (auto it = changed.find("value"); it != changed.end()) values.push_back(it->second.Get<String>());
    }
};

class DataBinding : public rml_test::RmlFixture {
protected:
    void SetUp() override {
        RmlFixture::SetUp();
        Rml::Factory::RegisterElementInstancer("watcher", &watcher_instancer_);
        Rml::DataModelConstructor constructor = context_->CreateDataModel("editor");
        ASSERT_TRUE(static_cast<bool>(constructor));
        ASSERT_TRUE(constructor.RegisterArray<std::vector<String>>());
        ASSERT_TRUE(constructor.RegisterArray<std::vector<int>>());
        if (auto row = constructor.RegisterStruct<Row>()) {
            row.RegisterMember("name", &Row::name).RegisterMember("value", &Row::value);
        }
        ASSERT_TRUE(constructor.RegisterArray<std::vector<Row>>());
        auto vm = constructor.RegisterStruct<ViewModel>();
        ASSERT_TRUE(static_cast<bool>(vm));
        vm.RegisterMember("names", &ViewModel::names)
            .RegisterMember("types", &ViewModel::types)
            .RegisterMember("scale", &ViewModel::scale)
            .RegisterMember("selected", &ViewModel::selected)
            .RegisterMember("flag", &ViewModel::flag)
            .RegisterMember("ratio", &ViewModel::ratio)
            .RegisterMember("rows", &ViewModel::rows);
        ASSERT_TRUE(constructor.BindEventCallback(
            "on_pick", [this](Rml::DataModelHandle, Rml::Event& event, const Rml::VariantList& arguments) {
                picks_.push_back(arguments);
                pick_events_.push_back(event.GetType());
            }));
        ASSERT_TRUE(constructor.BindEventCallback(
            "on_scale", [this](Rml::DataModelHandle handle, Rml::Event& event, const Rml::VariantList&) {
                vm_.scale = event.GetParameter<String>("value", "");
                handle.DirtyVariable("vm");
            }));
        ASSERT_TRUE(constructor.BindFunc("display_name", [this](Rml::Variant& out) {
            out = Rml::Variant(vm_.names[static_cast<std::size_t>(vm_.selected)]);
        }));
        ASSERT_TRUE(constructor.Bind("vm", &vm_));
        ASSERT_TRUE(constructor.Bind("count", &count_));
        handle_ = constructor.GetModelHandle();
    }

    Rml::ElementDocument* Load(const String& body) {
        Rml::ElementDocument* document = LoadBody(body, "", R"(data-model="editor")");
        ShowAndUpdate(document);
        return document;
    }

    static String Text(Rml::Element* element) {
        String out;
        for (int i = 0; i < element->GetNumChildren(); ++i) {
            if (auto* text = dynamic_cast<Rml::ElementText*>(element->GetChild(i))) out += text->GetText();
        }
        return out;
    }

    Rml::ElementInstancerGeneric<Watcher> watcher_instancer_;
    ViewModel vm_;
    int count_ = 4;
    Rml::DataModelHandle handle_;
    std::vector<Rml::VariantList> picks_;
    std::vector<String> pick_events_;
};

TEST_F(DataBinding, TextShowsExpressionsAndRefreshesOnlyForDirtyVariables) {
    Rml::ElementDocument* document = Load(R"(<p id="p">Scale {{ vm.scale }} of {{count}}</p>)");
    Rml::Element* p = document->GetElementById("p");
    EXPECT_EQ(Text(p), "Scale 0.500000 of 4");
    vm_.scale = "2";
    context_->Update();
    EXPECT_EQ(Text(p), "Scale 0.500000 of 4");  // not marked dirty
    handle_.DirtyVariable("vm");
    EXPECT_TRUE(handle_.IsVariableDirty("vm"));
    EXPECT_FALSE(handle_.IsVariableDirty("count"));
    context_->Update();
    EXPECT_FALSE(handle_.IsVariableDirty("vm"));
    EXPECT_EQ(Text(p), "Scale 2 of 4");
}

TEST_F(DataBinding, ExpressionOperators) {
    Rml::ElementDocument* document = Load(R"(<div id="host"/>)");
    Rml::DataModel* model = context_->FindDataModel("editor");
    const auto evaluate = [&](const String& text) {
        String error;
        auto expression = Rml::DataExpression::Parse(text, error);
        EXPECT_TRUE(expression) << text << ": " << error;
        if (!expression) return String("<parse error>");
        EXPECT_TRUE(expression->Bind(*document->GetElementById("host"), *model, error)) << text << ": " << error;
        Rml::Variant value;
        if (!expression->Evaluate(*model, value, error)) return "<error: " + error + ">";
        return value.Get<String>();
    };
    EXPECT_EQ(evaluate("1 + 2 * 3"), "7");
    EXPECT_EQ(evaluate("(1 + 2) * 3"), "9");
    EXPECT_EQ(evaluate("7 / 2"), "3.5");
    EXPECT_EQ(evaluate("-count + 1"), "-3");
    EXPECT_EQ(evaluate("'a' + 'b' + 1"), "ab1");
    EXPECT_EQ(evaluate("vm.scale * 2"), "1");
    EXPECT_EQ(evaluate("vm.names[vm.selected]"), "Small Two");
    EXPECT_EQ(evaluate("vm.types[2] == 2100"), "1");
    EXPECT_EQ(evaluate("vm.rows[1].name + vm.rows[1].value"), "b2");
    EXPECT_EQ(evaluate("vm.names.size"), "3");
    EXPECT_EQ(evaluate("count >= 4 && count < 5"), "1");
    EXPECT_EQ(evaluate("count != 4 || !vm.flag"), "0");
    EXPECT_EQ(evaluate("vm.flag ? 'on' : 'off'"), "on");
    EXPECT_EQ(evaluate("vm.selected == 1 ? vm.ratio : 0"), "0.25");
    EXPECT_EQ(evaluate("'10' < '9'"), "1");   // two texts compare as text
    EXPECT_EQ(evaluate("'10' < 9"), "0");     // a number makes it numeric
    EXPECT_EQ(evaluate("display_name"), "Small Two");
    EXPECT_EQ(evaluate("\"it's\""), "it's");
    EXPECT_EQ(evaluate("vm.names[7]"), "<error: index 7 is out of range>");
    EXPECT_EQ(evaluate("vm.scale - 'abc'"), "<error: '-' needs numbers, not '0.500000' and 'abc'>");
    EXPECT_EQ(evaluate("1 / 0"), "<error: division by zero>");
    EXPECT_EQ(evaluate("vm.names[9999999999999999995]"), "<error: index '1e+19' is not a number in range>");
    // 256 levels of nesting, in brackets or in a chain of operators, are kept; one more is refused.
    const auto chain = [](int operators) {
        String text = "1";
        for (int i = 0; i < operators; ++i) text += " + 1";
        return text;
    };
    EXPECT_EQ(evaluate(String(256, '(') + "count" + String(256, ')')), "4");
    EXPECT_EQ(evaluate(chain(256)), "257");
    EXPECT_EQ(evaluate(String(256, '!') + "1"), "1");
    for (const String& deep : {String(257, '(') + "1" + String(257, ')'), String(1200, '(') + "1" + String(1200, ')'),
                               chain(257), chain(5000), String(257, '!') + "1", String(300, '!') + "1"}) {
        String error;
        EXPECT_EQ(Rml::DataExpression::Parse(deep, error), nullptr);
        EXPECT_EQ(error, "expression nested deeper than 256 levels");
    }
}

TEST_F(DataBinding, AttributeClassStyleIfVisibleAndRml) {
    Rml::ElementDocument* document = Load(R"(
        <watcher id="w" data-attr-value="vm.names[vm.selected]"/>
        <div id="c" class="base" data-class-on="vm.flag" data-style-width="vm.selected * 10 + 'px'"/>
        <div id="if" data-if="vm.flag">if</div>
        <div id="visible" data-visible="vm.flag">visible</div>
        <div id="rml" data-rml="'&lt;p id=&quot;inner&quot;&gt;' + vm.scale + '&lt;/p&gt;'"/>)");
    auto* watcher = static_cast<Watcher*>(document->GetElementById("w"));
    Rml::Element* c = document->GetElementById("c");
    EXPECT_EQ(watcher->values, (std::vector<String>{"Small Two"}));
    EXPECT_TRUE(c->IsClassSet("on"));
    EXPECT_TRUE(c->IsClassSet("base"));
    EXPECT_FLOAT_EQ(c->GetComputedValues().width.value, 10);
    EXPECT_TRUE(document->GetElementById("if")->IsVisible());
    ASSERT_NE(document->GetElementById("inner"), nullptr);
    EXPECT_EQ(Text(document->GetElementById("inner")), "0.500000");

    vm_.flag = false;
    vm_.selected = 2;
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(watcher->values, (std::vector<String>{"Small Two", "Medium One"}));
    EXPECT_FALSE(c->IsClassSet("on"));
    EXPECT_FLOAT_EQ(c->GetComputedValues().width.value, 20);
    EXPECT_FALSE(document->GetElementById("if")->IsVisible());
    EXPECT_FALSE(document->GetElementById("if")->GetBox().rendered);
    EXPECT_FALSE(document->GetElementById("visible")->IsVisible());
    EXPECT_TRUE(document->GetElementById("visible")->GetBox().rendered);

    // An unchanged value reaches the element no more.
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(watcher->values.size(), 2u);
}

TEST_F(DataBinding, ForLoopsKeepTheirItemsAndFollowTheArray) {
    Rml::ElementDocument* document = Load(R"(
        <div id="list">
            <watcher data-for="name, i : vm.names" data-attr-value="i" data-class-selected="i == vm.selected">{{i}}:{{name}}</watcher>
        </div>
        <div id="plain"><span data-for="vm.types">{{it_index}}={{it}};</span></div>
        <div id="nested"><div data-for="row : vm.rows"><span data-for="c : vm.names">{{row.name}}{{it_index}}</span></div></div>)");
    Rml::Element* list = document->GetElementById("list");
    // The hidden placeholder, then one item per name.
    ASSERT_EQ(list->GetNumChildren(), 4);
    EXPECT_FALSE(list->GetChild(0)->IsVisible());
    auto* second = dynamic_cast<Watcher*>(list->GetChild(2));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(Text(second), "1:Small Two");
    EXPECT_TRUE(second->IsClassSet("selected"));
    EXPECT_EQ(second->values, (std::vector<String>{"1"}));
    EXPECT_EQ(Text(document->GetElementById("plain")->GetChild(2)), "1=2001;");
    EXPECT_EQ(document->GetElementById("nested")->GetChild(2)->GetNumChildren(), 4);
    EXPECT_EQ(Text(document->GetElementById("nested")->GetChild(2)->GetChild(3)), "b2");

    vm_.names.push_back("Large One");
    vm_.names[1] = "Renamed";
    handle_.DirtyVariable("vm");
    context_->Update();
    ASSERT_EQ(list->GetNumChildren(), 5);
    EXPECT_EQ(list->GetChild(2), second);  // existing items stay
    EXPECT_EQ(Text(second), "1:Renamed");
    EXPECT_EQ(Text(list->GetChild(4)), "3:Large One");

    vm_.names.resize(1);
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(list->GetNumChildren(), 2);
    vm_.names.clear();
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(list->GetNumChildren(), 1);
}

// Makes its first element only, as an instancer that fails part way would.
class FirstOnlyInstancer : public Rml::ElementInstancer {
public:
    Rml::ElementPtr InstanceElement(Rml::Element*, const String& tag, const Rml::XMLAttributes&) override {
        return made_++ == 0 ? std::make_unique<Rml::Element>(tag) : nullptr;
    }

private:
    int made_ = 0;
};

TEST_F(DataBinding, ForLoopItemsThatCannotBeMadeAreLoggedAndLeftOut) {
    FirstOnlyInstancer first_only;
    Rml::Factory::RegisterElementInstancer("first-only", &first_only);
    test_support::LogCapture log;
    Rml::ElementDocument* document = Load(R"(<div id="list"><first-only data-for="vm.names"/></div>)");
    EXPECT_EQ(document->GetElementById("list")->GetNumChildren(), 1);  // the placeholder alone
    EXPECT_EQ(log.count_containing(document->GetSourceURL() + ":1: the instancer of <first-only> made no element"), 1);
}

TEST_F(DataBinding, EventsCallTheirCallbackWithEvaluatedArguments) {
    Rml::ElementDocument* document = Load(R"RML(
        <div id="rows"><div data-for="r : vm.rows" data-event-click="on_pick(it_index, r.name, vm.selected + 1, 'x')">{{r.name}}</div></div>
        <div id="plain" data-event-mousedown="on_pick"/>)RML");
    Rml::Element* rows = document->GetElementById("rows");
    rows->GetChild(2)->DispatchEvent("click", {});
    ASSERT_EQ(picks_.size(), 1u);
    ASSERT_EQ(picks_[0].size(), 4u);
    EXPECT_EQ(picks_[0][0].Get<int>(), 1);
    EXPECT_EQ(picks_[0][1].Get<String>(), "b");
    EXPECT_EQ(picks_[0][2].Get<int>(), 2);
    EXPECT_EQ(picks_[0][3].Get<String>(), "x");
    document->GetElementById("plain")->DispatchEvent("mousedown", {});
    ASSERT_EQ(picks_.size(), 2u);
    EXPECT_TRUE(picks_[1].empty());
    EXPECT_EQ(pick_events_.back(), "mousedown");
}

TEST_F(DataBinding, ChangeEventsBubbleToDataEventsOfAncestors) {
    Rml::ElementDocument* document = Load(R"(<div id="outer" data-event-change="on_pick"><div id="inner"/></div>)");
    document->GetElementById("inner")->DispatchEvent("change", {{"value", Rml::Variant(4)}});
    EXPECT_EQ(picks_.size(), 1u);
}

TEST_F(DataBinding, ValueBindingIsTwoWay) {
    Rml::ElementDocument* document = Load(R"(<input id="in" type="text" data-value="vm.scale"/><p id="echo">{{vm.scale}}</p>)");
    auto* input = dynamic_cast<Rml::ElementInput*>(document->GetElementById("in"));
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->GetValue(), "0.500000");
    input->DispatchEvent("change", {{"value", Rml::Variant("3.25")}});
    EXPECT_EQ(vm_.scale, "3.25");
    EXPECT_TRUE(handle_.IsVariableDirty("vm"));
    context_->Update();
    EXPECT_EQ(Text(document->GetElementById("echo")), "3.25");
    vm_.scale = "9";
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(input->GetValue(), "9");
}

TEST_F(DataBinding, ValueBindingOnAControlTakesChangesFromItsParts) {
    Rml::ElementDocument* document =
        Load(R"(<div id="control" data-value="vm.selected"><div id="part"/></div>)");
    document->GetElementById("part")->DispatchEvent("change", {{"value", Rml::Variant(2)}});
    EXPECT_EQ(vm_.selected, 2);
    document->GetElementById("part")->DispatchEvent("change", {});  // no value: nothing written
    EXPECT_EQ(vm_.selected, 2);
    context_->Update();
    EXPECT_EQ(document->GetElementById("control")->GetAttribute<int>("value", -1), 2);
}

TEST_F(DataBinding, ElementsAddedLaterInsideTheModelAreBound) {
    // As a custom element builds an inner input from its own attributes.
    Rml::ElementDocument* document = Load(R"(<div id="host"/>)");
    Rml::Element* host = document->GetElementById("host");
    Rml::ElementPtr input = Rml::Factory::InstanceElement(
        host, "input", "input",
        {{"type", Rml::Variant("text")}, {"data-attr-value", Rml::Variant("vm.scale")},
         {"data-event-change", Rml::Variant("on_scale")}});
    auto* field = static_cast<Rml::ElementInput*>(host->AppendChild(std::move(input)));
    context_->Update();
    EXPECT_EQ(field->GetValue(), "0.500000");
    field->DispatchEvent("change", {{"value", Rml::Variant("7")}});
    EXPECT_EQ(vm_.scale, "7");
}

TEST_F(DataBinding, BadBindingsAreLoggedOnceWithDocumentAndLine) {
    test_support::LogCapture log;
    Rml::ElementDocument* document = LoadBody(
        "\n<p id='a'>{{ missing }}</p>\n"
        "<p id='b'>{{ 1 + }}</p>\n"
        "<div data-event-click='no_such_callback'/>\n"
        "<div data-colour='vm.flag'/>\n"
        "<p id='c'>{{ vm.names[vm.selected + 5] }} and {{ count }}</p>\n"
        "<div title='{{ count }}'/>\n"
        "<input data-value='nowhere'/>\n",
        "", R"(data-model="editor")");
    ShowAndUpdate(document);
    const String path = document->GetSourceURL();
    EXPECT_EQ(log.count_containing(path + ":2: {{ missing }}=\" missing \": unknown name 'missing'"), 1);
    EXPECT_EQ(log.count_containing(path + ":3: {{ 1 + }}"), 1);
    EXPECT_EQ(log.count_containing(path + ":4: data-event-click=\"no_such_callback\": unknown event callback"), 1);
    EXPECT_EQ(log.count_containing(path + ":5: unknown data binding 'data-colour'"), 1);
    EXPECT_EQ(log.count_containing(path + ":6: {{ vm.names[vm.selected + 5] }}: index 6 is out of range"), 1);
    EXPECT_EQ(log.count_containing(path + ":7: '{{ }}' is not read in attribute 'title'; use data-attr-title"), 1);
    EXPECT_EQ(log.count_containing(path + ":8: data-value=\"nowhere\": unknown name 'nowhere'"), 1);
    // The rest of the text still shows, and the error is not repeated.
    EXPECT_EQ(Text(document->GetElementById("c")), " and 4");
    handle_.DirtyVariable("vm");
    context_->Update();
    EXPECT_EQ(log.count_containing("out of range"), 1);
}

TEST_F(DataBinding, UnknownModelAndBindingsOutsideAModelAreReported) {
    test_support::LogCapture log;
    Rml::ElementDocument* unknown = LoadBody("<p>{{ x }}</p>", "", R"(data-model="nowhere")");
    Rml::ElementDocument* outside = LoadBody("<p data-if='x'>{{ x }}</p>");
    ShowAndUpdate(unknown);
    ShowAndUpdate(outside);
    EXPECT_EQ(log.count_containing(unknown->GetSourceURL() + ":1: unknown data model 'nowhere'"), 1);
    EXPECT_EQ(log.count_containing("outside any data-model"), 2);
    EXPECT_EQ(log.count_containing("{{ x }}"), 0);  // under an unknown model only the model is reported
}

TEST_F(DataBinding, ConstructorRules) {
    test_support::LogCapture log;
    Rml::DataModelConstructor constructor = context_->CreateDataModel("rules");
    std::vector<Row> rows;
    EXPECT_FALSE(constructor.Bind("rows", &rows));  // array type not registered
    auto vm = constructor.RegisterStruct<ViewModel>();
    EXPECT_TRUE(static_cast<bool>(vm));
    vm.RegisterMember("rows", &ViewModel::rows);  // its array type is not registered
    EXPECT_FALSE(static_cast<bool>(constructor.RegisterStruct<ViewModel>()));  // registered twice
    int value = 0;
    EXPECT_TRUE(constructor.Bind("value", &value));
    EXPECT_FALSE(constructor.Bind("value", &value));
    EXPECT_FALSE(constructor.Bind<int>("null", nullptr));
    EXPECT_TRUE(constructor.BindEventCallback("e", [](Rml::DataModelHandle, Rml::Event&, const Rml::VariantList&) {}));
    EXPECT_FALSE(constructor.BindEventCallback("e", [](Rml::DataModelHandle, Rml::Event&, const Rml::VariantList&) {}));
    EXPECT_GE(log.count_containing("not registered"), 2);

    Rml::DataModelConstructor invalid;
    EXPECT_FALSE(static_cast<bool>(invalid));
    EXPECT_FALSE(invalid.Bind("value", &value));
    EXPECT_FALSE(static_cast<bool>(invalid.RegisterStruct<Row>()));
    Rml::DataModelHandle handle = invalid.GetModelHandle();
    handle.DirtyVariable("value");  // harmless
    EXPECT_FALSE(handle.IsVariableDirty("value"));
}

}  // namespace
