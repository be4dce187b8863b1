#pragma once

#include <string>
#include <vector>

#include "drawing.h"

namespace assetgen {

// Premultiplied RGBA, four floats per pixel, rows from the top.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 4, 0.0f) {}
};

// Fills every shape with SDL's software renderer at `supersample` times the
// drawing's size and averages the samples down for smooth edges.
Image render(const Drawing& drawing, int supersample);
// Saves with straight alpha; raises naming the file on failure.
void save_png(const Image& image, const std::string& path);

// Preview helpers. `composite` draws `src` scaled by `scale` and turned
// counter-clockwise by `angle` (radians) about its point `src_pivot`, which
// lands on `dst_pivot`; all in pixels, y down.
void composite(Image& dst, const Image& src, Point src_pivot, Point dst_pivot, float scale,
               float angle);
void draw_outline(Image& image, const std::vector<Point>& polygon, Rgba color);

}  // namespace assetgen
