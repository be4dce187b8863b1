#pragma once

#include <cstdint>

#include "lib/rml/types/types.h"

namespace Rml {

using TextureHandle = std::uintptr_t;

struct Vertex {
    Vector2f position;
    Colourb colour;
    Vector2f tex_coord;
};

// What the toolkit draws with: coloured and textured triangles, textures and a scissor.
class RenderInterface {
public:
    virtual ~RenderInterface() = default;
    virtual void RenderGeometry(const Vertex* vertices, int num_vertices, const int* indices, int num_indices,
                                TextureHandle texture, Vector2f translation) = 0;
    // Loads an image file; 0 when it cannot.
    virtual TextureHandle LoadTexture(Vector2i& dimensions, const String& source) = 0;
    // Makes a texture from tightly packed, straight-alpha RGBA pixels; 0 when it cannot.
    virtual TextureHandle GenerateTexture(const byte* pixels, Vector2i dimensions) = 0;
    virtual void ReleaseTexture(TextureHandle texture) = 0;
    virtual void EnableScissorRegion(bool enable) = 0;
    virtual void SetScissorRegion(Rectanglei region) = 0;
    // Around each Context::Render: set up and restore renderer state.
    virtual void BeginFrame() {}
    virtual void EndFrame() {}
};

}  // namespace Rml
