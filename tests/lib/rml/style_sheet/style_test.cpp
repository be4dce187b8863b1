#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "lib/rml/computed_style/computed_style.h"
#include "lib/rml/property/property.h"
#include "lib/rml/rml_fixture.h"
#include "lib/rml/style_sheet/style_sheet.h"
#include "support/log_capture.h"

namespace {

using Rml::PropertyId;
using Rml::PropertyList;
using Rml::Unit;

const Rml::PropertyValue* Find(const PropertyList& list, PropertyId id) {
    for (const auto& declaration : list) {
        if (declaration.id == id) return &declaration.value;
    }
    return nullptr;
}

TEST(Properties, ColoursInEveryNotation) {
    EXPECT_EQ(Rml::ParseColour("#f80"), (Rml::Colourb{255, 136, 0, 255}));
    EXPECT_EQ(Rml::ParseColour("#FF880080"), (Rml::Colourb{255, 136, 0, 128}));
    EXPECT_EQ(Rml::ParseColour("#102030"), (Rml::Colourb{16, 32, 48, 255}));
    EXPECT_EQ(Rml::ParseColour("rgb(1, 2, 3)"), (Rml::Colourb{1, 2, 3, 255}));
    EXPECT_EQ(Rml::ParseColour("rgba(1, 2, 3, 128)"), (Rml::Colourb{1, 2, 3, 128}));
    EXPECT_EQ(Rml::ParseColour("rgba(1, 2, 3, 0.5)"), (Rml::Colourb{1, 2, 3, 128}));
    EXPECT_EQ(Rml::ParseColour("Transparent"), (Rml::Colourb{0, 0, 0, 0}));
    EXPECT_FALSE(Rml::ParseColour("#12345"));
    EXPECT_FALSE(Rml::ParseColour("chartreuse-ish"));
    EXPECT_FALSE(Rml::ParseColour("rgb(1, 2)"));
}

TEST(Properties, ShorthandsExpandToTheirSides) {
    PropertyList list;
    EXPECT_FALSE(Rml::ParseDeclaration("margin", "1px 2em", list));
    EXPECT_EQ(Find(list, PropertyId::MarginTop)->number, 1);
    EXPECT_EQ(Find(list, PropertyId::MarginRight)->unit, Unit::Em);
    EXPECT_EQ(Find(list, PropertyId::MarginLeft)->number, 2);
    list.clear();
    EXPECT_FALSE(Rml::ParseDeclaration("padding", "1px 2px 3px", list));
    EXPECT_EQ(Find(list, PropertyId::PaddingLeft)->number, 2);
    EXPECT_EQ(Find(list, PropertyId::PaddingBottom)->number, 3);
    list.clear();
    EXPECT_FALSE(Rml::ParseDeclaration("border", "2px solid #00ff00", list));
    EXPECT_EQ(Find(list, PropertyId::BorderLeftWidth)->number, 2);
    EXPECT_EQ(Find(list, PropertyId::BorderBottomColor)->colour, (Rml::Colourb{0, 255, 0, 255}));
    list.clear();
    EXPECT_FALSE(Rml::ParseDeclaration("border", "none", list));
    EXPECT_EQ(Find(list, PropertyId::BorderTopWidth)->number, 0);
    list.clear();
    EXPECT_FALSE(Rml::ParseDeclaration("flex", "2 1 0", list));
    EXPECT_EQ(Find(list, PropertyId::FlexGrow)->number, 2);
    list.clear();
    EXPECT_FALSE(Rml::ParseDeclaration("gap", "4px 8px", list));
    EXPECT_EQ(Find(list, PropertyId::RowGap)->number, 4);
    EXPECT_EQ(Find(list, PropertyId::ColumnGap)->number, 8);
}

TEST(Properties, UnsupportedNamesAndValuesAreReported) {
    PropertyList list;
    EXPECT_TRUE(Rml::ParseDeclaration("float", "left", list));
    EXPECT_TRUE(Rml::ParseDeclaration("width", "12vw", list));
    EXPECT_TRUE(Rml::ParseDeclaration("display", "grid", list));
    EXPECT_TRUE(Rml::ParseDeclaration("border-width", "10%", list));
    EXPECT_TRUE(Rml::ParseDeclaration("width", "12", list));
    EXPECT_TRUE(list.empty());
    std::vector<Rml::String> problems;
    Rml::ParseDeclarationBlock("color: red; bogus: 1; ; width:5px", list,
                               [&](const Rml::String& problem) { problems.push_back(problem); });
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_EQ(list.size(), 2u);
}

TEST(Cascade, InheritanceAndEmUnits) {
    PropertyList parent_list, child_list;
    Rml::ParseDeclarationBlock("font-size: 20px; color: red; width: 50px; line-height: 1.5", parent_list,
                               [](const Rml::String&) {});
    Rml::ParseDeclarationBlock("font-size: 1.5em; padding: 1em", child_list, [](const Rml::String&) {});
    const PropertyList* parent_lists[] = {&parent_list};
    const Rml::ComputedValues parent = Rml::ComputeValues(parent_lists, nullptr);
    const PropertyList* child_lists[] = {&child_list};
    const Rml::ComputedValues child = Rml::ComputeValues(child_lists, &parent);
    EXPECT_FLOAT_EQ(child.font_size, 30);
    EXPECT_FLOAT_EQ(child.padding[0].value, 30);  // em of the element's own font size
    EXPECT_EQ(child.color, (Rml::Colourb{255, 0, 0, 255}));
    EXPECT_TRUE(child.width.IsAuto());  // width does not inherit
    EXPECT_FLOAT_EQ(child.line_height, 45);  // a number line-height follows the child's font size
    EXPECT_EQ(child.border_color[0], child.color);  // unset border colours follow the text colour
}

TEST(Cascade, LaterDeclarationsWin) {
    PropertyList first, second;
    Rml::ParseDeclarationBlock("color: red; display: block", first, [](const Rml::String&) {});
    Rml::ParseDeclarationBlock("color: blue", second, [](const Rml::String&) {});
    const PropertyList* lists[] = {&first, &second};
    const Rml::ComputedValues values = Rml::ComputeValues(lists, nullptr);
    EXPECT_EQ(values.color, (Rml::Colourb{0, 0, 255, 255}));
    EXPECT_EQ(values.display, Rml::Style::Display::Block);
}

class StyleRules : public rml_test::RmlFixture {};

TEST_F(StyleRules, SpecificityThenSourceOrderDecide) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="main" class="box wide"><p class="note">text</p><span>s</span></div>)",
        R"(#main { width: 10px; }
           div.box { width: 20px; height: 7px; }
           .box { width: 30px; height: 8px; }
           div { height: 9px; }
           .wide { height: 6px; }
           div p { color: red; }
           div > p.note { color: blue; }
           body > p { color: green; }
           * { z-index: 3; })");
    ShowAndUpdate(document);
    Rml::Element* main = document->GetElementById("main");
    EXPECT_FLOAT_EQ(main->GetComputedValues().width.value, 10);   // id beats classes
    EXPECT_FLOAT_EQ(main->GetComputedValues().height.value, 7);   // tag + class beats one class
    Rml::Element* note = main->GetChild(0);
    EXPECT_EQ(note->GetComputedValues().color, (Rml::Colourb{0, 0, 255, 255}));
    EXPECT_EQ(note->GetComputedValues().z_index, 3);
}

TEST_F(StyleRules, PseudoClassesAndInlineStyleAndLocalProperties) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="a" style="height: 4px; width: 3px">x</div>)",
        R"(div { width: 1px; height: 1px; }
           div:hover { width: 2px; }
           div:checked:disabled { height: 50px; })");
    ShowAndUpdate(document);
    Rml::Element* a = document->GetElementById("a");
    EXPECT_FLOAT_EQ(a->GetComputedValues().width.value, 3);  // inline style beats the sheet
    a->SetAttribute("style", "height: 4px");
    a->SetPseudoClass("hover", true);
    context_->Update();
    EXPECT_FLOAT_EQ(a->GetComputedValues().width.value, 2);
    a->SetPseudoClass("checked", true);
    a->SetPseudoClass("disabled", true);
    a->RemoveAttribute("style");
    context_->Update();
    EXPECT_FLOAT_EQ(a->GetComputedValues().height.value, 50);
    EXPECT_TRUE(a->SetProperty("height", "9px"));
    context_->Update();
    EXPECT_FLOAT_EQ(a->GetComputedValues().height.value, 9);
    a->RemoveProperty("height");
    context_->Update();
    EXPECT_FLOAT_EQ(a->GetComputedValues().height.value, 50);
}

TEST_F(StyleRules, ClassChangesRestyleDescendants) {
    Rml::ElementDocument* document =
        LoadBody(R"(<div id="outer"><div><span id="inner">t</span></div></div>)", ".on span { color: #00ff00; }");
    ShowAndUpdate(document);
    Rml::Element* inner = document->GetElementById("inner");
    EXPECT_EQ(inner->GetComputedValues().color, (Rml::Colourb{255, 255, 255, 255}));
    document->GetElementById("outer")->SetClass("on", true);
    context_->Update();
    EXPECT_EQ(inner->GetComputedValues().color, (Rml::Colourb{0, 255, 0, 255}));
    // The text node takes its parent's colour.
    EXPECT_EQ(inner->GetChild(0)->GetComputedValues().color, (Rml::Colourb{0, 255, 0, 255}));
}

TEST_F(StyleRules, LongDescendantSelectorsMatchInTimeLinearInTheDepth) {
    std::string deep;  // backtracking over every choice of ancestors took hours here
    for (int i = 0; i < 100; ++i) deep += "<div>";
    deep += "<span id='deep'/>";
    for (int i = 0; i < 100; ++i) deep += "</div>";
    Rml::ElementDocument* document = LoadBody(
        "<p><div><div><div><div><div><div><div><div><div><div id='in-p'/></div></div></div></div></div></div></div></div>"
        "</div></p><div class='a'><div class='b'><div class='b'><span id='s'/></div></div></div>" + deep,
        R"(p div div div div div div div div div div { color: red; }
           .a > .b span { height: 5px; }
           .a > .b > span { width: 7px; })");
    ShowAndUpdate(document);
    const Rml::Colourb red{255, 0, 0, 255};
    EXPECT_EQ(document->GetElementById("in-p")->GetComputedValues().color, red);
    EXPECT_NE(document->GetElementById("in-p")->GetParentNode()->GetComputedValues().color, red);
    EXPECT_NE(document->GetElementById("deep")->GetParentNode()->GetComputedValues().color, red);
    // The nearest .b is not the one below .a; a farther one is.
    const Rml::ComputedValues& s = document->GetElementById("s")->GetComputedValues();
    EXPECT_FLOAT_EQ(s.height.value, 5);
    EXPECT_TRUE(s.width.IsAuto());
}

TEST_F(StyleRules, OutOfRangeValuesAreClampedAndReportedOncePerPropertyAndDocument) {
    test_support::LogCapture log;
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="top" style="position: relative; z-index: 2147483647"/>)"
        R"(<div id="huge" style="font-size: 20000px; width: 1e30px"><p id="em" style="font-size: 1e30em; line-height: 1e30">x</p></div>)");
    ShowAndUpdate(document);
    EXPECT_EQ(document->GetElementById("top")->GetComputedValues().z_index, std::numeric_limits<int>::max());
    Rml::Element* huge = document->GetElementById("huge");
    EXPECT_FLOAT_EQ(huge->GetComputedValues().font_size, Rml::kMaxFontSize);
    EXPECT_FLOAT_EQ(huge->GetComputedValues().width.value, Rml::kMaxLength);
    const Rml::ComputedValues& em = document->GetElementById("em")->GetComputedValues();
    EXPECT_FLOAT_EQ(em.font_size, Rml::kMaxFontSize);
    EXPECT_FLOAT_EQ(em.line_height, Rml::kMaxLength);
    const std::string where = document->GetSourceURL() + ":1: <div>: ";
    EXPECT_EQ(log.count_containing(where + "font-size 20000px is out of range; 400px is used"), 1);
    EXPECT_EQ(log.count_containing(where + "width 1e+30px is out of range; 1e+06px is used"), 1);
    EXPECT_EQ(log.count_containing("line-height 4e+32px is out of range"), 1);
    huge->SetClass("restyled", true);
    context_->Update();
    // One line per property: the em font-size is not reported again, nor a width that changes every frame.
    for (int frame = 2; frame < 6; ++frame) {
        huge->SetProperty("width", std::to_string(frame) + "e30px");
        context_->Update();
    }
    EXPECT_EQ(log.count_containing("is out of range"), 3);
}

TEST_F(StyleRules, BadRulesAreLoggedWithTheirLineAndSkipped) {
    test_support::LogCapture log;
    const std::string sheet_path = dir_.Write("sheet.rcss",
                                              "div { width: 5px; }\n"
                                              "div + p { color: red; }\n"
                                              "p::before { color: red; }\n"
                                              "@media screen { div { width: 1px; } }\n"
                                              "div {\n  color: nonsense;\n  height: 3px;\n}\n");
    (void)sheet_path;
    Rml::ElementDocument* document = LoadText(
        "doc.rml", R"(<rml><head><link type="text/rcss" href="sheet.rcss"/></head><body><div id="d">x</div></body></rml>)");
    ShowAndUpdate(document);
    EXPECT_EQ(log.count_containing("sheet.rcss:2: unsupported selector"), 1);
    EXPECT_EQ(log.count_containing("sheet.rcss:3: pseudo-elements are not supported"), 1);
    EXPECT_EQ(log.count_containing("sheet.rcss:4: unsupported at-rule '@media'"), 1);
    EXPECT_EQ(log.count_containing("sheet.rcss:6: unsupported value 'nonsense' for property 'color'"), 1);
    Rml::Element* d = document->GetElementById("d");
    EXPECT_FLOAT_EQ(d->GetComputedValues().width.value, 5);
    EXPECT_FLOAT_EQ(d->GetComputedValues().height.value, 3);
}

}  // namespace
