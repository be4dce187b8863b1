#pragma once

#include "lib/rml/types/types.h"

namespace Rml {

class ElementDocument;

// Lays out a document against the viewport: block flow, inline flow with line
// wrapping, single-line flexbox and absolute positioning. Fills each element's
// LayoutBox and the document's paint order.
void LayoutDocument(ElementDocument& document, Vector2f viewport);

// Derives on-screen positions, clips and opacity from the layout and the
// current scroll offsets; cheap enough to run after every scroll.
void UpdatePositions(ElementDocument& document, Vector2f viewport);

}  // namespace Rml
