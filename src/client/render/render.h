#pragma once

#include <concepts>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include <SDL3/SDL.h>

#include "client/window/window.h"
#include "core/components/physics_bodies/physics_bodies.h"
#include "core/config/config.h"

// One loaded image and how it sits on its entity.
struct TextureConfig {
    SDL_Texture* texture = nullptr;  // owned by texture_map
    float scale = 0;
    // The image point, as fractions of its drawn width and height from the
    // top-left corner, that lies on the entity's position and about which it turns.
    std::pair<float, float> centroid_ratio{0.0f, 0.0f};
};

// Every loaded image of the process, keyed by the type number: ships in the
// 1000s, mounts in the 2000s, projectiles in the 3000s.
extern std::unordered_map<std::uint32_t, TextureConfig> texture_map;

// Loads every ship, mount and projectile image ("build/" + its image path),
// dimmed to 130/255. A missing image leaves an entry without a texture.
void load_texture_map(SDL_Renderer* renderer, Config* config);
// Destroys every texture and empties the map; call it before the renderer goes.
void unload_texture_map();

// The window point of a world point: y flips, the camera sits at the centre.
std::pair<float, float> get_draw_cords(float x, float y, float camera_x, float camera_y,
                                       float half_width, float half_height);
// SDL's clockwise degrees for a counter-clockwise world rotation in radians;
// images face the top of their file.
float get_draw_rot(float rot);

void draw_texture(SDL_Renderer* renderer, std::uint32_t type, float x, float y, float rot,
                  float camera_x, float camera_y, float half_width, float half_height);
// One red outline segment between two world points.
void draw_line(SDL_Renderer* renderer, float xa, float ya, float xb, float yb, float camera_x,
               float camera_y, float half_width, float half_height);

// The float half of the window size; (0, 0) without a window.
std::pair<float, float> get_half_screen_size(SDL_Window* window);

// What render_drawables draws: rows with a type, a position and a rotation.
template <typename T>
concept Drawables = requires(T& rows, std::uint32_t idx) {
    { rows.size() } -> std::convertible_to<std::uint32_t>;
    static_cast<std::uint32_t>(rows.type[idx]);
    { rows.x[idx] } -> std::convertible_to<float>;
    { rows.y[idx] } -> std::convertible_to<float>;
    { rows.rot[idx] } -> std::convertible_to<float>;
};

// Later rows are drawn over earlier ones.
template <Drawables T>
void render_drawables(SDL_Window* window, SDL_Renderer* renderer, T& rows, float camera_x,
                      float camera_y) {
    const auto [half_width, half_height] = get_half_screen_size(window);
    const std::uint32_t count = rows.size();
    for (std::uint32_t idx = 0; idx < count; ++idx) {
        draw_texture(renderer, static_cast<std::uint32_t>(rows.type[idx]), rows.x[idx],
                     rows.y[idx], rows.rot[idx], camera_x, camera_y, half_width, half_height);
    }
}

// Every edge of every world polygon, each polygon closed.
void render_physics_bodies(SDL_Window* window, SDL_Renderer* renderer,
                           PhysicsBodies& physics_bodies, float camera_x, float camera_y);
