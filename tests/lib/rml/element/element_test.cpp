#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"
#include "support/log_capture.h"

namespace {

using Rml::ElementAttributes;
using Rml::String;

// Records every attribute notification it gets.
class Recorder : public Rml::Element {
public:
    explicit Recorder(const String& tag) : Rml::Element(tag) { ++constructed; }
    std::vector<ElementAttributes> changes;
    static inline int constructed = 0;

protected:
    void OnAttributeChange(const ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        changes.push_back(changed);
    }
};

class CountingListener : public Rml::EventListener {
public:
    void ProcessEvent(Rml::Event&) override { ++events; }
    void OnAttach(Rml::Element*) override { ++attached; }
    void OnDetach(Rml::Element*) override { ++detached; }
    int events = 0;
    int attached = 0;
    int detached = 0;
};

class Elements : public rml_test::RmlFixture {
protected:
    void SetUp() override {
        RmlFixture::SetUp();
        Recorder::constructed = 0;
        Rml::Factory::RegisterElementInstancer("recorder", &recorder_instancer_);
        Rml::Factory::RegisterElementInstancer("button", &recorder_instancer_);
    }
    Rml::ElementInstancerGeneric<Recorder> recorder_instancer_;
};

TEST_F(Elements, DocumentElementsOfRegisteredTagsAreTheGamesClasses) {
    Rml::ElementDocument* document =
        LoadBody(R"(<recorder id="r" a="1" b="two"/><button id="b">Go</button><recorder id="empty"/>)");
    ASSERT_NE(document, nullptr);
    auto* recorder = dynamic_cast<Recorder*>(document->GetElementById("r"));
    ASSERT_NE(recorder, nullptr);
    EXPECT_NE(dynamic_cast<Recorder*>(document->GetElementById("b")), nullptr);
    // One notification at creation with every attribute.
    ASSERT_EQ(recorder->changes.size(), 1u);
    EXPECT_EQ(recorder->changes[0].size(), 3u);
    EXPECT_EQ(recorder->changes[0].at("b").Get<String>(), "two");
    // Also when there are none to report.
    auto* empty = dynamic_cast<Recorder*>(document->GetElementById("empty"));
    ASSERT_EQ(empty->changes.size(), 1u);
    EXPECT_EQ(empty->changes[0].size(), 1u);  // just its id
}

TEST_F(Elements, AttributeChangesAreReportedOneByOne) {
    Rml::ElementPtr owned = Rml::Factory::InstanceElement(nullptr, "recorder", "recorder", {});
    auto* recorder = static_cast<Recorder*>(owned.get());
    ASSERT_EQ(recorder->changes.size(), 1u);
    EXPECT_TRUE(recorder->changes[0].empty());
    recorder->SetAttribute("value", 5);
    ASSERT_EQ(recorder->changes.size(), 2u);
    EXPECT_EQ(recorder->changes[1].size(), 1u);
    EXPECT_EQ(recorder->GetAttribute<int>("value", 0), 5);
    EXPECT_EQ(recorder->GetAttribute<String>("value", ""), "5");
    EXPECT_EQ(recorder->GetAttribute<int>("missing", -1), -1);
    recorder->RemoveAttribute("value");
    ASSERT_EQ(recorder->changes.size(), 3u);
    EXPECT_EQ(recorder->changes[2].at("value").GetType(), Rml::Variant::NONE);
    EXPECT_FALSE(recorder->HasAttribute("value"));
    recorder->RemoveAttribute("value");  // nothing to remove: no notification
    EXPECT_EQ(recorder->changes.size(), 3u);
}

TEST_F(Elements, InnerMarkupIsBuiltThroughTheFactory) {
    Rml::ElementDocument* document = LoadBody(R"(<div id="host"/>)");
    Rml::Element* host = document->GetElementById("host");
    host->SetInnerRML(R"(<recorder id="x" v="1">a</recorder> tail <p>p</p>)");
    ASSERT_EQ(host->GetNumChildren(), 3);
    EXPECT_NE(dynamic_cast<Recorder*>(host->GetChild(0)), nullptr);
    EXPECT_EQ(host->GetChild(1)->GetTagName(), "#text");
    EXPECT_EQ(host->GetChild(2)->GetTagName(), "p");
    EXPECT_EQ(host->GetChild(0)->GetOwnerDocument(), document);
    host->SetInnerRML("plain");
    ASSERT_EQ(host->GetNumChildren(), 1);
    EXPECT_EQ(static_cast<Rml::ElementText*>(host->GetChild(0))->GetText(), "plain");
}

TEST_F(Elements, ClassAttributeReplacesTheListAndSetClassKeepsIt) {
    Rml::ElementDocument* document = LoadBody(R"(<div id="d" class="a b"/>)");
    Rml::Element* d = document->GetElementById("d");
    EXPECT_TRUE(d->IsClassSet("a"));
    d->SetClass("c", true);
    EXPECT_EQ(d->GetClassNames(), "a b c");
    d->SetClass("a", false);
    EXPECT_EQ(d->GetClassNames(), "b c");
    d->SetAttribute("class", "only");
    EXPECT_EQ(d->GetClassNames(), "only");
    d->SetPseudoClass("checked", true);
    EXPECT_TRUE(d->IsPseudoClassSet("checked"));
    d->SetPseudoClass("checked", false);
    EXPECT_FALSE(d->IsPseudoClassSet("checked"));
}

TEST_F(Elements, TreeEditing) {
    Rml::ElementDocument* document = LoadBody(R"(<div id="root"><p id="first"/></div>)");
    Rml::Element* root = document->GetElementById("root");
    Rml::Element* first = root->GetChild(0);
    Rml::Element* last = root->AppendChild(Rml::Factory::InstanceElement(root, "div", "div", {{"id", Rml::Variant("last")}}));
    Rml::Element* middle = root->InsertBefore(Rml::Factory::InstanceElement(root, "span", "span", {}), last);
    EXPECT_EQ(root->GetNumChildren(), 3);
    EXPECT_EQ(root->GetChild(1), middle);
    EXPECT_EQ(first->GetNextSibling(), middle);
    EXPECT_EQ(last->GetPreviousSibling(), middle);
    EXPECT_EQ(last->GetParentNode(), root);
    EXPECT_EQ(last->GetOwnerDocument(), document);
    EXPECT_EQ(document->GetElementById("last"), last);
    Rml::ElementPtr removed = root->RemoveChild(middle);
    EXPECT_EQ(removed.get(), middle);
    EXPECT_EQ(removed->GetParentNode(), nullptr);
    EXPECT_EQ(removed->GetOwnerDocument(), nullptr);
    EXPECT_EQ(root->GetNumChildren(), 2);
    EXPECT_EQ(root->GetChild(5), nullptr);
    EXPECT_EQ(root->RemoveChild(middle), nullptr);
}

TEST_F(Elements, ListenersAreToldWhenTheyAreRemovedAndWhenTheirElementGoes) {
    Rml::ElementDocument* document = LoadBody(R"(<div id="host"><div id="child"/></div>)");
    CountingListener listener;
    Rml::Element* host = document->GetElementById("host");
    Rml::Element* child = document->GetElementById("child");
    child->AddEventListener("click", &listener);
    child->AddEventListener("change", &listener, true);
    EXPECT_EQ(listener.attached, 2);
    child->RemoveEventListener("change", &listener, true);
    EXPECT_EQ(listener.detached, 1);
    child->RemoveEventListener("change", &listener, true);
    EXPECT_EQ(listener.detached, 1);
    host->SetInnerRML("");  // destroys the child
    EXPECT_EQ(listener.detached, 2);
    EXPECT_EQ(listener.events, 0);
}

TEST_F(Elements, DocumentsStartHiddenAndShowAndHide) {
    Rml::ElementDocument* document = LoadBody("<div/>");
    EXPECT_FALSE(document->IsVisible());
    EXPECT_EQ(document->GetTagName(), "body");
    document->Show(Rml::ModalFlag::None, Rml::FocusFlag::Auto, Rml::ScrollFlag::Auto);
    EXPECT_TRUE(document->IsVisible());
    document->Show();
    EXPECT_TRUE(document->IsVisible());
    document->Hide();
    document->Hide();
    EXPECT_FALSE(document->IsVisible());
}

TEST_F(Elements, ContextRefusesDuplicateModelsAndContexts) {
    EXPECT_TRUE(static_cast<bool>(context_->CreateDataModel("m")));
    test_support::LogCapture log;
    EXPECT_FALSE(static_cast<bool>(context_->CreateDataModel("m")));
    EXPECT_EQ(Rml::CreateContext("test", {1, 1}), nullptr);
    EXPECT_EQ(Rml::GetContext("test"), context_);
    EXPECT_EQ(log.count(spdlog::level::err, "Context 'test': a data model named 'm' already exists"), 1);
}

TEST(Lifetime, ShutdownThenInitialiseStartsAfresh) {
    ASSERT_TRUE(Rml::Initialise());
    Rml::Context* first = Rml::CreateContext("main", {10, 10});
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(Rml::Debugger::Initialise(first));
    Rml::Shutdown();
    EXPECT_EQ(Rml::GetContext("main"), nullptr);
    EXPECT_EQ(Rml::CreateContext("main", {10, 10}), nullptr);  // not initialised
    ASSERT_TRUE(Rml::Initialise());
    Rml::Context* second = Rml::CreateContext("main", {10, 10});
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(Rml::Debugger::Initialise(second));
    EXPECT_FALSE(Rml::Debugger::Initialise(second));
    Rml::Shutdown();
}

}  // namespace
