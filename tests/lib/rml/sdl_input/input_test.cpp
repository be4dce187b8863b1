#include <gtest/gtest.h>

#include <memory>

#include "lib/rml/demo/demo_page.h"
#include "lib/rml/font_engine/font_engine.h"
#include "lib/rml/rml_fixture.h"

namespace {

using Rml::EventPhase;
using Rml::String;

struct Seen {
    String element;
    String type;
    EventPhase phase;
    bool operator==(const Seen&) const = default;
};

class Recorder : public Rml::EventListener {
public:
    explicit Recorder(std::vector<Seen>& seen) : seen_(seen) {}
    void ProcessEvent(Rml::Event& event) override {
        seen_.push_back({event.GetCurrentElement()->GetId(), event.GetType(), event.GetPhase()});
    }

private:
    std::vector<Seen>& seen_;
};

class Input : public rml_test::SdlFixture {
protected:
    Rml::Vector2f Centre(Rml::Element* element) {
        const Rml::Vector2f at = element->GetAbsoluteOffset();
        const Rml::Vector2f size = element->GetBox().BorderSize();
        return {at.x + size.x / 2, at.y + size.y / 2};
    }
    bool ClickOn(Rml::Element* element) {
        const Rml::Vector2f centre = Centre(element);
        return Click(centre.x, centre.y);
    }
    std::vector<Seen> seen_;
    Recorder recorder_{seen_};
};

TEST_F(Input, AClickTravelsThroughThePhases) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="outer"><div id="button"/></div>)",
        R"(#outer { position: absolute; left: 50px; top: 50px; width: 200px; height: 100px; }
           #button { margin: 20px; height: 40px; })");
    document->Show();
    RenderFrame();
    Rml::Element* outer = document->GetElementById("outer");
    Rml::Element* button = document->GetElementById("button");
    outer->AddEventListener("click", &recorder_, true);
    outer->AddEventListener("click", &recorder_);
    button->AddEventListener("click", &recorder_);
    button->AddEventListener("mousedown", &recorder_);
    EXPECT_FALSE(ClickOn(button));  // consumed by the interface
    const std::vector<Seen> expected = {{"button", "mousedown", EventPhase::Target},
                                        {"outer", "click", EventPhase::Capture},
                                        {"button", "click", EventPhase::Target},
                                        {"outer", "click", EventPhase::Bubble}};
    EXPECT_EQ(seen_, expected);
    seen_.clear();
    EXPECT_TRUE(Click(600, 500));  // beside every document
    EXPECT_TRUE(seen_.empty());
    // A press on the button released beside it clicks their common ancestor only.
    const Rml::Vector2f centre = Centre(button);
    SDL_Event event{};
    event.type = SDL_EVENT_MOUSE_BUTTON_DOWN;
    event.button.button = SDL_BUTTON_LEFT;
    event.button.x = centre.x;
    event.button.y = centre.y;
    Feed(event);
    event.type = SDL_EVENT_MOUSE_BUTTON_UP;
    event.button.y = 55;
    Feed(event);
    EXPECT_EQ(seen_.back(), (Seen{"outer", "click", EventPhase::Target}));
    EXPECT_EQ(std::count_if(seen_.begin(), seen_.end(), [](const Seen& s) { return s.element == "button" && s.type == "click"; }), 0);
}

TEST_F(Input, HoverAndActiveFollowThePointer) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="outer"><div id="inner"/></div>)",
        R"(#outer { position: absolute; left: 0; top: 0; width: 100px; height: 100px; }
           #inner { width: 50px; height: 50px; })");
    document->Show();
    RenderFrame();
    Rml::Element* outer = document->GetElementById("outer");
    Rml::Element* inner = document->GetElementById("inner");
    EXPECT_FALSE(MouseMove(10, 10));
    EXPECT_TRUE(inner->IsPseudoClassSet("hover"));
    EXPECT_TRUE(outer->IsPseudoClassSet("hover"));
    MouseMove(80, 80);
    EXPECT_FALSE(inner->IsPseudoClassSet("hover"));
    EXPECT_TRUE(outer->IsPseudoClassSet("hover"));
    SDL_Event leave{};
    leave.type = SDL_EVENT_WINDOW_MOUSE_LEAVE;
    Feed(leave);
    EXPECT_FALSE(outer->IsPseudoClassSet("hover"));
    EXPECT_EQ(context_->GetHoverElement(), nullptr);
}

TEST_F(Input, ADropDownOverLaterContentTakesTheClick) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="select"><div id="options"/></div><div id="below"/>)",
        R"(#select { position: relative; height: 20px; }
           #options { position: absolute; top: 20px; left: 0; width: 100px; height: 60px; z-index: 10; }
           #below { height: 100px; })");
    document->Show();
    RenderFrame();
    document->GetElementById("options")->AddEventListener("click", &recorder_);
    document->GetElementById("below")->AddEventListener("click", &recorder_);
    Click(10, 40);
    EXPECT_EQ(seen_, (std::vector<Seen>{{"options", "click", EventPhase::Target}}));
}

class DemoInput : public rml_test::SdlFixture {
protected:
    void SetUp() override {
        SdlFixture::SetUp();
        ASSERT_TRUE(rml_demo::LoadDemoFonts());
        rml_demo::RegisterDemoElements();
        ASSERT_TRUE(rml_demo::BindDemoModel(*context_, model_));
        document_ = context_->LoadDocument(rml_demo::kDocumentPath);
        ASSERT_NE(document_, nullptr);
        document_->Show();
        RenderFrame();
    }
    bool ClickOn(const char* id) {
        Rml::Element* element = document_->GetElementById(id);
        const Rml::Vector2f at = element->GetAbsoluteOffset();
        const Rml::Vector2f size = element->GetBox().BorderSize();
        return Click(at.x + size.x / 2, at.y + size.y / 2);
    }
    rml_demo::DemoModel model_;
    Rml::ElementDocument* document_ = nullptr;
    // A listener a test attaches lives until the document goes, in TearDown.
    std::unique_ptr<Rml::EventListener> listener_;
};

TEST_F(DemoInput, TypingIntoAFocusedFieldRaisesChangeAndUpdatesItsVariable) {
    Rml::Element* field = document_->GetElementById("pilot");
    struct ChangeProbe : Rml::EventListener {
        void ProcessEvent(Rml::Event& event) override { values.push_back(event.GetParameter<String>("value", "?")); }
        std::vector<String> values;
    };
    auto probe = std::make_unique<ChangeProbe>();
    const std::vector<String>& values = probe->values;
    field->AddEventListener("change", probe.get());
    listener_ = std::move(probe);

    EXPECT_TRUE(Text("x"));  // no field has the focus: not consumed
    EXPECT_TRUE(values.empty());
    ClickOn("pilot");
    EXPECT_EQ(context_->GetFocusElement(), field);
    EXPECT_TRUE(field->IsPseudoClassSet("focus"));
    EXPECT_TRUE(SDL_TextInputActive(window_));
    EXPECT_FALSE(Text("Ann"));
    EXPECT_FALSE(Text("a"));
    EXPECT_EQ(values, (std::vector<String>{"Ann", "Anna"}));
    EXPECT_EQ(model_.pilot, "Anna");
    Key(SDLK_HOME);
    Key(SDLK_DELETE);
    Key(SDLK_END);
    Key(SDLK_BACKSPACE);
    Key(SDLK_LEFT);
    Text("é");
    EXPECT_EQ(model_.pilot, "n\xC3\xA9n");
    Key(SDLK_RIGHT);
    Key(SDLK_RIGHT);  // already at the end
    Text("!");
    EXPECT_EQ(model_.pilot, "n\xC3\xA9n!");
    Key(SDLK_LEFT);
    Key(SDLK_LEFT);
    Key(SDLK_BACKSPACE);  // removes the whole two-byte character
    EXPECT_EQ(model_.pilot, "nn!");
    EXPECT_EQ(values.back(), "nn!");
    // Ctrl+A selects all of it, a double-click the number under the pointer, drawn highlighted; typing
    // or Backspace replaces the selection.
    Key(SDLK_A, SDL_KMOD_CTRL);
    Text("Bo -460.25 x");
    RenderFrame();
    auto* input = dynamic_cast<Rml::ElementInput*>(field);
    const Rml::Vector2f at = input->GetAbsoluteOffset(Rml::BoxArea::Content);
    Click(at.x + input->GetTextOffset(6), at.y + 2, 2);
    RenderFrame();
    const float line_top = (input->GetBox().content.y - Rml::FontEngine::GetMetrics(input->GetComputedValues()).Height()) / 2;
    const SDL_Color selected = Pixel(static_cast<int>(at.x + input->GetTextOffset(3) + 1), static_cast<int>(at.y + line_top + 1));
    EXPECT_GT(selected.b, selected.r + 60);
    Text("512.5");
    EXPECT_EQ(model_.pilot, "Bo 512.5 x");
    Key(SDLK_A, SDL_KMOD_CTRL);
    Key(SDLK_BACKSPACE);
    EXPECT_EQ(model_.pilot, "");
    Text("nn!");
    RenderFrame();
    // The greeting bound to the same variable follows.
    Rml::Element* greeting = field->GetNextSibling();
    EXPECT_EQ(static_cast<Rml::ElementText*>(greeting->GetChild(0))->GetText(), "hello, nn!");
    // A click beside the field ends typing.
    Click(790, 10);
    EXPECT_NE(context_->GetFocusElement(), field);
    EXPECT_FALSE(SDL_TextInputActive(window_));
    EXPECT_TRUE(Text("ignored"));
    EXPECT_EQ(model_.pilot, "nn!");
}

TEST_F(DemoInput, PasswordsShowStarsAndKeysAreConsumedOnlyWhileTyping) {
    EXPECT_TRUE(Key(SDLK_W));  // the game gets its keys while no field has the focus
    ClickOn("secret");
    EXPECT_FALSE(Text("s3cr\xC3\xABt"));
    auto* secret = dynamic_cast<Rml::ElementInput*>(document_->GetElementById("secret"));
    EXPECT_EQ(secret->GetDisplayText(), "******");
    EXPECT_EQ(model_.secret_length, 6);
    EXPECT_FALSE(Key(SDLK_W));
}

TEST_F(DemoInput, ButtonsRunTheirCallbacksAndTheListFollows) {
    Rml::Element* list = document_->GetElementById("list");
    EXPECT_FALSE(ClickOn("add"));
    RenderFrame();
    EXPECT_EQ(model_.events, (std::vector<String>{"add"}));
    EXPECT_EQ(list->GetNumChildren(), 5);
    EXPECT_NE(document_->GetElementById("status")->GetNumChildren(), 0);
    const Rml::Vector2f third = list->GetChild(3)->GetAbsoluteOffset();
    Click(third.x + 5, third.y + 5);
    RenderFrame();
    EXPECT_EQ(model_.selected, 2);
    EXPECT_TRUE(list->GetChild(3)->IsClassSet("selected"));
    EXPECT_FALSE(list->GetChild(1)->IsClassSet("selected"));
    ClickOn("toggle");
    RenderFrame();
    EXPECT_FALSE(model_.show_details);
    EXPECT_TRUE(document_->GetElementById("toggle")->IsPseudoClassSet("disabled"));
    ClickOn("remove");
    ClickOn("remove");
    RenderFrame();
    EXPECT_EQ(list->GetNumChildren(), 3);
}

TEST_F(DemoInput, TheWheelScrollsAnOverflowBox) {
    for (int i = 0; i < 6; ++i) ClickOn("add");
    RenderFrame();
    Rml::Element* list = document_->GetElementById("list");
    ASSERT_GT(list->GetScrollHeight(), list->GetClientHeight());
    const Rml::Vector2f at = list->GetAbsoluteOffset();
    const float step = 3 * list->GetComputedValues().line_height;
    EXPECT_FALSE(Wheel(at.x + 20, at.y + 20, -1));  // one notch towards the user
    EXPECT_FLOAT_EQ(list->GetScrollTop(), std::min(step, list->GetScrollHeight() - list->GetClientHeight()));
    for (int i = 0; i < 20; ++i) Wheel(at.x + 20, at.y + 20, -1);
    EXPECT_FLOAT_EQ(list->GetScrollTop(), list->GetScrollHeight() - list->GetClientHeight());
    RenderFrame();
    // The rows moved up with the scroll.
    const float last_row_bottom = list->GetChild(list->GetNumChildren() - 1)->GetAbsoluteOffset().y +
                                  list->GetChild(list->GetNumChildren() - 1)->GetBox().BorderSize().y;
    EXPECT_NEAR(last_row_bottom, at.y + list->GetBox().border.top + list->GetClientHeight(), 0.5f);
    Wheel(at.x + 20, at.y + 20, 100);
    EXPECT_FLOAT_EQ(list->GetScrollTop(), 0);
    EXPECT_TRUE(Wheel(790, 590, -1));  // beside the interface
}

}  // namespace
