#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"

namespace {

// Notes what the toolkit asks of the platform.
class RecordingSystem : public Rml::SystemInterface {
public:
    void SetMouseCursor(const Rml::String& name) override { cursors.push_back(name); }
    void ActivateKeyboard(Rml::Vector2f caret, float line_height) override {
        ++activations;
        last_caret = caret;
        last_line_height = line_height;
    }
    void DeactivateKeyboard() override { ++deactivations; }
    std::vector<Rml::String> cursors;
    int activations = 0;
    int deactivations = 0;
    Rml::Vector2f last_caret;
    float last_line_height = 0;
};

class PointerAndKeyboard : public rml_test::RmlFixture {
protected:
    void SetUp() override {
        Rml::SetSystemInterface(&system_);
        RmlFixture::SetUp();
        document_ = LoadBody(R"(<div id="button">Go</div><input id="field" value="abc"/>)",
                             R"(body { font-size: 10px; }
                                #button { width: 50px; height: 20px; cursor: pointer; }
                                #field { position: absolute; left: 100px; top: 100px; })");
        ShowAndUpdate(document_);
    }
    RecordingSystem system_;
    Rml::ElementDocument* document_ = nullptr;
};

TEST_F(PointerAndKeyboard, TheCursorFollowsTheHoveredElement) {
    context_->ProcessMouseMove(10, 10, 0);
    context_->ProcessMouseMove(12, 12, 0);
    context_->ProcessMouseMove(400, 400, 0);
    EXPECT_EQ(system_.cursors, (std::vector<Rml::String>{"pointer", ""}));
    context_->ProcessMouseMove(110, 105, 0);
    EXPECT_EQ(system_.cursors.back(), "text");  // the base style of text fields
}

TEST_F(PointerAndKeyboard, FocusingAFieldStartsTextInputAtItsCaret) {
    context_->ProcessMouseMove(110, 105, 0);
    context_->ProcessMouseButtonDown(0, 0);
    context_->ProcessMouseButtonUp(0, 0);
    auto* field = static_cast<Rml::ElementInput*>(document_->GetElementById("field"));
    EXPECT_EQ(context_->GetFocusElement(), field);
    ASSERT_GE(system_.activations, 1);
    EXPECT_FLOAT_EQ(system_.last_line_height, 12);
    EXPECT_FLOAT_EQ(system_.last_caret.y, 100);
    // The press at x 110 puts the caret after "ab" (5 px a character, from x 100).
    EXPECT_EQ(field->GetCaretIndex(), 2u);
    EXPECT_FLOAT_EQ(system_.last_caret.x, 110);
    context_->ProcessKeyDown(Rml::Input::KI_END, 0);
    EXPECT_FLOAT_EQ(system_.last_caret.x, 115);
    // Hiding the document ends text input.
    document_->Hide();
    EXPECT_EQ(system_.deactivations, 1);
    EXPECT_EQ(context_->GetFocusElement(), nullptr);
}

TEST_F(PointerAndKeyboard, TheClipboardPastesIntoTheField) {
    auto* field = static_cast<Rml::ElementInput*>(document_->GetElementById("field"));
    field->Focus();
    system_.SetClipboardText("xyz");
    context_->ProcessKeyDown(Rml::Input::KI_V, Rml::Input::KM_CTRL);
    EXPECT_EQ(field->GetValue(), "abcxyz");
    context_->ProcessTextInput("\n\t!");  // control characters are dropped
    EXPECT_EQ(field->GetValue(), "abcxyz!");
}

TEST_F(PointerAndKeyboard, ALongNumberKeepsTheCaretInViewAndShowsItsStartWhenNotEdited) {
    // 5 px a character: the 14 characters take 70 px of a 50 px field.
    Rml::ElementDocument* document = LoadBody(R"(<input id="number" value="1234567.000000"/>)",
                                              R"(body { font-size: 10px; }
                                                 #number { position: absolute; left: 100px; top: 200px; width: 50px; })");
    ShowAndUpdate(document);
    auto* field = static_cast<Rml::ElementInput*>(document->GetElementById("number"));
    field->Focus();
    // The caret at the end sits on the last pixel column.
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 21);
    EXPECT_FLOAT_EQ(system_.last_caret.x, 149);
    for (int i = 0; i < 4; ++i) context_->ProcessKeyDown(Rml::Input::KI_BACK, 0);
    // "1234567.00" fills the field; no blank opens on the right.
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 1);
    for (int i = 0; i < 6; ++i) context_->ProcessKeyDown(Rml::Input::KI_BACK, 0);
    EXPECT_EQ(field->GetValue(), "1234");
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 0);
    context_->ProcessTextInput("567.000000");
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 21);

    // Another entry arrives while the field is not being edited: it shows from its start.
    field->Blur();
    field->SetAttribute("value", "7654321.000000");
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 0);
    // A press lands on the text as shown: x 110 is after "76".
    context_->ProcessMouseMove(110, 205, 0);
    context_->ProcessMouseButtonDown(0, 0);
    context_->ProcessMouseButtonUp(0, 0);
    EXPECT_EQ(field->GetCaretIndex(), 2u);
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 0);
    context_->ProcessKeyDown(Rml::Input::KI_END, 0);
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 21);
    context_->ProcessKeyDown(Rml::Input::KI_HOME, 0);
    EXPECT_FLOAT_EQ(field->UpdateTextScroll(50), 0);
}

TEST_F(PointerAndKeyboard, CaretMovesAndDeletesStepOverWholeCharacters) {
    auto* field = static_cast<Rml::ElementInput*>(document_->GetElementById("field"));
    field->Focus();
    context_->ProcessKeyDown(Rml::Input::KI_HOME, 0);
    context_->ProcessTextInput("\xE2\x82\xAC\xF0\x9F\x98\x80");  // a 3-byte and a 4-byte character
    EXPECT_EQ(field->GetCaretIndex(), 7u);
    context_->ProcessKeyDown(Rml::Input::KI_HOME, 0);
    context_->ProcessKeyDown(Rml::Input::KI_RIGHT, 0);
    EXPECT_EQ(field->GetCaretIndex(), 3u);
    context_->ProcessKeyDown(Rml::Input::KI_DELETE, 0);
    EXPECT_EQ(field->GetValue(), "\xE2\x82\xAC" "abc");
    context_->ProcessKeyDown(Rml::Input::KI_LEFT, 0);
    EXPECT_EQ(field->GetCaretIndex(), 0u);
    context_->ProcessKeyDown(Rml::Input::KI_DELETE, 0);
    EXPECT_EQ(field->GetValue(), "abc");
    context_->ProcessKeyDown(Rml::Input::KI_BACK, 0);  // nothing before the caret
    context_->ProcessKeyDown(Rml::Input::KI_END, 0);
    context_->ProcessKeyDown(Rml::Input::KI_DELETE, 0);  // nothing after it
    EXPECT_EQ(field->GetValue(), "abc");
    // A value bound from outside that cuts the caret's character keeps the caret on a boundary.
    context_->ProcessTextInput("\xC3\xA9");
    EXPECT_EQ(field->GetCaretIndex(), 5u);
    field->SetAttribute("value", "a\xE2\x82\xAC\xE2\x82\xAC");
    EXPECT_EQ(field->GetCaretIndex(), 4u);
}

}  // namespace
