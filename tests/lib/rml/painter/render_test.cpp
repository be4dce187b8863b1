#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "lib/rml/demo/demo_page.h"
#include "lib/rml/rml_fixture.h"

namespace {

bool Near(SDL_Color colour, int r, int g, int b, int tolerance = 3) {
    return std::abs(colour.r - r) <= tolerance && std::abs(colour.g - g) <= tolerance && std::abs(colour.b - b) <= tolerance;
}

// The colours of a rectangle of the target, row by row.
std::vector<SDL_Color> ReadArea(SDL_Renderer* renderer, SDL_Rect area) {
    std::vector<SDL_Color> colours;
    SDL_Surface* surface = SDL_RenderReadPixels(renderer, &area);
    if (!surface) return colours;
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            SDL_Color c{};
            SDL_ReadSurfacePixel(surface, x, y, &c.r, &c.g, &c.b, &c.a);
            colours.push_back(c);
        }
    }
    SDL_DestroySurface(surface);
    return colours;
}

bool SameArea(const std::vector<SDL_Color>& a, const std::vector<SDL_Color>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](SDL_Color x, SDL_Color y) {
               return x.r == y.r && x.g == y.g && x.b == y.b;
           });
}

class Render : public rml_test::SdlFixture {};

TEST_F(Render, BackgroundsAndBordersLandWhereLayoutPutsThem) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="box"/><div id="framed"/>)",
        R"(#box { position: absolute; left: 100px; top: 50px; width: 60px; height: 40px; background-color: #ff0000; }
           #framed { position: absolute; left: 300px; top: 50px; width: 20px; height: 20px; padding: 5px;
                     border: 4px solid #00ff00; background-color: #0000ff; })");
    document->Show();
    RenderFrame();
    EXPECT_TRUE(Near(Pixel(100, 50), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(159, 89), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(99, 60), 0, 0, 0));
    EXPECT_TRUE(Near(Pixel(160, 60), 0, 0, 0));
    EXPECT_TRUE(Near(Pixel(130, 90), 0, 0, 0));
    EXPECT_TRUE(Near(Pixel(301, 60), 0, 255, 0));  // border
    EXPECT_TRUE(Near(Pixel(320, 70), 0, 0, 255));  // padding box background
    EXPECT_TRUE(Near(Pixel(336, 60), 0, 255, 0));
    EXPECT_TRUE(Near(Pixel(338, 60), 0, 0, 0));
}

TEST_F(Render, TextIsDrawnInsideItsBox) {
    ASSERT_TRUE(LoadFont());
    Rml::ElementDocument* document = LoadBody(
        R"(<p id="p">Hello toolkit</p>)",
        R"(#p { position: absolute; left: 200px; top: 200px; width: 300px; font-size: 24px; color: white; })");
    document->Show();
    RenderFrame();
    const Rml::Element* p = document->GetElementById("p");
    const Rml::LayoutBox& box = p->GetBox();
    ASSERT_EQ(p->GetChild(0)->GetBox().text.size(), 1u);
    const Rml::TextFragment& fragment = p->GetChild(0)->GetBox().text[0];
    EXPECT_GT(fragment.width, 100);
    EXPECT_GT(LitPixels(200, 200, static_cast<int>(fragment.width), static_cast<int>(box.content.y)), 100);
    EXPECT_EQ(LitPixels(0, 0, 800, 199), 0);
    EXPECT_EQ(LitPixels(200 + static_cast<int>(fragment.width) + 2, 200, 100, 40), 0);
}

TEST_F(Render, HiddenDocumentsDrawNothing) {
    Rml::ElementDocument* document =
        LoadBody(R"(<div id="box"/>)", "#box { width: 100px; height: 100px; background-color: white; }");
    RenderFrame();
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 0);  // loaded documents start hidden
    document->Show();
    RenderFrame();
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 100 * 100);
    document->Hide();
    RenderFrame();
    EXPECT_EQ(LitPixels(0, 0, 800, 600), 0);
}

TEST_F(Render, OverflowClipsAndZIndexOrdersAndOpacityBlends) {
    Rml::ElementDocument* document = LoadBody(
        R"(<div id="clip"><div id="wide"/></div><div id="high"/><div id="low"/><div id="faded"/>
           <div id="sideways"><div id="wider"/></div><div id="both"><div id="larger"/></div><div id="cover"/>)",
        R"(#clip { position: absolute; left: 10px; top: 10px; width: 50px; height: 50px; overflow: hidden; }
           #wide { width: 200px; height: 200px; background-color: #ffffff; }
           #high { position: absolute; left: 100px; top: 100px; width: 50px; height: 50px; background-color: #ff0000; z-index: 2; }
           #low { position: absolute; left: 120px; top: 120px; width: 50px; height: 50px; background-color: #0000ff; z-index: 1; }
           #faded { position: absolute; left: 300px; top: 300px; width: 10px; height: 10px; background-color: #ffffff; opacity: 0.5; }
           #sideways { position: absolute; left: 400px; top: 10px; width: 100px; height: 40px; overflow: auto; }
           #wider { width: 300px; height: 40px; background-color: #ff0000; }
           #both { position: absolute; left: 600px; top: 10px; width: 100px; height: 40px; overflow: auto; }
           #larger { position: relative; width: 300px; height: 120px; background-color: #ff0000; }
           #cover { position: absolute; left: 680px; top: 40px; width: 30px; height: 20px; background-color: #0000ff; })");
    document->Show();
    RenderFrame();
    EXPECT_TRUE(Near(Pixel(30, 30), 255, 255, 255));
    EXPECT_TRUE(Near(Pixel(70, 30), 0, 0, 0));  // clipped
    EXPECT_TRUE(Near(Pixel(130, 130), 255, 0, 0));  // the later box lies below
    EXPECT_TRUE(Near(Pixel(160, 160), 0, 0, 255));
    EXPECT_TRUE(Near(Pixel(305, 305), 128, 128, 128, 4));
    // A box too narrow for its content shows a thumb along its bottom edge only, over the content.
    EXPECT_FALSE(Near(Pixel(410, 47), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(497, 20), 255, 0, 0));
    // Both thumbs over a content that paints late (positioned), under what paints above the box; the
    // bottom one where the scroll offset puts it.
    EXPECT_FALSE(Near(Pixel(697, 12), 255, 0, 0));
    EXPECT_FALSE(Near(Pixel(610, 47), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(670, 47), 255, 0, 0));
    document->GetElementById("both")->SetScrollLeft(200);
    RenderFrame();
    EXPECT_TRUE(Near(Pixel(610, 47), 255, 0, 0));
    EXPECT_FALSE(Near(Pixel(670, 47), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(690, 47), 0, 0, 255));
}

TEST_F(Render, BoxesReachingFarBeyondTheScreenDrawTheirVisiblePart) {
    // Boxes pulled up a million pixels each put the tall box's top at -1.1e9, its bottom at 1.1e9.
    std::string body;
    for (int i = 0; i < 1100; ++i) body += "<div class='up'/>";
    body += "<div id='tall'>";
    for (int i = 0; i < 2200; ++i) body += "<div class='slab'/>";
    Rml::ElementDocument* document = LoadBody(body + "</div>", R"(.up { margin-top: -1000000px; }
        .slab { height: 1000000px; }
        #tall { background-color: #ff0000; border: 2px solid #00ff00; border-radius: 4px; })");
    document->Show();
    RenderFrame();
    EXPECT_TRUE(Near(Pixel(400, 300), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(0, 300), 0, 255, 0));
}

TEST_F(Render, ImagesAndRoundedCorners) {
    Rml::ElementDocument* document = LoadBody(
        "<img id='ship' src='" + std::filesystem::absolute("tests/lib/rml/demo/ship.png").string() +
            "'/><div id='round'/>",
        R"(#ship { position: absolute; left: 400px; top: 10px; }
           #round { position: absolute; left: 500px; top: 10px; width: 40px; height: 40px; border-radius: 12px; background-color: #ffffff; })");
    document->Show();
    RenderFrame();
    EXPECT_TRUE(Near(Pixel(405, 15), 0, 200, 60));
    EXPECT_TRUE(Near(Pixel(429, 15), 255, 220, 0));
    EXPECT_TRUE(Near(Pixel(520, 30), 255, 255, 255));
    EXPECT_TRUE(Near(Pixel(500, 10), 0, 0, 0));  // outside the rounded corner
}

TEST_F(Render, ATextFieldShowsItsTextAfterDeletesAtTheEndAndItsStartWhenNotEdited) {
    ASSERT_TRUE(LoadFont());
    Rml::ElementDocument* document = LoadBody(
        R"(<input id="edited" value="1234567.000000"/><input id="fresh" value="7654321.000000"/>)",
        R"(input { position: absolute; left: 100px; width: 60px; height: 20px; font-size: 16px; color: white; }
           #edited { top: 100px; }
           #fresh { top: 200px; })");
    document->Show();
    Rml::Element* edited = document->GetElementById("edited");
    edited->Focus();  // the caret goes to the end, the text scrolls left
    RenderFrame();
    for (int i = 0; i < 10; ++i) Key(SDLK_BACKSPACE);
    RenderFrame();
    // "1234" is narrower than the field: it is drawn from the field's left edge.
    EXPECT_GT(LitPixels(102, 100, 20, 20), 20);
    Text("567.000000");
    RenderFrame();
    // Left scrolled to its end and given another entry, it draws like a field never edited.
    Click(700, 500);
    edited->SetAttribute("value", "7654321.000000");
    RenderFrame();
    const std::vector<SDL_Color> shown = ReadArea(renderer_, {100, 100, 60, 20});
    EXPECT_GT(LitPixels(100, 100, 60, 20), 50);
    EXPECT_TRUE(SameArea(shown, ReadArea(renderer_, {100, 200, 60, 20})));
}

TEST_F(Render, TheDemoDocumentDraws) {
    ASSERT_TRUE(rml_demo::LoadDemoFonts());
    rml_demo::RegisterDemoElements();
    rml_demo::DemoModel model;
    ASSERT_TRUE(rml_demo::BindDemoModel(*context_, model));
    Rml::ElementDocument* document = context_->LoadDocument(rml_demo::kDocumentPath);
    ASSERT_NE(document, nullptr);
    document->Show();
    RenderFrame();
    Rml::Element* panel = document->GetElementById("panel");
    const Rml::Vector2f corner = panel->GetAbsoluteOffset(Rml::BoxArea::Padding);
    EXPECT_TRUE(Near(Pixel(static_cast<int>(corner.x) + 3, static_cast<int>(corner.y) + 3), 18, 22, 36, 6));
    Rml::Element* list = document->GetElementById("list");
    EXPECT_EQ(list->GetNumChildren(), 4);  // placeholder and three ships
    const Rml::Vector2f row = list->GetChild(1)->GetAbsoluteOffset();
    EXPECT_TRUE(Near(Pixel(static_cast<int>(row.x) + 2, static_cast<int>(row.y) + 2), 48, 64, 112, 4));  // selected
    const Rml::Vector2f image = document->GetElementById("ship-image")->GetAbsoluteOffset();
    EXPECT_TRUE(Near(Pixel(static_cast<int>(image.x) + 2, static_cast<int>(image.y) + 2), 0, 200, 60, 40));
    Rml::Debugger::Initialise(context_);
    Rml::Debugger::SetVisible(true);
    MouseMove(corner.x + 5, corner.y + 5);
    RenderFrame();
    EXPECT_GT(LitPixels(0, 560, 300, 40), 50);  // the debugger's caption
}

}  // namespace
