#pragma once

#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/types/types.h"

namespace Rml {

class ElementDocument;

// Draws a laid-out document in paint order: backgrounds, borders, text,
// images, text fields and scroll indicators, each clipped by its overflow ancestors.
void RenderDocument(ElementDocument& document, RenderInterface& render_interface);

void FillRectangle(RenderInterface& render_interface, Rectanglef rectangle, Colourb colour, float opacity = 1);
// Draws a texture stretched over a rectangle, faded by `opacity`.
void DrawTexture(RenderInterface& render_interface, TextureHandle texture, const Rectanglef& rectangle, float opacity);
void OutlineRectangle(RenderInterface& render_interface, Rectanglef rectangle, float thickness, Colourb colour);

}  // namespace Rml
