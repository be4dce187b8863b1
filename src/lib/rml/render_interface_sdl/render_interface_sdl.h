#pragma once

#include <SDL3/SDL.h>

#include "lib/rml/render_interface/render_interface.h"

// Draws the toolkit with an SDL renderer (the game's, over the game view).
class RenderInterface_SDL : public Rml::RenderInterface {
public:
    explicit RenderInterface_SDL(SDL_Renderer* renderer);

    void RenderGeometry(const Rml::Vertex* vertices, int num_vertices, const int* indices, int num_indices,
                        Rml::TextureHandle texture, Rml::Vector2f translation) override;
    Rml::TextureHandle LoadTexture(Rml::Vector2i& dimensions, const Rml::String& source) override;
    Rml::TextureHandle GenerateTexture(const Rml::byte* pixels, Rml::Vector2i dimensions) override;
    void ReleaseTexture(Rml::TextureHandle texture) override;
    void EnableScissorRegion(bool enable) override;
    void SetScissorRegion(Rml::Rectanglei region) override;
    void BeginFrame() override;
    void EndFrame() override;

private:
    SDL_Renderer* renderer_;
    SDL_Rect scissor_{};
    bool scissor_enabled_ = false;
    SDL_BlendMode saved_blend_mode_ = SDL_BLENDMODE_NONE;
    std::vector<SDL_Vertex> vertices_;
};
