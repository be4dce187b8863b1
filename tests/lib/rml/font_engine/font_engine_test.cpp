#include "lib/rml/font_engine/font_engine.h"

#include <gtest/gtest.h>

#include "lib/rml/demo/demo_page.h"
#include "lib/rml/rml_fixture.h"

namespace {

namespace FontEngine = Rml::FontEngine;

class Fonts : public rml_test::SdlFixture {};

TEST_F(Fonts, MissingGlyphsComeFromTheFallbackFaceScaledToTheLine) {
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kFontPath));
    const FontEngine::FontHandle regular = FontEngine::GetFont("Lato", 20);
    const float without = FontEngine::MeasureText(regular, 20, "ab");
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kEmojiFontPath, true));
    const FontEngine::FontHandle font = FontEngine::GetFont("Lato", 20);
    EXPECT_FLOAT_EQ(FontEngine::MeasureText(font, 20, "ab"), without);
    const float rocket = FontEngine::MeasureText(font, 20, "\xF0\x9F\x9A\x80");
    // The colour emoji face comes in one large size; its glyph is scaled to about the line.
    EXPECT_GT(rocket, 10);
    EXPECT_LT(rocket, 40);
    EXPECT_FLOAT_EQ(FontEngine::MeasureText(font, 20, "ab\xF0\x9F\x9A\x80"), without + rocket);

    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    FontEngine::RenderText(*render_interface_, font, "\xF0\x9F\x9A\x80", {10, 10}, {255, 255, 255, 255}, 1);
    const FontEngine::FontMetrics metrics = FontEngine::GetMetrics(font, 20);
    EXPECT_GT(LitPixels(10, 10, static_cast<int>(rocket) + 1, static_cast<int>(metrics.Height()) + 1), 50);
    EXPECT_EQ(LitPixels(10, 10 + static_cast<int>(metrics.Height()) + 3, 60, 30), 0);
    // Coloured, not drawn in the text colour.
    bool coloured = false;
    for (int x = 10; x < 10 + rocket; ++x) {
        const SDL_Color c = Pixel(x, 10 + static_cast<int>(metrics.Height() / 2));
        coloured = coloured || (c.r != c.g || c.g != c.b);
    }
    EXPECT_TRUE(coloured);
}

TEST_F(Fonts, UnknownFamiliesUseTheFirstRegularFace) {
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kEmojiFontPath, true));
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kFontPath));
    EXPECT_EQ(FontEngine::GetFont("NoSuchFamily", 16), FontEngine::GetFont("lato", 16));
    EXPECT_NE(FontEngine::GetFont("lato", 16), FontEngine::GetFont("lato", 17));
}

}  // namespace
