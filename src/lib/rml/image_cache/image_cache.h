#pragma once

#include "lib/rml/render_interface/render_interface.h"
#include "lib/rml/types/types.h"

namespace Rml::ImageCache {

struct Image {
    TextureHandle texture = 0;
    Vector2i dimensions;
    bool failed = false;
};

// The image at `path`, loaded once: through the render interface when there
// is one, else only its size (layout without drawing).
const Image& Get(const String& path);
void Release();

}  // namespace Rml::ImageCache
