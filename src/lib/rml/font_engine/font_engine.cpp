#include "lib/rml/font_engine/font_engine.h"

#include <cmath>
#include <list>
#include <memory>
#include <unordered_map>

#include <SDL3/SDL.h>
#include <SDL3_ttf/SDL_ttf.h>
#include <spdlog/spdlog.h>

#include "lib/rml/painter/painter.h"
#include "lib/rml/string_utilities/string_utilities.h"

namespace Rml::FontEngine {

namespace {

// Widest text texture, in pixels: wider text is drawn in pieces.
constexpr float kMaxPieceWidth = 2048;

struct Face {
    String path;
    String family;  // lower case
    bool fallback = false;
    int face_index = 0;
};

// One face opened at one pixel size.
struct SizedFace {
    TTF_Font* font = nullptr;
    float scale = 1;  // drawing scale (fixed-size colour fonts are scaled to the line)
    float ascent = 0;
    std::unordered_map<char32_t, bool> has_glyph;

    bool HasGlyph(char32_t code_point) {
        const auto it = has_glyph.find(code_point);
        if (it != has_glyph.end()) return it->second;
        const bool has = TTF_FontHasGlyph(font, code_point);
        has_glyph.emplace(code_point, has);
        return has;
    }
};

// A family at a size: the main face first, then the fallback faces.
struct Font {
    std::vector<std::unique_ptr<SizedFace>> faces;
    FontMetrics metrics;
    std::unordered_map<String, float> widths;
};

struct Run {
    SizedFace* face;
    std::string_view text;
    float kerning = 0;  // added before the run: the pair kerning with the previous run's last glyph
};

struct CachedText {
    TextureHandle texture = 0;
    Vector2f size;
    std::uint64_t last_frame = 0;
    RenderInterface* owner = nullptr;
};

struct State {
    bool initialised = false;
    bool kerns_pairs = false;  // the engine kerns pairs itself: SDL_ttf has no HarfBuzz
    std::vector<Face> faces;
    std::vector<std::unique_ptr<Font>> fonts;
    std::unordered_map<String, FontHandle> font_by_key;   // family and size
    std::unordered_map<String, FontHandle> font_by_face;  // face and size
    std::unordered_map<String, CachedText> texts;
    std::uint64_t frame = 0;
    bool warned_no_face = false;
    std::vector<String> warned_families;
};

State& GetState() {
    static State state;
    return state;
}

TTF_Font* OpenFace(const Face& face, float size) {
    const SDL_PropertiesID properties = SDL_CreateProperties();
    SDL_SetStringProperty(properties, TTF_PROP_FONT_CREATE_FILENAME_STRING, face.path.c_str());
    SDL_SetFloatProperty(properties, TTF_PROP_FONT_CREATE_SIZE_FLOAT, size);
    SDL_SetNumberProperty(properties, TTF_PROP_FONT_CREATE_FACE_NUMBER, face.face_index);
    TTF_Font* font = TTF_OpenFontWithProperties(properties);
    SDL_DestroyProperties(properties);
    return font;
}

std::unique_ptr<SizedFace> OpenSized(const Face& face, float size, float main_height) {
    TTF_Font* font = OpenFace(face, size);
    if (!font) return nullptr;
    auto sized = std::make_unique<SizedFace>();
    sized->font = font;
    sized->ascent = static_cast<float>(TTF_GetFontAscent(font));
    const float height = static_cast<float>(TTF_GetFontHeight(font));
    // Bitmap colour fonts come in one fixed size; scale their glyphs to the line.
    if (main_height > 0 && !TTF_FontIsScalable(font) && height > 0) sized->scale = main_height / height;
    return sized;
}

int MainFaceFor(const String& family) {
    State& state = GetState();
    const String wanted = StringUtilities::ToLower(family);
    int first_regular = -1;
    for (std::size_t i = 0; i < state.faces.size(); ++i) {
        if (state.faces[i].fallback) continue;
        if (first_regular < 0) first_regular = static_cast<int>(i);
        if (!wanted.empty() && state.faces[i].family == wanted) return static_cast<int>(i);
    }
    if (!wanted.empty() && first_regular >= 0 &&
        std::find(state.warned_families.begin(), state.warned_families.end(), wanted) == state.warned_families.end()) {
        state.warned_families.push_back(wanted);
        SPDLOG_WARN("No font face of family '{}'; using '{}'", family, state.faces[first_regular].family);
    }
    return first_regular >= 0 ? first_regular : 0;
}

Font* FontOf(FontHandle handle) {
    State& state = GetState();
    if (handle < 0 || handle >= static_cast<FontHandle>(state.fonts.size())) return nullptr;
    return state.fonts[static_cast<std::size_t>(handle)].get();
}

float PairKerning(const SizedFace& face, char32_t previous, char32_t code_point) {
    int kerning = 0;
    if (!TTF_GetGlyphKerning(face.font, previous, code_point, &kerning)) return 0;
    return static_cast<float>(kerning) * face.scale;
}

// Splits text into runs of one face each: the main face where it has the glyph.
// A space is a run of its own, and where the engine kerns pairs itself a kerned pair starts one too.
std::vector<Run> SplitRuns(Font& font, std::string_view text) {
    const bool kerns_pairs = GetState().kerns_pairs;
    std::vector<Run> runs;
    std::size_t run_start = 0;
    std::size_t offset = 0;
    char32_t previous = 0;
    while (offset < text.size()) {
        const std::size_t start = offset;
        const char32_t code_point = StringUtilities::DecodeUtf8(text, offset);
        SizedFace* face = font.faces.front().get();
        if (code_point > 0x7F && !face->HasGlyph(code_point)) {
            for (std::size_t i = 1; i < font.faces.size(); ++i) {
                if (font.faces[i]->HasGlyph(code_point)) {
                    face = font.faces[i].get();
                    break;
                }
            }
        }
        const bool same_face = !runs.empty() && runs.back().face == face;
        // The layout breaks lines at spaces and sums the widths of words and
        // spaces; a line measured whole must come to that same sum, with no
        // kerning across a space and each piece rounded alone, or a box sized
        // to the line is too narrow for it and wraps it.
        const bool at_space = previous == ' ' || code_point == ' ';
        const float kerning = kerns_pairs && same_face && !at_space ? PairKerning(*face, previous, code_point) : 0;
        if (!same_face || kerning != 0 || at_space) {
            run_start = start;
            runs.push_back({face, {}, kerning});
        }
        runs.back().text = text.substr(run_start, offset - run_start);
        previous = code_point;
    }
    return runs;
}

float RunWidth(const Run& run) {
    int width = 0;
    int height = 0;
    if (!TTF_GetStringSize(run.face->font, run.text.data(), run.text.size(), &width, &height)) return 0;
    return static_cast<float>(width) * run.face->scale;
}

CachedText* RenderRun(RenderInterface& render_interface, FontHandle handle, const Run& run, Colourb colour) {
    State& state = GetState();
    String key = std::to_string(handle) + ':' + std::to_string(reinterpret_cast<std::uintptr_t>(run.face)) + ':' +
                 std::to_string(colour.red) + ',' + std::to_string(colour.green) + ',' + std::to_string(colour.blue) +
                 ',' + std::to_string(colour.alpha) + ':';
    key.append(run.text);
    auto [it, inserted] = state.texts.try_emplace(std::move(key));
    CachedText& cached = it->second;
    cached.last_frame = state.frame;
    if (!inserted) return cached.texture ? &cached : nullptr;
    SDL_Surface* rendered = TTF_RenderText_Blended(run.face->font, run.text.data(), run.text.size(),
                                                   SDL_Color{colour.red, colour.green, colour.blue, colour.alpha});
    if (!rendered) return nullptr;
    SDL_Surface* rgba = SDL_ConvertSurface(rendered, SDL_PIXELFORMAT_RGBA32);
    SDL_DestroySurface(rendered);
    if (!rgba) return nullptr;
    std::vector<byte> pixels(static_cast<std::size_t>(rgba->w) * static_cast<std::size_t>(rgba->h) * 4);
    for (int row = 0; row < rgba->h; ++row) {
        const auto* source = static_cast<const byte*>(rgba->pixels) + static_cast<std::ptrdiff_t>(row) * rgba->pitch;
        std::copy(source, source + static_cast<std::ptrdiff_t>(rgba->w) * 4,
                  pixels.begin() + static_cast<std::ptrdiff_t>(row) * rgba->w * 4);
    }
    cached.texture = render_interface.GenerateTexture(pixels.data(), Vector2i{rgba->w, rgba->h});
    cached.size = Vector2f{static_cast<float>(rgba->w), static_cast<float>(rgba->h)} * run.face->scale;
    cached.owner = &render_interface;
    SDL_DestroySurface(rgba);
    return cached.texture ? &cached : nullptr;
}

// Draws a run of a line too wide for one texture in pieces of at most
// kMaxPieceWidth, making only the pieces that reach into `clip`; gives the
// run's width. The run starts at `start` (x, and the line box's top).
float RenderPieces(RenderInterface& render_interface, FontHandle handle, const Run& run, Vector2f start,
                   float line_height, float top, Colourb colour, float opacity, const std::optional<Rectanglef>& clip) {
    const float scale = run.face->scale;
    const int max_width = std::max(1, static_cast<int>(kMaxPieceWidth / scale));
    float x = start.x;
    std::string_view rest = run.text;
    while (!rest.empty()) {
        int width = 0;
        std::size_t length = 0;
        if (!TTF_MeasureString(run.face->font, rest.data(), rest.size(), max_width, &width, &length)) break;
        if (length == 0) {
            // A glyph wider than a piece is a piece of its own.
            length = StringUtilities::NextCodePoint(rest, 0);
            width = static_cast<int>(RunWidth({run.face, rest.substr(0, length)}) / scale);
        }
        const Run piece{run.face, rest.substr(0, length)};
        const float piece_width = static_cast<float>(width) * scale;
        // A line's height around the line box allows for glyphs that overhang it.
        const Rectanglef reach{x, start.y - line_height, piece_width, 3 * line_height};
        if (!clip || !reach.Intersect(*clip).Empty()) {
            if (CachedText* cached = RenderRun(render_interface, handle, piece, colour)) {
                DrawTexture(render_interface, cached->texture,
                            {std::round(x), std::round(top), cached->size.x, cached->size.y}, opacity);
            }
        }
        x += piece_width;
        rest.remove_prefix(length);
    }
    return x - start.x;
}

// Closes every font opened so far; the next look-up opens its font again.
void CloseFonts() {
    State& state = GetState();
    for (auto& font : state.fonts) {
        for (auto& face : font->faces) TTF_CloseFont(face->font);
    }
    state.fonts.clear();
    state.font_by_key.clear();
    state.font_by_face.clear();
}

void WarnNoFace() {
    State& state = GetState();
    if (state.warned_no_face) return;
    state.warned_no_face = true;
    SPDLOG_WARN("No font face is loaded; text is measured roughly and not drawn");
}

}  // namespace

bool Initialise() {
    State& state = GetState();
    if (state.initialised) return true;
    if (!TTF_Init()) {
        SPDLOG_ERROR("TTF_Init failed: {}", SDL_GetError());
        return false;
    }
    state.initialised = true;
    // Without HarfBuzz, SDL_ttf moves the second glyph of a kerned pair but not the glyphs after it,
    // which opens a gap after the pair ("To p"); the engine then kerns pairs itself.
    int major = 0, minor = 0, patch = 0;
    TTF_GetHarfBuzzVersion(&major, &minor, &patch);
    state.kerns_pairs = major == 0 && minor == 0 && patch == 0;
    return true;
}

void Shutdown() {
    State& state = GetState();
    ReleaseTextures();
    CloseFonts();
    const bool was_initialised = state.initialised;
    state = State{};
    if (was_initialised) TTF_Quit();
}

bool LoadFace(const String& path, bool fallback_face, Style::FontWeight, int face_index) {
    State& state = GetState();
    if (!state.initialised) {
        SPDLOG_ERROR("Cannot load font face '{}' before the toolkit is initialised", path);
        return false;
    }
    Face face{path, "", fallback_face, face_index};
    TTF_Font* probe = OpenFace(face, 16);
    if (!probe) {
        SPDLOG_ERROR("Cannot load font face '{}': {}", path, SDL_GetError());
        return false;
    }
    const char* family = TTF_GetFontFamilyName(probe);
    face.family = StringUtilities::ToLower(family ? family : "");
    TTF_CloseFont(probe);
    state.faces.push_back(std::move(face));
    // Fonts made before this face do not know it.
    CloseFonts();
    ReleaseTextures();
    return true;
}

FontHandle GetFont(const String& family, float size) {
    State& state = GetState();
    if (state.faces.empty()) {
        WarnNoFace();
        return kNoFont;
    }
    // Computed styles are clamped already; this keeps any caller's size to what a font can be opened at.
    const float pixel_size = std::isnan(size) ? 1.f : std::clamp(std::round(size), 1.f, kMaxFontSize);
    const String key = StringUtilities::ToLower(family) + '@' + std::to_string(static_cast<int>(pixel_size));
    if (auto it = state.font_by_key.find(key); it != state.font_by_key.end()) return it->second;
    const int main = MainFaceFor(family);
    // Families that resolve to the same face share one font.
    const String face_key = std::to_string(main) + '@' + std::to_string(static_cast<int>(pixel_size));
    if (auto it = state.font_by_face.find(face_key); it != state.font_by_face.end()) {
        state.font_by_key[key] = it->second;
        return it->second;
    }
    auto font = std::make_unique<Font>();
    auto main_face = OpenSized(state.faces[static_cast<std::size_t>(main)], pixel_size, 0);
    if (!main_face) {
        SPDLOG_ERROR("Cannot open font face '{}' at {}px: {}", state.faces[static_cast<std::size_t>(main)].path,
                     pixel_size, SDL_GetError());
        state.font_by_key[key] = kNoFont;
        return kNoFont;
    }
    font->metrics.ascent = static_cast<float>(TTF_GetFontAscent(main_face->font));
    font->metrics.descent = static_cast<float>(-TTF_GetFontDescent(main_face->font));
    font->faces.push_back(std::move(main_face));
    for (std::size_t i = 0; i < state.faces.size(); ++i) {
        if (static_cast<int>(i) == main || !state.faces[i].fallback) continue;
        if (auto sized = OpenSized(state.faces[i], pixel_size, font->metrics.Height())) {
            font->faces.push_back(std::move(sized));
        }
    }
    const FontHandle handle = static_cast<FontHandle>(state.fonts.size());
    state.fonts.push_back(std::move(font));
    state.font_by_key[key] = handle;
    state.font_by_face[face_key] = handle;
    return handle;
}

FontMetrics GetMetrics(FontHandle handle, float size) {
    if (Font* font = FontOf(handle)) return font->metrics;
    return FontMetrics{size * 0.8f, size * 0.2f};
}

float MeasureText(FontHandle handle, float size, std::string_view text) {
    if (text.empty()) return 0;
    Font* font = FontOf(handle);
    if (!font) return 0.5f * size * static_cast<float>(StringUtilities::CountCodePoints(text));
    if (font->widths.size() > 20000) font->widths.clear();
    const auto [it, inserted] = font->widths.try_emplace(String(text), 0.f);
    if (!inserted) return it->second;
    float width = 0;
    for (const Run& run : SplitRuns(*font, text)) width += run.kerning + RunWidth(run);
    it->second = width;
    return width;
}

FontHandle GetFont(const ComputedValues& values) { return GetFont(values.font_family, values.font_size); }

FontMetrics GetMetrics(const ComputedValues& values) { return GetMetrics(GetFont(values), values.font_size); }

float MeasureText(const ComputedValues& values, std::string_view text) {
    return MeasureText(GetFont(values), values.font_size, text);
}

void RenderText(RenderInterface& render_interface, FontHandle handle, std::string_view text, Vector2f position,
                Colourb colour, float opacity, const std::optional<Rectanglef>& clip) {
    Font* font = FontOf(handle);
    if (!font || text.empty() || colour.alpha == 0) return;
    const float baseline = position.y + font->metrics.ascent;
    const bool wide = MeasureText(handle, 0, text) > kMaxPieceWidth;
    float x = position.x;
    const std::vector<Run> runs = SplitRuns(*font, text);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        x += run.kerning;
        const float top = baseline - run.face->ascent * run.face->scale;
        if (run.text == " ") {
            x += RunWidth(run);
            continue;
        }
        if (wide) {
            x += RenderPieces(render_interface, handle, run, {x, position.y}, font->metrics.Height(), top, colour,
                              opacity, clip);
            continue;
        }
        if (CachedText* cached = RenderRun(render_interface, handle, run, colour)) {
            DrawTexture(render_interface, cached->texture,
                        {std::round(x), std::round(top), cached->size.x, cached->size.y}, opacity);
        }
        // Only a following run needs this one's width.
        if (i + 1 < runs.size()) x += RunWidth(run);
    }
}

void BeginFrame() {
    State& state = GetState();
    ++state.frame;
    constexpr std::uint64_t kSweepEvery = 120;
    constexpr std::uint64_t kKeepFrames = 600;
    if (state.frame % kSweepEvery != 0) return;
    std::erase_if(state.texts, [&](const auto& entry) {
        const CachedText& cached = entry.second;
        if (state.frame - cached.last_frame < kKeepFrames) return false;
        if (cached.texture && cached.owner) cached.owner->ReleaseTexture(cached.texture);
        return true;
    });
}

void ReleaseTextures() {
    State& state = GetState();
    for (auto& [key, cached] : state.texts) {
        if (cached.texture && cached.owner) cached.owner->ReleaseTexture(cached.texture);
    }
    state.texts.clear();
}

}  // namespace Rml::FontEngine
