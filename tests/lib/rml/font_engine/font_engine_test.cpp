#include "lib/rml/font_engine/font_engine.h"

#include <algorithm>
#include <string>
#include <vector>

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

TEST_F(Fonts, KernedPairsSitCloserInMeasureAndDrawing) {
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kFontPath));
    const FontEngine::FontHandle font = FontEngine::GetFont("Lato", 40);
    // Lato kerns "To" by some 5px at this size, also where SDL_ttf has no HarfBuzz.
    EXPECT_LT(FontEngine::MeasureText(font, 40, "To"),
              FontEngine::MeasureText(font, 40, "T") + FontEngine::MeasureText(font, 40, "o") - 3);
    // The p of "Top" follows its o as closely as in "op" (no gap opens after a kerned pair), and
    // ends within the measured width.
    int widest_gap[2] = {};
    int last_lit[2] = {-1, -1};
    const char* texts[2] = {"Top", "op"};
    for (int i = 0; i < 2; ++i) {
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        FontEngine::RenderText(*render_interface_, font, texts[i], {10, 10}, {255, 255, 255, 255}, 1);
        for (int x = 0; x < 100; ++x) {
            if (LitPixels(x, 0, 1, 80) == 0) continue;
            if (last_lit[i] >= 0) widest_gap[i] = std::max(widest_gap[i], x - last_lit[i] - 1);
            last_lit[i] = x;
        }
    }
    EXPECT_GT(widest_gap[1], 0);
    EXPECT_LE(widest_gap[0], widest_gap[1] + 1);
    EXPECT_LT(last_lit[0], 10 + FontEngine::MeasureText(font, 40, "Top"));
    // A line measures as its words and spaces, which the layout breaks it
    // into: narrower, its shrink-to-fit box would wrap it ("Type of slot / 1").
    for (const float size : {14.f, 15.f, 16.f, 18.f}) {
        const FontEngine::FontHandle small = FontEngine::GetFont("Lato", size);
        float pieces = 0;
        for (const char* piece : {"Type", " ", "of", " ", "slot", " ", "1", " ", "Cruiser", " ", "Three"}) {
            pieces += FontEngine::MeasureText(small, size, piece);
        }
        EXPECT_EQ(FontEngine::MeasureText(small, size, "Type of slot 1 Cruiser Three"), pieces) << "at " << size << "px";
    }
}

// Keeps the sizes of the textures asked for, and draws nothing.
class TextureRecorder : public Rml::RenderInterface {
public:
    std::vector<Rml::Vector2i> sizes;
    void RenderGeometry(const Rml::Vertex*, int, const int*, int, Rml::TextureHandle, Rml::Vector2f) override {}
    Rml::TextureHandle LoadTexture(Rml::Vector2i&, const Rml::String&) override { return 0; }
    Rml::TextureHandle GenerateTexture(const Rml::byte*, Rml::Vector2i dimensions) override {
        sizes.push_back(dimensions);
        return sizes.size();
    }
    void ReleaseTexture(Rml::TextureHandle) override {}
    void EnableScissorRegion(bool) override {}
    void SetScissorRegion(Rml::Rectanglei) override {}
};

TEST_F(Fonts, HugeSizesAndLongTextsStayWithinBoundedTextures) {
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kFontPath));
    const FontEngine::FontHandle largest = FontEngine::GetFont("Lato", Rml::kMaxFontSize);
    EXPECT_EQ(FontEngine::GetFont("Lato", 1e30f), largest);
    EXPECT_EQ(FontEngine::GetFont("Lato", 20000), largest);
    // A word some 50000px wide on an 800px screen: only the piece in sight is made.
    std::string word;
    for (int i = 0; i < 200; ++i) word += static_cast<char>('A' + i % 26);
    TextureRecorder recorder;
    FontEngine::RenderText(recorder, largest, word, {-100, 0}, {255, 255, 255, 255}, 1, Rml::Rectanglef{0, 0, 800, 600});
    EXPECT_EQ(recorder.sizes.size(), 1u);
    for (const Rml::Vector2i size : recorder.sizes) {
        EXPECT_LT(size.x, 4096);  // pieces are about 2048px wide
        EXPECT_LE(size.y, Rml::kMaxFontSize * 2);
    }
    FontEngine::ReleaseTextures();  // before the recorder goes
}

TEST_F(Fonts, UnknownFamiliesUseTheFirstRegularFace) {
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kEmojiFontPath, true));
    ASSERT_TRUE(Rml::LoadFontFace(rml_demo::kFontPath));
    EXPECT_EQ(FontEngine::GetFont("NoSuchFamily", 16), FontEngine::GetFont("lato", 16));
    EXPECT_NE(FontEngine::GetFont("lato", 16), FontEngine::GetFont("lato", 17));
}

}  // namespace
