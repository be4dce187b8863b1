#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The SVG subset the art is drawn in: <polygon>, <rect>, <circle> and
// <ellipse> filled with a colour or a centred <radialGradient>, inside <g>
// groups, with opacity and fill-opacity. No strokes, paths or transforms.
// Two hidden groups carry game data instead of art: id="collision" holds the
// convex collision polygons (exactly one for a ship) and id="mounts" one
// circle per mount slot.
namespace assetgen {

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// Straight (not premultiplied) colour, every channel in [0, 1].
struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

struct GradientStop {
    float offset = 0.0f;
    Rgba color;
};

// One stop is a plain colour; more are a radial gradient from the centre out.
struct Paint {
    std::vector<GradientStop> stops;
};

struct Shape {
    std::vector<Point> outline;  // polygon or rectangle corners
    bool is_ellipse = false;
    Point center;
    float rx = 0.0f;
    float ry = 0.0f;
    Paint paint;
};

struct Slot {
    Point center;
    std::uint32_t mount_type = 0;
    float rot_neut_degrees = 0.0f;
    float rot_range_degrees = 0.0f;
};

// Everything in SVG user units: x to the right, y downward from the top.
struct Drawing {
    std::string path;
    int width = 0;
    int height = 0;
    std::map<std::string, std::string> properties;  // the root's data-* attributes
    std::vector<Shape> shapes;                      // in painting order
    std::vector<std::vector<Point>> collision;
    std::vector<Slot> slots;

    // The root's data-<key> attribute; raises naming the file when absent.
    const std::string& property(const std::string& key) const;
    float number(const std::string& key) const;
};

// Raises std::runtime_error naming the file on anything outside the subset.
Drawing load_drawing(const std::string& path);

}  // namespace assetgen
