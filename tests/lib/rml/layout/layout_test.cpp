#include <gtest/gtest.h>

#include "lib/rml/rml_fixture.h"
#include "support/log_capture.h"

namespace {

using Rml::Vector2f;

// Without a font face the toolkit measures every character as half the font
// size wide, with ascent 0.8 and descent 0.2 of it: exact numbers for tests.
class Layout : public rml_test::RmlFixture {
protected:
    Rml::ElementDocument* Lay(const std::string& body, const std::string& style) {
        Rml::ElementDocument* document = LoadBody(body, "body { font-size: 10px; } " + style);
        ShowAndUpdate(document);
        return document;
    }
    Rml::Element* Get(Rml::ElementDocument* document, const char* id) {
        Rml::Element* element = document->GetElementById(id);
        EXPECT_NE(element, nullptr) << id;
        return element;
    }
    static Vector2f Position(Rml::Element* element) { return element->GetAbsoluteOffset(); }
    static Vector2f Size(Rml::Element* element) { return element->GetBox().BorderSize(); }
};

TEST_F(Layout, BlockFlowWithMarginsBordersAndPadding) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="a"/><div id="b"/><div id="c"/><div id="d"/>)",
        R"(#a { margin: 10px; padding: 5px; border: 2px solid red; height: 20px; }
           #b { width: 50%; height: 1em; max-width: 300px; min-height: 15px; }
           #c { width: 200px; height: 10px; margin: 0 auto; }
           #d { width: 100px; padding: 10%; height: 0; })");
    EXPECT_EQ(Position(Get(document, "a")), (Vector2f{10, 10}));
    EXPECT_EQ(Size(Get(document, "a")), (Vector2f{780, 34}));
    EXPECT_EQ(Get(document, "a")->GetAbsoluteOffset(Rml::BoxArea::Content), (Vector2f{17, 17}));
    EXPECT_EQ(Position(Get(document, "b")), (Vector2f{0, 54}));
    EXPECT_EQ(Size(Get(document, "b")), (Vector2f{300, 15}));
    EXPECT_EQ(Position(Get(document, "c")), (Vector2f{300, 69}));
    EXPECT_EQ(Size(Get(document, "d")), (Vector2f{260, 160}));  // padding percentages follow the width
    EXPECT_FLOAT_EQ(document->GetBox().content.y, 79 + 160);
}

TEST_F(Layout, TextWrapsAtWordsAndAlignsPerLine) {
    Rml::ElementDocument* document = Lay(
        R"(<p id="left">aaaa  bbbb cccc   dddd</p><p id="center">aaaa bbbb cccc</p><p id="forced">aa<br/>bb</p>)",
        R"(p { width: 60px; } #center { text-align: center; })");
    const auto& left = Get(document, "left")->GetChild(0)->GetBox().text;
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].text, "aaaa bbbb");
    EXPECT_EQ(left[1].text, "cccc dddd");
    EXPECT_FLOAT_EQ(left[0].width, 45);
    EXPECT_FLOAT_EQ(left[1].position.y - left[0].position.y, 12);  // line-height 1.2 of 10px
    EXPECT_FLOAT_EQ(Get(document, "left")->GetBox().content.y, 24);
    const auto& center = Get(document, "center")->GetChild(0)->GetBox().text;
    ASSERT_EQ(center.size(), 2u);
    EXPECT_FLOAT_EQ(center[0].position.x, 7.5f);
    EXPECT_FLOAT_EQ(center[1].position.x, 20);
    Rml::Element* forced = Get(document, "forced");
    ASSERT_EQ(forced->GetNumChildren(), 3);
    EXPECT_FLOAT_EQ(forced->GetChild(2)->GetBox().text[0].position.y - forced->GetChild(0)->GetBox().text[0].position.y,
                    12);
}

TEST_F(Layout, InlineElementsAndInlineBlocksShareLines) {
    Rml::ElementDocument* document = Lay(
        R"(<p id="p">ab <span id="s">cd</span> <div id="ib"/> ef</p>)",
        R"(p { width: 200px; } #s { padding: 0 3px; background-color: red; }
           #ib { display: inline-block; width: 30px; height: 20px; })");
    Rml::Element* span = Get(document, "s");
    ASSERT_EQ(span->GetBox().fragments.size(), 1u);
    EXPECT_FLOAT_EQ(span->GetBox().fragments[0].x, 15);      // "ab " is 15 px
    EXPECT_FLOAT_EQ(span->GetBox().fragments[0].width, 16);  // "cd" plus 3 px each side
    Rml::Element* block = Get(document, "ib");
    EXPECT_FLOAT_EQ(Position(block).x, 36);  // after the span and a space
    // The box sits on the baseline: its bottom at the text's baseline.
    const auto& text = Get(document, "p")->GetChild(0)->GetBox().text;
    const float baseline = text[0].position.y + 8;
    EXPECT_FLOAT_EQ(Position(block).y + 20, baseline);
    EXPECT_GT(Get(document, "p")->GetBox().content.y, 20);
}

TEST_F(Layout, FlexRowGrowsGapsAndAligns) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="row"><div id="a"/><div id="b"/><div id="c"/></div>
           <div id="spread"><div class="i"/><div class="i"/><div class="i"/></div>
           <div id="stretch"><div id="tall"/><div id="auto"/></div>
           <div id="centred"><div id="wider"/></div>)",
        R"(#row { display: flex; width: 300px; gap: 10px; align-items: center; }
           #a { width: 50px; height: 20px; } #b { flex: 1; height: 10px; } #c { width: 50px; height: 30px; }
           #spread { display: flex; width: 300px; justify-content: space-between; }
           .i { width: 40px; height: 5px; }
           #stretch { display: flex; width: 100px; }
           #tall { width: 10px; height: 40px; } #auto { width: 10px; }
           #centred { display: flex; width: 100px; justify-content: center; } #wider { width: 140px; height: 5px; })");
    const float row_top = Position(Get(document, "row")).y;
    EXPECT_EQ(Position(Get(document, "a")), (Vector2f{0, row_top + 5}));
    EXPECT_EQ(Position(Get(document, "b")), (Vector2f{60, row_top + 10}));
    EXPECT_FLOAT_EQ(Size(Get(document, "b")).x, 180);
    EXPECT_EQ(Position(Get(document, "c")), (Vector2f{250, row_top}));
    EXPECT_FLOAT_EQ(Size(Get(document, "row")).y, 30);
    Rml::Element* spread = Get(document, "spread");
    EXPECT_FLOAT_EQ(Position(spread->GetChild(1)).x, 130);
    EXPECT_FLOAT_EQ(Position(spread->GetChild(2)).x, 260);
    EXPECT_FLOAT_EQ(Size(Get(document, "auto")).y, 40);  // stretched to the line
    EXPECT_FLOAT_EQ(Position(Get(document, "wider")).x, -20);  // too wide, it sticks out on both sides alike
}

TEST_F(Layout, FlexRowShrinksAutoWidthItemsDownToTheirLongestWord) {
    Rml::ElementDocument* document = Lay(
        R"(<div class="row"><div class="fixed"/><div id="text">aaaa bbbb cccc</div></div>
           <div class="row"><div class="fixed"/><div id="word">aaaaaaaaaaaaaaaa</div></div>
           <div class="row"><div class="fixed"/><div id="gapped"><div>aaaaaaaa</div><div>bbbbbbbb</div></div></div>)",
        R"(.row { display: flex; width: 100px; } .fixed { width: 40px; height: 5px; }
           #gapped { display: flex; gap: 10px; })");
    Rml::Element* text = Get(document, "text");
    EXPECT_FLOAT_EQ(Size(text).x, 60);
    EXPECT_FLOAT_EQ(Size(text->GetParentNode()->GetChild(0)).x, 40);
    ASSERT_EQ(text->GetChild(0)->GetBox().text.size(), 2u);
    EXPECT_FLOAT_EQ(Size(Get(document, "word")).x, 80);  // no narrower than its word: it overflows
    EXPECT_FLOAT_EQ(Size(Get(document, "gapped")).x, 90);   // nor than its items' words and the gap between
}

// The names the editors show, at the sizes their pages show them: a box
// sized to a name holds it on one line ("Cruiser" above "Three" was not).
TEST_F(Layout, ABoxSizedToAGameNameHoldsItOnOneLine) {
    ASSERT_TRUE(LoadFont());
    const char* names[] = {"Frigate One", "Frigate Two", "Frigate Three", "Frigate Four", "Destroyer One",
                           "Destroyer Two", "Destroyer Three", "Cruiser One", "Cruiser Two", "Cruiser Three",
                           "Battleship One", "Battleship Two", "Small One", "Small Two", "Small Three",
                           "Medium One", "Medium Two", "Medium Three", "Large One", "Large Two", "Large Three"};
    for (const int size : {13, 14, 15, 18}) {
        std::string body;
        for (const char* name : names) {
            body += std::string(R"(<div class="row"><div class="name">)") + name + "</div></div>";
            body += std::string(R"(<div><div class="block">)") + name + "</div></div>";
        }
        Rml::ElementDocument* document =
            Lay(body, ".row { display: flex; } .block { display: inline-block; } body { font-family: Lato; font-size: " +
                          std::to_string(size) + "px; }");
        for (int i = 0; i < document->GetNumChildren(); ++i) {
            Rml::Element* name = document->GetChild(i)->GetChild(0);
            EXPECT_EQ(name->GetChild(0)->GetBox().text.size(), 1u)
                << names[i / 2] << " at " << size << "px in a " << name->GetClassNames();
        }
    }
}

TEST_F(Layout, FlexColumnWithDefiniteHeight) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="column"><div id="top"/><div id="fill"/><div id="narrow"/></div>)",
        R"(#column { display: flex; flex-direction: column; width: 100px; height: 200px; row-gap: 5px; align-items: stretch; }
           #top { height: 20px; } #fill { flex-grow: 1; } #narrow { height: 10px; width: 30px; })");
    EXPECT_FLOAT_EQ(Size(Get(document, "top")).x, 100);
    EXPECT_FLOAT_EQ(Size(Get(document, "fill")).y, 200 - 20 - 10 - 10);
    EXPECT_FLOAT_EQ(Position(Get(document, "narrow")).y, 190);
    EXPECT_FLOAT_EQ(Size(Get(document, "narrow")).x, 30);
}

// A column taller than its height takes the excess from its scroll
// containers, which then scroll, and from items given a min-height, none below
// it; other items keep their content height as in CSS, so the nested body
// needs min-height: 0 to hand its rows the height left.
TEST_F(Layout, FlexColumnShrinksScrollContainersToTheHeightLeft) {
    const std::string six = R"(<div class="i"/><div class="i"/><div class="i"/><div class="i"/><div class="i"/><div class="i"/>)";
    Rml::ElementDocument* document = Lay(
        R"(<div class="c"><div class="bar"/><div id="list" class="scroll">)" + six +
            R"(</div><div id="foot"/></div>
           <div class="c"><div class="bar"/><div id="body" class="r"><div class="c side"><div id="rows" class="scroll">)" +
            six + R"(</div></div></div></div>
           <div class="c"><div class="bar"/><div id="spills" class="r"><div class="c side"><div class="scroll">)" + six +
            R"(</div></div></div></div>
           <div class="c"><div id="kept" class="scroll">)" + six +
            R"(</div><div id="gives" class="scroll"><div class="i"/><div class="i"/></div></div>)",
        R"(.c { display: flex; flex-direction: column; height: 100px; width: 50px; }
           .r { display: flex; flex-grow: 1; } #body { min-height: 0; } .side { height: auto; flex-grow: 1; }
           .bar { height: 20px; } #foot { height: 10px; } .i { height: 30px; }
           .scroll { flex-grow: 1; overflow: auto; } #kept { min-height: 80px; })");
    Rml::Element* list = Get(document, "list");
    EXPECT_FLOAT_EQ(Size(list).y, 70);
    EXPECT_FLOAT_EQ(list->GetScrollHeight(), 180);
    // Measured at its content's height on the way, it keeps its scroll offset through a new layout.
    list->SetScrollTop(1000);
    Get(document, "foot")->SetProperty("height", "12px");
    context_->Update();
    EXPECT_FLOAT_EQ(Size(list).y, 68);
    EXPECT_FLOAT_EQ(list->GetScrollTop(), 110);
    EXPECT_FLOAT_EQ(Size(Get(document, "body")).y, 80);
    EXPECT_FLOAT_EQ(Size(Get(document, "rows")).y, 80);
    EXPECT_FLOAT_EQ(Size(Get(document, "spills")).y, 180);
    // 80 px too tall: shared 120 to 60, the first stops at its 80, the other takes the rest.
    EXPECT_FLOAT_EQ(Size(Get(document, "kept")).y, 80);
    EXPECT_FLOAT_EQ(Size(Get(document, "gives")).y, 20);
}

// A column lays each item out to measure it and again at its size; nesting as
// deep as a document may go must not multiply that (ctest's timeout guards it).
// Each column's min-height halves its parent's height down to the innermost 7 px.
TEST_F(Layout, FlexContainersNestedAsDeepAsADocumentGoes) {
    std::string body;
    for (const std::string kind : {"column", "row"}) {
        for (int depth = 1; depth <= 256; ++depth) {
            body += "<div id='" + kind + std::to_string(depth) + "' class='" + kind + "'>";
        }
        for (int depth = 1; depth <= 256; ++depth) body += "</div>";
    }
    Rml::ElementDocument* document = Lay(
        body, R"(.column { display: flex; flex-direction: column; min-height: 50%; } #column1 { height: 1024px; }
                 #column256 { height: 7px; }
                 .row { display: flex; padding: 1px 0 0 1px; } #row256 { width: 7px; height: 3px; })");
    EXPECT_FLOAT_EQ(Size(Get(document, "column4")).y, 128);
    EXPECT_FLOAT_EQ(Size(Get(document, "column9")).y, 7);
    EXPECT_FLOAT_EQ(Size(Get(document, "row1")).y, 3 + 256);
    EXPECT_FLOAT_EQ(Position(Get(document, "row256")).x, 255);
}

TEST_F(Layout, AbsoluteAndRelativePositioning) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="frame"><div id="corner"/><div id="stretched"/><div id="shifted"/></div><div id="screen"/>)",
        R"(#frame { position: relative; margin-left: 100px; margin-top: 50px; width: 200px; height: 100px; border: 1px solid red; }
           #corner { position: absolute; right: 10px; bottom: 5px; width: 20px; height: 10px; }
           #stretched { position: absolute; left: 10px; right: 10px; top: 0; height: 5px; }
           #shifted { position: relative; left: 4px; top: 6px; height: 10px; }
           #screen { position: absolute; right: 0; bottom: 0; width: 50px; height: 40px; })");
    EXPECT_EQ(Position(Get(document, "corner")), (Vector2f{101 + 200 - 10 - 20, 51 + 100 - 5 - 10}));
    EXPECT_EQ(Position(Get(document, "stretched")), (Vector2f{111, 51}));
    EXPECT_FLOAT_EQ(Size(Get(document, "stretched")).x, 180);
    // Absolute boxes leave the flow: the relative one starts at the frame's top.
    EXPECT_EQ(Position(Get(document, "shifted")), (Vector2f{105, 57}));
    EXPECT_EQ(Position(Get(document, "screen")), (Vector2f{750, 560}));
}

TEST_F(Layout, OverflowScrollsAndClips) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="box"><div class="item"/><div class="item"/><div class="item"/><div class="item"/></div><div id="after"/>
           <div id="narrow"><div id="wide"/></div>)",
        R"(#box { height: 50px; overflow: auto; padding: 5px; } .item { height: 30px; } #after { height: 1px; }
           #narrow { width: 100px; height: 20px; overflow: auto; } #wide { width: 300px; height: 20px; })");
    Rml::Element* box = Get(document, "box");
    EXPECT_FLOAT_EQ(box->GetClientHeight(), 60);
    EXPECT_FLOAT_EQ(box->GetScrollHeight(), 130);
    EXPECT_FLOAT_EQ(Position(Get(document, "after")).y, 60);
    box->SetScrollTop(1000);
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 70);
    context_->Update();
    EXPECT_FLOAT_EQ(Position(box->GetChild(0)).y, 5 - 70);
    EXPECT_EQ(box->GetChild(0)->GetBox().clip, (Rml::Rectanglef{0, 0, 800, 60}));
    box->SetScrollTop(-5);
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 0);

    // Brought into view at the next update, only as far as it takes.
    box->GetChild(3)->ScrollIntoView({Rml::ScrollAlignment::Nearest});
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 0);
    context_->Update();
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 5 + 4 * 30 - 60);
    EXPECT_FLOAT_EQ(Position(box->GetChild(3)).y + 30, 60);
    box->GetChild(2)->ScrollIntoView({Rml::ScrollAlignment::Nearest});
    context_->Update();
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 65);
    box->GetChild(0)->ScrollIntoView();
    context_->Update();
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 5);
    // An element gone before the update is left alone.
    box->GetChild(3)->ScrollIntoView({Rml::ScrollAlignment::End});
    box->RemoveChild(box->GetChild(3));
    context_->Update();
    EXPECT_FLOAT_EQ(box->GetScrollTop(), 5);

    // With Shift held the wheel scrolls a box that is too narrow sideways.
    Rml::Element* narrow = Get(document, "narrow");
    context_->ProcessMouseMove(10, static_cast<int>(Position(narrow).y) + 5, 0);
    context_->ProcessMouseWheel(1.f, Rml::Input::KM_SHIFT);
    EXPECT_FLOAT_EQ(narrow->GetScrollLeft(), 36);  // three lines of 12px
    EXPECT_FLOAT_EQ(narrow->GetScrollTop(), 0);
}

TEST_F(Layout, DisplayNoneTakesNoSpace) {
    Rml::ElementDocument* document =
        Lay(R"(<div id="gone"><p id="inside">x</p></div><div id="next"/>)", "#gone { display: none; height: 50px; } #next { height: 5px; }");
    EXPECT_FALSE(Get(document, "gone")->GetBox().rendered);
    EXPECT_FALSE(Get(document, "inside")->GetBox().rendered);
    EXPECT_FLOAT_EQ(Position(Get(document, "next")).y, 0);
    Get(document, "gone")->SetProperty("display", "block");
    context_->Update();
    EXPECT_FLOAT_EQ(Position(Get(document, "next")).y, 50);
}

TEST_F(Layout, OnlyLayoutChangesRedoTheLayout) {
    Rml::ElementDocument* document = Lay(
        R"(<div id="d"/>)", "#d { height: 10px; } #d:hover { background-color: red; } #d:active { height: 20px; }");
    Rml::Element* d = Get(document, "d");
    EXPECT_FALSE(document->IsLayoutDirty());
    d->SetPseudoClass("hover", true);
    document->UpdateStyle();
    EXPECT_FALSE(document->IsLayoutDirty());  // colour only
    d->SetPseudoClass("active", true);
    document->UpdateStyle();
    EXPECT_TRUE(document->IsLayoutDirty());
    context_->Update();
    EXPECT_FLOAT_EQ(Size(d).y, 20);
    EXPECT_FALSE(document->IsLayoutDirty());
    context_->SetDimensions({400, 300});
    EXPECT_TRUE(document->IsLayoutDirty());
}

TEST_F(Layout, ImagesTakeTheirSizeFromTheFileOrTheStyle) {
    test_support::LogCapture log;
    const std::string png = "tests/lib/rml/demo/ship.png";
    const std::string absolute = std::filesystem::absolute(png).string();
    Rml::ElementDocument* document = Lay(
        "<img id='natural' src='" + absolute + "'/><img id='scaled' src='" + absolute +
            "'/><img id='missing' src='nowhere.png'/><input id='field'/>",
        "#scaled { width: 64px; } img, input { display: block; }");
    EXPECT_EQ(Size(Get(document, "natural")), (Vector2f{32, 16}));
    EXPECT_EQ(Size(Get(document, "scaled")), (Vector2f{64, 32}));
    EXPECT_EQ(Size(Get(document, "missing")), (Vector2f{0, 0}));
    EXPECT_EQ(log.count_containing(":1: cannot load image '" + dir_.Path("nowhere.png") + "'"), 1);
    EXPECT_EQ(Size(Get(document, "field")), (Vector2f{150, 12}));
}

}  // namespace
