#include "client/render/render.h"

#include <string>

#include <SDL3_image/SDL_image.h>
#include <spdlog/spdlog.h>

std::unordered_map<std::uint32_t, TextureConfig> texture_map;

namespace {

constexpr float degrees_per_radian = 57.29578f;

template <typename ConfigMap>
void load_textures(SDL_Renderer* renderer, const ConfigMap& configs) {
    for (const auto& [type, config] : configs) {
        const std::string path = "build/" + config.image_path;
        SDL_Texture* texture = IMG_LoadTexture(renderer, path.c_str());
        if (texture) {
            SDL_SetTextureColorMod(texture, 130, 130, 130);
        } else {
            // The game goes on; the entry without a texture draws nothing.
            SPDLOG_ERROR("load_texture_map: could not load '{}': {}", path, SDL_GetError());
        }
        // An entry already there stays as it was.
        const auto [entry, inserted] = texture_map.emplace(
            static_cast<std::uint32_t>(type),
            TextureConfig{texture, config.scale, config.centroid_ratio});
        if (!inserted && texture) {
            SDL_DestroyTexture(texture);
        }
    }
}

}  // namespace

void load_texture_map(SDL_Renderer* renderer, Config* config) {
    load_textures(renderer, config->ship_configs);
    load_textures(renderer, config->mount_configs);
    load_textures(renderer, config->projectile_configs);
}

void unload_texture_map() {
    for (auto& [type, texture_config] : texture_map) {
        if (texture_config.texture) {
            SDL_DestroyTexture(texture_config.texture);
        }
    }
    texture_map.clear();
}

std::pair<float, float> get_draw_cords(float x, float y, float camera_x, float camera_y,
                                       float half_width, float half_height) {
    return {x - camera_x + half_width, half_height - (y - camera_y)};
}

float get_draw_rot(float rot) { return 90.0f - rot * degrees_per_radian; }

std::pair<float, float> get_half_screen_size(SDL_Window* window) {
    const auto [width, height] = get_screen_size(window);
    return {static_cast<float>(width) / 2.0f, static_cast<float>(height) / 2.0f};
}

void draw_texture(SDL_Renderer* renderer, std::uint32_t type, float x, float y, float rot,
                  float camera_x, float camera_y, float half_width, float half_height) {
    // A type without an image gets an empty entry and draws nothing.
    const TextureConfig& texture_config = texture_map[type];
    if (!texture_config.texture) {
        return;
    }
    float texture_width = 0;
    float texture_height = 0;
    if (!SDL_GetTextureSize(texture_config.texture, &texture_width, &texture_height)) {
        texture_width = 0;
        texture_height = 0;
    }
    const float width = texture_config.scale * texture_width;
    const float height = texture_config.scale * texture_height;
    const auto [screen_x, screen_y] =
        get_draw_cords(x, y, camera_x, camera_y, half_width, half_height);
    const SDL_FPoint pivot{texture_config.centroid_ratio.first * width,
                           texture_config.centroid_ratio.second * height};
    const SDL_FRect destination{screen_x - pivot.x, screen_y - pivot.y, width, height};
    SDL_RenderTextureRotated(renderer, texture_config.texture, nullptr, &destination,
                             static_cast<double>(get_draw_rot(rot)), &pivot, SDL_FLIP_NONE);
}

void draw_line(SDL_Renderer* renderer, float xa, float ya, float xb, float yb, float camera_x,
               float camera_y, float half_width, float half_height) {
    const auto [screen_xa, screen_ya] =
        get_draw_cords(xa, ya, camera_x, camera_y, half_width, half_height);
    const auto [screen_xb, screen_yb] =
        get_draw_cords(xb, yb, camera_x, camera_y, half_width, half_height);
    SDL_SetRenderDrawColor(renderer, 230, 41, 55, 255);
    SDL_RenderLine(renderer, screen_xa, screen_ya, screen_xb, screen_yb);
}

void render_physics_bodies(SDL_Window* window, SDL_Renderer* renderer,
                           PhysicsBodies& physics_bodies, float camera_x, float camera_y) {
    const auto [half_width, half_height] = get_half_screen_size(window);
    const std::uint32_t count = physics_bodies.size();
    for (std::uint32_t body = 0; body < count; ++body) {
        for (const c2Poly& polygon : physics_bodies.polygons[body]) {
            for (int vertex = 0; vertex < polygon.count; ++vertex) {
                const c2v& from = polygon.verts[vertex];
                const c2v& to = polygon.verts[(vertex + 1) % polygon.count];
                draw_line(renderer, from.x, from.y, to.x, to.y, camera_x, camera_y, half_width,
                          half_height);
            }
        }
    }
}
