#include "lib/rml/render_interface_sdl/render_interface_sdl.h"

#include <SDL3_image/SDL_image.h>
#include <spdlog/spdlog.h>

RenderInterface_SDL::RenderInterface_SDL(SDL_Renderer* renderer) : renderer_(renderer) {}

void RenderInterface_SDL::RenderGeometry(const Rml::Vertex* vertices, int num_vertices, const int* indices,
                                         int num_indices, Rml::TextureHandle texture, Rml::Vector2f translation) {
    if (!renderer_ || num_vertices <= 0) return;
    vertices_.resize(static_cast<std::size_t>(num_vertices));
    for (int i = 0; i < num_vertices; ++i) {
        const Rml::Vertex& in = vertices[i];
        SDL_Vertex& out = vertices_[static_cast<std::size_t>(i)];
        out.position = {in.position.x + translation.x, in.position.y + translation.y};
        out.color = {in.colour.red / 255.f, in.colour.green / 255.f, in.colour.blue / 255.f, in.colour.alpha / 255.f};
        out.tex_coord = {in.tex_coord.x, in.tex_coord.y};
    }
    SDL_RenderGeometry(renderer_, reinterpret_cast<SDL_Texture*>(texture), vertices_.data(), num_vertices, indices,
                       num_indices);
}

Rml::TextureHandle RenderInterface_SDL::LoadTexture(Rml::Vector2i& dimensions, const Rml::String& source) {
    if (!renderer_) return 0;
    SDL_Texture* texture = IMG_LoadTexture(renderer_, source.c_str());
    if (!texture) return 0;
    float width = 0;
    float height = 0;
    SDL_GetTextureSize(texture, &width, &height);
    dimensions = {static_cast<int>(width), static_cast<int>(height)};
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return reinterpret_cast<Rml::TextureHandle>(texture);
}

Rml::TextureHandle RenderInterface_SDL::GenerateTexture(const Rml::byte* pixels, Rml::Vector2i dimensions) {
    if (!renderer_ || dimensions.x <= 0 || dimensions.y <= 0) return 0;
    SDL_Texture* texture =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGBA32, SDL_TEXTUREACCESS_STATIC, dimensions.x, dimensions.y);
    if (!texture) {
        SPDLOG_ERROR("SDL_CreateTexture failed: {}", SDL_GetError());
        return 0;
    }
    SDL_UpdateTexture(texture, nullptr, pixels, dimensions.x * 4);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_SCALEMODE_LINEAR);
    return reinterpret_cast<Rml::TextureHandle>(texture);
}

void RenderInterface_SDL::ReleaseTexture(Rml::TextureHandle texture) {
    if (texture) SDL_DestroyTexture(reinterpret_cast<SDL_Texture*>(texture));
}

void RenderInterface_SDL::EnableScissorRegion(bool enable) {
    scissor_enabled_ = enable;
    if (renderer_) SDL_SetRenderClipRect(renderer_, enable ? &scissor_ : nullptr);
}

void RenderInterface_SDL::SetScissorRegion(Rml::Rectanglei region) {
    scissor_ = {region.x, region.y, std::max(0, region.width), std::max(0, region.height)};
    if (renderer_ && scissor_enabled_) SDL_SetRenderClipRect(renderer_, &scissor_);
}

void RenderInterface_SDL::BeginFrame() {
    if (!renderer_) return;
    // Untextured geometry blends with the draw blend mode; the game's stays as it was.
    SDL_GetRenderDrawBlendMode(renderer_, &saved_blend_mode_);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_BLEND);
    SDL_SetRenderClipRect(renderer_, nullptr);
    scissor_enabled_ = false;
}

void RenderInterface_SDL::EndFrame() {
    if (!renderer_) return;
    SDL_SetRenderClipRect(renderer_, nullptr);
    SDL_SetRenderDrawBlendMode(renderer_, saved_blend_mode_);
    scissor_enabled_ = false;
}
