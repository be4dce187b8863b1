#pragma once

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace Rml {

using String = std::string;
using StringList = std::vector<String>;
using byte = std::uint8_t;

template <typename T>
struct Vector2 {
    T x{};
    T y{};

    constexpr Vector2() = default;
    constexpr Vector2(T x_value, T y_value) : x(x_value), y(y_value) {}

    constexpr Vector2 operator+(const Vector2& other) const { return {x + other.x, y + other.y}; }
    constexpr Vector2 operator-(const Vector2& other) const { return {x - other.x, y - other.y}; }
    constexpr Vector2 operator*(T factor) const { return {x * factor, y * factor}; }
    constexpr Vector2& operator+=(const Vector2& other) {
        x += other.x;
        y += other.y;
        return *this;
    }
    constexpr Vector2& operator-=(const Vector2& other) {
        x -= other.x;
        y -= other.y;
        return *this;
    }
    constexpr bool operator==(const Vector2&) const = default;
};

using Vector2i = Vector2<int>;
using Vector2f = Vector2<float>;

// An axis-aligned rectangle by its top-left corner and size.
struct Rectanglef {
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;

    float Right() const { return x + width; }
    float Bottom() const { return y + height; }
    bool Contains(Vector2f point) const {
        return point.x >= x && point.y >= y && point.x < Right() && point.y < Bottom();
    }
    bool Empty() const { return width <= 0 || height <= 0; }
    Rectanglef Intersect(const Rectanglef& other) const {
        const float left = std::max(x, other.x);
        const float top = std::max(y, other.y);
        const float right = std::min(Right(), other.Right());
        const float bottom = std::min(Bottom(), other.Bottom());
        return {left, top, std::max(0.f, right - left), std::max(0.f, bottom - top)};
    }
    Rectanglef Union(const Rectanglef& other) const {
        const float left = std::min(x, other.x);
        const float top = std::min(y, other.y);
        const float right = std::max(Right(), other.Right());
        const float bottom = std::max(Bottom(), other.Bottom());
        return {left, top, right - left, bottom - top};
    }
    bool operator==(const Rectanglef&) const = default;
};

struct Rectanglei {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rectanglei&) const = default;
};

// `value` without its fraction, saturated to the range of int; NaN gives 0.
inline int ClampToInt(float value) {
    // 2^31 is exact as a float; every float below it truncates into range.
    constexpr float kLimit = 2147483648.f;
    if (std::isnan(value)) return 0;
    if (value >= kLimit) return INT_MAX;
    if (value <= -kLimit) return INT_MIN;
    return static_cast<int>(value);
}

// Straight (not premultiplied) 8-bit colour.
struct Colourb {
    byte red = 0;
    byte green = 0;
    byte blue = 0;
    byte alpha = 255;
    bool operator==(const Colourb&) const = default;
};

}  // namespace Rml
