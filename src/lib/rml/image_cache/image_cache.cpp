#include "lib/rml/image_cache/image_cache.h"

#include <unordered_map>

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>

#include "lib/rml/core/core.h"

namespace Rml::ImageCache {

namespace {

struct Entry {
    Image image;
    RenderInterface* owner = nullptr;
    bool size_known = false;
};

std::unordered_map<String, Entry>& Entries() {
    static std::unordered_map<String, Entry> entries;
    return entries;
}

}  // namespace

const Image& Get(const String& path) {
    Entry& entry = Entries()[path];
    if (entry.image.failed) return entry.image;
    RenderInterface* render_interface = GetRenderInterface();
    if (render_interface && !entry.image.texture) {
        Vector2i dimensions;
        entry.image.texture = render_interface->LoadTexture(dimensions, path);
        entry.owner = render_interface;
        if (entry.image.texture) {
            entry.image.dimensions = dimensions;
            entry.size_known = true;
            return entry.image;
        }
        entry.image.failed = true;
        return entry.image;
    }
    if (!entry.size_known) {
        SDL_Surface* surface = IMG_Load(path.c_str());
        entry.image.failed = surface == nullptr;
        if (surface) {
            entry.image.dimensions = {surface->w, surface->h};
            entry.size_known = true;
            SDL_DestroySurface(surface);
        }
    }
    return entry.image;
}

void Release() {
    for (auto& [path, entry] : Entries()) {
        if (entry.image.texture && entry.owner) entry.owner->ReleaseTexture(entry.image.texture);
    }
    Entries().clear();
}

}  // namespace Rml::ImageCache
