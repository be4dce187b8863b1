#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"
#include "support/log_capture.h"

namespace {

using Rml::String;

// A custom element that fails while it is made or told of attributes.
class Faulty : public Rml::Element {
public:
    explicit Faulty(const String& tag) : Rml::Element(tag) {}

protected:
    void OnAttributeChange(const Rml::ElementAttributes& changed) override {
        Rml::Element::OnAttributeChange(changed);
        if (changed.contains("explode")) throw std::runtime_error("bad attribute");
    }
};

class BadInput : public rml_test::RmlFixture {
protected:
    void SetUp() override {
        RmlFixture::SetUp();
        Rml::Factory::RegisterElementInstancer("faulty", &faulty_instancer_);
    }
    Rml::ElementInstancerGeneric<Faulty> faulty_instancer_;
    test_support::LogCapture log_;
};

TEST_F(BadInput, MalformedMarkupKeepsWhatParsedBeforeTheError) {
    Rml::ElementDocument* document = LoadText("broken.rml",
                                              "<rml><body>\n"
                                              "<div id='good'>fine</div>\n"
                                              "<div id='bad'>unclosed\n"
                                              "</rml>\n");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(log_.count_containing(dir_.Path("broken.rml") + ":4: malformed markup"), 1);
    EXPECT_NE(document->GetElementById("good"), nullptr);
    EXPECT_NO_THROW(ShowAndUpdate(document));
    EXPECT_NO_THROW(context_->Render());
}

TEST_F(BadInput, UnknownTagsAreReportedAndKeptAsPlainElements) {
    Rml::ElementDocument* document = LoadBody("\n<blink id='b'>text <b>bold</b></blink>");
    EXPECT_EQ(log_.count_containing(document->GetSourceURL() + ":2: unknown element <blink>"), 1);
    EXPECT_EQ(log_.count_containing(document->GetSourceURL() + ":2: unknown element <b>"), 1);
    ASSERT_NE(document->GetElementById("b"), nullptr);
    EXPECT_EQ(document->GetElementById("b")->GetNumChildren(), 2);
}

TEST_F(BadInput, MissingFilesAreReportedOnce) {
    EXPECT_EQ(context_->LoadDocument(dir_.Path("absent.rml")), nullptr);
    EXPECT_EQ(log_.count_containing(dir_.Path("absent.rml") + ": cannot read the document"), 1);
    Rml::ElementDocument* document = LoadText(
        "styled.rml",
        "<rml><head>\n<link type='text/rcss' href='absent.rcss'/>\n<style>#d { height: 7px; }</style>\n"
        "<script>alert()</script></head>\n<body><div id='d'/></body></rml>");
    EXPECT_EQ(log_.count_containing(dir_.Path("styled.rml") + ":2: cannot read style sheet '" + dir_.Path("absent.rcss") + "'"), 1);
    EXPECT_EQ(log_.count_containing(dir_.Path("styled.rml") + ":4: unsupported element <script> in <head>"), 1);
    ShowAndUpdate(document);
    EXPECT_FLOAT_EQ(document->GetElementById("d")->GetBox().content.y, 7);
    EXPECT_FALSE(Rml::LoadFontFace(dir_.Path("absent.ttf")));
    EXPECT_EQ(log_.count_containing("Cannot load font face '" + dir_.Path("absent.ttf") + "'"), 1);
}

TEST_F(BadInput, ADocumentWithoutRmlRootIsStillRead) {
    Rml::ElementDocument* document = LoadText("bare.rml", "<body><p id='p'>x</p></body>");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(log_.count_containing(":1: the document has no <rml> root element"), 1);
    EXPECT_NE(document->GetElementById("p"), nullptr);
}

TEST_F(BadInput, MarkupNestedTooDeeplyIsLeftOutWithAnError) {
    String deep;
    for (int i = 1; i <= 6000; ++i) deep += "<div id='d" + std::to_string(i) + "'>";
    for (int i = 1; i <= 6000; ++i) deep += "</div>";
    Rml::ElementDocument* document = LoadBody("\n" + deep);
    ASSERT_NE(document, nullptr);
    const String error = document->GetSourceURL() + ":2: markup nested deeper than 256 elements is left out";
    EXPECT_EQ(log_.count_containing(error), 1);
    ASSERT_NE(document->GetElementById("d256"), nullptr);
    EXPECT_EQ(document->GetElementById("d257"), nullptr);
    EXPECT_NO_THROW(ShowAndUpdate(document));
    // Inner markup counts from where it is put.
    document->GetElementById("d255")->SetInnerRML("<p id='kept'>text<p id='dropped'/></p>");
    ASSERT_NE(document->GetElementById("kept"), nullptr);
    EXPECT_EQ(document->GetElementById("kept")->GetNumChildren(), 1);
    EXPECT_EQ(document->GetElementById("dropped"), nullptr);
    EXPECT_EQ(log_.count_containing(error), 2);
}

TEST_F(BadInput, FailingElementsAndCallbacksNeverEscapeTheToolkit) {
    Rml::DataModelConstructor constructor = context_->CreateDataModel("m");
    int value = 0;
    constructor.Bind("value", &value);
    constructor.BindEventCallback("on_fail", [](Rml::DataModelHandle, Rml::Event&, const Rml::VariantList&) {
        throw std::invalid_argument("stof");
    });
    Rml::ElementDocument* document = LoadBody(
        "\n<faulty id='f' data-attr-explode='value'/>\n<faulty explode='now'/>\n<div id='after' data-event-click='on_fail'/>",
        "", "data-model='m'");
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(log_.count_containing(document->GetSourceURL() + ":3: making <faulty> failed: bad attribute"), 1);
    ASSERT_NE(document->GetElementById("after"), nullptr);
    EXPECT_NO_THROW(ShowAndUpdate(document));
    EXPECT_EQ(log_.count_containing(document->GetSourceURL() + ":2: data binding update failed: bad attribute"), 1);
    EXPECT_NO_THROW(document->GetElementById("after")->DispatchEvent("click", {}));
    EXPECT_EQ(log_.count_containing(":4: event callback 'on_fail' failed: stof"), 1);
}

}  // namespace
