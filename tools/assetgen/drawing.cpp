#include "drawing.h"

#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include <fmt/format.h>
#include <pugixml.hpp>

namespace assetgen {

namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what) {
    throw std::runtime_error(fmt::format("{}: {}", path, what));
}

float parse_float(const std::string& path, std::string_view text) {
    const std::string copy(text);
    char* end = nullptr;
    const float value = std::strtof(copy.c_str(), &end);
    if (copy.empty() || end == copy.c_str()) {
        fail(path, fmt::format("'{}' is not a number", copy));
    }
    if (*end == '%') {
        return value / 100.0f;
    }
    return value;
}

float float_attribute(const std::string& path, const pugi::xml_node& node, const char* name,
                      float fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    return attribute ? parse_float(path, attribute.value()) : fallback;
}

float required_float(const std::string& path, const pugi::xml_node& node, const char* name) {
    if (!node.attribute(name)) {
        fail(path, fmt::format("<{}> lacks '{}'", node.name(), name));
    }
    return float_attribute(path, node, name, 0.0f);
}

std::vector<Point> parse_points(const std::string& path, std::string_view text) {
    std::vector<float> numbers;
    std::string token;
    const auto flush = [&] {
        if (!token.empty()) {
            numbers.push_back(parse_float(path, token));
            token.clear();
        }
    };
    for (const char c : text) {
        if (c == ',' || c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            flush();
        } else {
            token += c;
        }
    }
    flush();
    if (numbers.size() % 2 != 0 || numbers.size() < 6) {
        fail(path, fmt::format("polygon points '{}' are not three or more pairs", text));
    }
    std::vector<Point> points;
    for (std::size_t i = 0; i < numbers.size(); i += 2) {
        points.push_back({numbers[i], numbers[i + 1]});
    }
    return points;
}

Rgba parse_color(const std::string& path, std::string_view text) {
    const auto hex = [&](std::string_view digits) {
        return static_cast<float>(std::strtol(std::string(digits).c_str(), nullptr, 16));
    };
    if (text.size() == 7 && text[0] == '#') {
        return {hex(text.substr(1, 2)) / 255.0f, hex(text.substr(3, 2)) / 255.0f,
                hex(text.substr(5, 2)) / 255.0f, 1.0f};
    }
    if (text.size() == 4 && text[0] == '#') {
        return {hex(text.substr(1, 1)) / 15.0f, hex(text.substr(2, 1)) / 15.0f,
                hex(text.substr(3, 1)) / 15.0f, 1.0f};
    }
    fail(path, fmt::format("colour '{}' is not #rgb or #rrggbb", text));
}

using Gradients = std::map<std::string, Paint>;

Gradients parse_gradients(const std::string& path, const pugi::xml_node& root) {
    Gradients gradients;
    for (const pugi::xpath_node& found : root.select_nodes("//radialGradient")) {
        const pugi::xml_node gradient = found.node();
        Paint paint;
        for (const pugi::xml_node stop : gradient.children("stop")) {
            Rgba color = parse_color(path, stop.attribute("stop-color").value());
            color.a = float_attribute(path, stop, "stop-opacity", 1.0f);
            paint.stops.push_back({required_float(path, stop, "offset"), color});
        }
        if (paint.stops.size() < 2) {
            fail(path, "a radialGradient needs two or more stops");
        }
        gradients[gradient.attribute("id").value()] = paint;
    }
    return gradients;
}

Paint parse_paint(const std::string& path, const pugi::xml_node& node, const Gradients& gradients,
                  float opacity) {
    const std::string fill = node.attribute("fill").value();
    opacity *= float_attribute(path, node, "opacity", 1.0f) *
               float_attribute(path, node, "fill-opacity", 1.0f);
    Paint paint;
    if (fill.starts_with("url(#") && fill.ends_with(")")) {
        const auto found = gradients.find(fill.substr(5, fill.size() - 6));
        if (found == gradients.end()) {
            fail(path, fmt::format("unknown gradient in fill '{}'", fill));
        }
        paint = found->second;
    } else {
        paint.stops.push_back({0.0f, parse_color(path, fill)});
    }
    for (auto& stop : paint.stops) {
        stop.color.a *= opacity;
    }
    return paint;
}

bool is_hidden(const pugi::xml_node& node) {
    return std::string_view(node.attribute("display").value()) == "none";
}

void parse_collision(Drawing& drawing, const pugi::xml_node& group) {
    for (const pugi::xml_node polygon : group.children("polygon")) {
        drawing.collision.push_back(
            parse_points(drawing.path, polygon.attribute("points").value()));
    }
}

void parse_slots(Drawing& drawing, const pugi::xml_node& group) {
    for (const pugi::xml_node circle : group.children("circle")) {
        Slot slot;
        slot.center = {required_float(drawing.path, circle, "cx"),
                       required_float(drawing.path, circle, "cy")};
        slot.mount_type =
            static_cast<std::uint32_t>(required_float(drawing.path, circle, "data-mount-type"));
        slot.rot_neut_degrees = required_float(drawing.path, circle, "data-rot-neut");
        slot.rot_range_degrees = required_float(drawing.path, circle, "data-rot-range");
        drawing.slots.push_back(slot);
    }
}

Shape parse_shape(const std::string& path, const pugi::xml_node& node) {
    const std::string_view kind = node.name();
    Shape shape;
    if (kind == "polygon") {
        shape.outline = parse_points(path, node.attribute("points").value());
    } else if (kind == "rect") {
        const float x = float_attribute(path, node, "x", 0.0f);
        const float y = float_attribute(path, node, "y", 0.0f);
        const float w = required_float(path, node, "width");
        const float h = required_float(path, node, "height");
        shape.outline = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    } else if (kind == "circle" || kind == "ellipse") {
        shape.is_ellipse = true;
        shape.center = {required_float(path, node, "cx"), required_float(path, node, "cy")};
        if (kind == "circle") {
            shape.rx = shape.ry = required_float(path, node, "r");
        } else {
            shape.rx = required_float(path, node, "rx");
            shape.ry = required_float(path, node, "ry");
        }
    } else {
        fail(path, fmt::format("<{}> is outside the supported subset", kind));
    }
    return shape;
}

void parse_art(Drawing& drawing, const pugi::xml_node& parent, const Gradients& gradients,
               float opacity) {
    for (const pugi::xml_node node : parent.children()) {
        const std::string_view kind = node.name();
        if (node.type() != pugi::node_element || kind == "defs" || kind == "title" ||
            kind == "desc") {
            continue;
        }
        if (node.attribute("transform")) {
            fail(drawing.path, "transforms are outside the supported subset");
        }
        const std::string_view id = node.attribute("id").value();
        if (id == "collision") {
            parse_collision(drawing, node);
        } else if (id == "mounts") {
            parse_slots(drawing, node);
        } else if (is_hidden(node)) {
            continue;
        } else if (kind == "g") {
            parse_art(drawing, node, gradients,
                      opacity * float_attribute(drawing.path, node, "opacity", 1.0f));
        } else {
            Shape shape = parse_shape(drawing.path, node);
            shape.paint = parse_paint(drawing.path, node, gradients, opacity);
            drawing.shapes.push_back(std::move(shape));
        }
    }
}

}  // namespace

const std::string& Drawing::property(const std::string& key) const {
    const auto found = properties.find(key);
    if (found == properties.end()) {
        fail(path, fmt::format("the <svg> element lacks data-{}", key));
    }
    return found->second;
}

float Drawing::number(const std::string& key) const { return parse_float(path, property(key)); }

Drawing load_drawing(const std::string& path) {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(path.c_str());
    if (!parsed) {
        fail(path, parsed.description());
    }
    const pugi::xml_node root = document.child("svg");
    if (!root) {
        fail(path, "no <svg> root element");
    }
    Drawing drawing;
    drawing.path = path;
    drawing.width = static_cast<int>(required_float(path, root, "width"));
    drawing.height = static_cast<int>(required_float(path, root, "height"));
    for (const pugi::xml_attribute attribute : root.attributes()) {
        const std::string_view name = attribute.name();
        if (name.starts_with("data-")) {
            drawing.properties[std::string(name.substr(5))] = attribute.value();
        }
    }
    parse_art(drawing, root, parse_gradients(path, root), 1.0f);
    return drawing;
}

}  // namespace assetgen
