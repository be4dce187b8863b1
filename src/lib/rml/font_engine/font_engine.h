#pragma once

#include <optional>
#include <string_view>

#include "lib/rml/computed_style/computed_style.h"
#include "lib/rml/property/property.h"
#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/types/types.h"

namespace Rml::FontEngine {

using FontHandle = int;
constexpr FontHandle kNoFont = -1;

struct FontMetrics {
    float ascent = 0;
    float descent = 0;  // below the baseline, positive
    float Height() const { return ascent + descent; }
};

bool Initialise();
void Shutdown();

// Adds a face from a font file; false (logged) when it cannot be opened.
bool LoadFace(const String& path, bool fallback_face, Style::FontWeight weight, int face_index);

// The font of a family at a pixel size; unknown families use the first regular face.
FontHandle GetFont(const String& family, float size);
FontMetrics GetMetrics(FontHandle font, float size);
// Width in pixels of `text` on one line, glyphs missing from the face taken from the fallback faces.
float MeasureText(FontHandle font, float size, std::string_view text);
// The same for the font family and size of an element's computed values.
FontHandle GetFont(const ComputedValues& values);
FontMetrics GetMetrics(const ComputedValues& values);
float MeasureText(const ComputedValues& values, std::string_view text);
// Draws `text` with its line box's top-left at `position`. Of a text too wide
// for one texture only the pieces that reach into `clip` are drawn.
void RenderText(RenderInterface& render_interface, FontHandle font, std::string_view text, Vector2f position,
                Colourb colour, float opacity, const std::optional<Rectanglef>& clip = std::nullopt);

// Ages the cache of rendered text; called once per rendered frame.
void BeginFrame();
void ReleaseTextures();

}  // namespace Rml::FontEngine
