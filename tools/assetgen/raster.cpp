#include "raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <stdexcept>

#include <SDL3/SDL.h>
#include <SDL3_image/SDL_image.h>
#include <fmt/format.h>

namespace assetgen {

namespace {

using Triangles = std::vector<SDL_Vertex>;

SDL_FColor premultiplied(const Rgba& c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a}; }

void add_vertex(Triangles& out, Point p, const Rgba& color, float factor) {
    out.push_back({{p.x * factor, p.y * factor}, premultiplied(color), {0.0f, 0.0f}});
}

float cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

float signed_area(const std::vector<Point>& polygon) {
    float area = 0.0f;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area * 0.5f;
}

bool inside_triangle(Point p, Point a, Point b, Point c) {
    return cross(a, b, p) >= 0.0f && cross(b, c, p) >= 0.0f && cross(c, a, p) >= 0.0f;
}

// A corner of a counter-clockwise polygon whose triangle holds no other
// vertex; the polygon's size when there is none.
std::size_t find_ear(const std::vector<Point>& polygon) {
    const std::size_t n = polygon.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t prev = (i + n - 1) % n;
        const std::size_t next = (i + 1) % n;
        const Point a = polygon[prev];
        const Point b = polygon[i];
        const Point c = polygon[next];
        if (cross(a, b, c) <= 0.0f) {
            continue;  // reflex or straight corner
        }
        bool empty = true;
        for (std::size_t j = 0; j < n && empty; ++j) {
            empty = j == i || j == prev || j == next || !inside_triangle(polygon[j], a, b, c);
        }
        if (empty) {
            return i;
        }
    }
    return n;
}

// Drops repeated points and corners on a straight line; they change nothing
// in the shape but would never be clipped as ears.
std::vector<Point> without_straight_corners(std::vector<Point> polygon) {
    bool changed = true;
    while (changed && polygon.size() > 3) {
        changed = false;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            const std::size_t n = polygon.size();
            if (std::fabs(cross(polygon[(i + n - 1) % n], polygon[i], polygon[(i + 1) % n])) <
                1e-6f) {
                polygon.erase(polygon.begin() + static_cast<std::ptrdiff_t>(i));
                changed = true;
                break;
            }
        }
    }
    return polygon;
}

// Ear clipping of a simple polygon; the hull outlines are rarely convex.
std::vector<std::array<Point, 3>> triangulate(std::vector<Point> polygon) {
    polygon = without_straight_corners(std::move(polygon));
    if (signed_area(polygon) < 0.0f) {
        std::reverse(polygon.begin(), polygon.end());
    }
    std::vector<std::array<Point, 3>> triangles;
    while (polygon.size() > 3) {
        const std::size_t ear = find_ear(polygon);
        if (ear == polygon.size()) {
            break;  // only straight corners are left
        }
        const std::size_t n = polygon.size();
        triangles.push_back({polygon[(ear + n - 1) % n], polygon[ear], polygon[(ear + 1) % n]});
        polygon.erase(polygon.begin() + static_cast<std::ptrdiff_t>(ear));
    }
    if (polygon.size() == 3) {
        triangles.push_back({polygon[0], polygon[1], polygon[2]});
    }
    return triangles;
}

void add_polygon(Triangles& out, const Shape& shape, float factor) {
    const Rgba& color = shape.paint.stops.front().color;
    for (const auto& triangle : triangulate(shape.outline)) {
        for (const Point& p : triangle) {
            add_vertex(out, p, color, factor);
        }
    }
}

struct Ring {
    float fraction;
    Rgba color;
};

// The gradient as rings from the centre out; a plain colour is one disc.
std::vector<Ring> rings_of(const Paint& paint) {
    std::vector<Ring> rings;
    const auto& stops = paint.stops;
    rings.push_back({0.0f, stops.front().color});
    for (const auto& stop : stops) {
        rings.push_back({std::clamp(stop.offset, 0.0f, 1.0f), stop.color});
    }
    rings.push_back({1.0f, stops.back().color});
    return rings;
}

void add_ellipse(Triangles& out, const Shape& shape, float factor) {
    const float perimeter =
        2.0f * std::numbers::pi_v<float> * std::max(shape.rx, shape.ry) * factor;
    const int segments = std::clamp(static_cast<int>(perimeter / 3.0f), 24, 256);
    const auto at = [&](float fraction, int k) {
        const float angle =
            2.0f * std::numbers::pi_v<float> * static_cast<float>(k) / static_cast<float>(segments);
        return Point{shape.center.x + std::cos(angle) * shape.rx * fraction,
                     shape.center.y + std::sin(angle) * shape.ry * fraction};
    };
    const std::vector<Ring> rings = rings_of(shape.paint);
    for (std::size_t r = 1; r < rings.size(); ++r) {
        const Ring& inner = rings[r - 1];
        const Ring& outer = rings[r];
        if (outer.fraction <= inner.fraction) {
            continue;
        }
        for (int k = 0; k < segments; ++k) {
            const Point i0 = at(inner.fraction, k);
            const Point i1 = at(inner.fraction, k + 1);
            const Point o0 = at(outer.fraction, k);
            const Point o1 = at(outer.fraction, k + 1);
            add_vertex(out, o0, outer.color, factor);
            add_vertex(out, o1, outer.color, factor);
            add_vertex(out, i0, inner.color, factor);
            if (inner.fraction > 0.0f) {
                add_vertex(out, i0, inner.color, factor);
                add_vertex(out, o1, outer.color, factor);
                add_vertex(out, i1, inner.color, factor);
            }
        }
    }
}

[[noreturn]] void sdl_fail(const std::string& what) {
    throw std::runtime_error(fmt::format("{}: {}", what, SDL_GetError()));
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_DestroySurface(s); }
};
struct RendererDeleter {
    void operator()(SDL_Renderer* r) const { SDL_DestroyRenderer(r); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, RendererDeleter>;

Image downsample(const SDL_Surface& big, int width, int height, int factor) {
    Image image(width, height);
    const float samples = static_cast<float>(factor * factor);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (int sy = 0; sy < factor; ++sy) {
                const auto* row = static_cast<const std::uint8_t*>(big.pixels) +
                                  static_cast<std::ptrdiff_t>(y * factor + sy) * big.pitch;
                for (int sx = 0; sx < factor; ++sx) {
                    const std::uint8_t* p = row + static_cast<std::ptrdiff_t>(x * factor + sx) * 4;
                    for (int c = 0; c < 4; ++c) {
                        sum[c] += static_cast<float>(p[c]) / 255.0f;
                    }
                }
            }
            float* out = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c) {
                out[c] = sum[c] / samples;
            }
        }
    }
    return image;
}

}  // namespace

Image render(const Drawing& drawing, int supersample) {
    const int big_width = drawing.width * supersample;
    const int big_height = drawing.height * supersample;
    SurfacePtr big(SDL_CreateSurface(big_width, big_height, SDL_PIXELFORMAT_RGBA32));
    if (!big) {
        sdl_fail("SDL_CreateSurface");
    }
    RendererPtr renderer(SDL_CreateSoftwareRenderer(big.get()));
    if (!renderer) {
        sdl_fail("SDL_CreateSoftwareRenderer");
    }
    SDL_SetRenderDrawBlendMode(renderer.get(), SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer.get(), 0, 0, 0, 0);
    SDL_RenderClear(renderer.get());
    SDL_SetRenderDrawBlendMode(renderer.get(), SDL_BLENDMODE_BLEND_PREMULTIPLIED);
    const auto factor = static_cast<float>(supersample);
    for (const Shape& shape : drawing.shapes) {
        Triangles triangles;
        if (shape.is_ellipse) {
            add_ellipse(triangles, shape, factor);
        } else {
            add_polygon(triangles, shape, factor);
        }
        if (!triangles.empty() &&
            !SDL_RenderGeometry(renderer.get(), nullptr, triangles.data(),
                                static_cast<int>(triangles.size()), nullptr, 0)) {
            sdl_fail("SDL_RenderGeometry");
        }
    }
    if (!SDL_FlushRenderer(renderer.get())) {
        sdl_fail("SDL_FlushRenderer");
    }
    return downsample(*big, drawing.width, drawing.height, supersample);
}

void save_png(const Image& image, const std::string& path) {
    SurfacePtr surface(SDL_CreateSurface(image.width, image.height, SDL_PIXELFORMAT_RGBA32));
    if (!surface) {
        sdl_fail("SDL_CreateSurface");
    }
    for (int y = 0; y < image.height; ++y) {
        auto* row = static_cast<std::uint8_t*>(surface->pixels) +
                    static_cast<std::ptrdiff_t>(y) * surface->pitch;
        for (int x = 0; x < image.width; ++x) {
            const float* in = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
            const float alpha = in[3];
            for (int c = 0; c < 3; ++c) {
                const float straight = alpha > 0.0f ? std::min(in[c] / alpha, 1.0f) : 0.0f;
                row[x * 4 + c] = static_cast<std::uint8_t>(std::lround(straight * 255.0f));
            }
            row[x * 4 + 3] =
                static_cast<std::uint8_t>(std::lround(std::clamp(alpha, 0.0f, 1.0f) * 255.0f));
        }
    }
    if (!IMG_SavePNG(surface.get(), path.c_str())) {
        sdl_fail(fmt::format("IMG_SavePNG '{}'", path));
    }
}

namespace {

// Bilinear sample of premultiplied pixels; outside the image is transparent.
void sample(const Image& src, float u, float v, float out[4]) {
    const float fx = u - 0.5f;
    const float fy = v - 0.5f;
    const int x0 = static_cast<int>(std::floor(fx));
    const int y0 = static_cast<int>(std::floor(fy));
    const float tx = fx - static_cast<float>(x0);
    const float ty = fy - static_cast<float>(y0);
    for (int c = 0; c < 4; ++c) {
        out[c] = 0.0f;
    }
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
            const int x = x0 + dx;
            const int y = y0 + dy;
            if (x < 0 || y < 0 || x >= src.width || y >= src.height) {
                continue;
            }
            const float weight = (dx ? tx : 1.0f - tx) * (dy ? ty : 1.0f - ty);
            const float* p = &src.pixels[(static_cast<std::size_t>(y) * src.width + x) * 4];
            for (int c = 0; c < 4; ++c) {
                out[c] += p[c] * weight;
            }
        }
    }
}

void blend_over(Image& dst, int x, int y, const float src[4]) {
    if (x < 0 || y < 0 || x >= dst.width || y >= dst.height) {
        return;
    }
    float* p = &dst.pixels[(static_cast<std::size_t>(y) * dst.width + x) * 4];
    for (int c = 0; c < 4; ++c) {
        p[c] = src[c] + p[c] * (1.0f - src[3]);
    }
}

}  // namespace

void composite(Image& dst, const Image& src, Point src_pivot, Point dst_pivot, float scale,
               float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float reach =
        std::hypot(static_cast<float>(src.width), static_cast<float>(src.height)) * scale;
    for (int py = static_cast<int>(dst_pivot.y - reach);
         py <= static_cast<int>(dst_pivot.y + reach); ++py) {
        for (int px = static_cast<int>(dst_pivot.x - reach);
             px <= static_cast<int>(dst_pivot.x + reach); ++px) {
            // Undo the turn (counter-clockwise on screen, y down) and the scale.
            const float dx = static_cast<float>(px) + 0.5f - dst_pivot.x;
            const float dy = static_cast<float>(py) + 0.5f - dst_pivot.y;
            const float u = (dx * c - dy * s) / scale + src_pivot.x;
            const float v = (dx * s + dy * c) / scale + src_pivot.y;
            float color[4];
            sample(src, u, v, color);
            if (color[3] > 0.0f) {
                blend_over(dst, px, py, color);
            }
        }
    }
}

void draw_outline(Image& image, const std::vector<Point>& polygon, Rgba color) {
    const float pixel[4] = {color.r * color.a, color.g * color.a, color.b * color.a, color.a};
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i];
        const Point b = polygon[(i + 1) % polygon.size()];
        const int steps =
            static_cast<int>(std::ceil(std::max(std::fabs(b.x - a.x), std::fabs(b.y - a.y)))) + 1;
        for (int s = 0; s <= steps; ++s) {
            const float t = static_cast<float>(s) / static_cast<float>(steps);
            blend_over(image, static_cast<int>(std::floor(a.x + (b.x - a.x) * t)),
                       static_cast<int>(std::floor(a.y + (b.y - a.y) * t)), pixel);
        }
    }
}

}  // namespace assetgen
