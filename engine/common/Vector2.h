#pragma once

#include <cmath>

namespace Mireku::Common {

struct Vector2 {
    float x = 0.0f;
    float y = 0.0f;

    Vector2() = default;
    constexpr Vector2(float x_, float y_) : x(x_), y(y_) {}

    bool operator==(const Vector2& o) const = default;
    Vector2 operator+(const Vector2& o) const { return {x + o.x, y + o.y}; }
    Vector2 operator-(const Vector2& o) const { return {x - o.x, y - o.y}; }
    Vector2 operator*(float s) const { return {x * s, y * s}; }
    Vector2& operator+=(const Vector2& o) {
        x += o.x;
        y += o.y;
        return *this;
    }
    Vector2& operator-=(const Vector2& o) {
        x -= o.x;
        y -= o.y;
        return *this;
    }

    static Vector2 Lerp(const Vector2& a, const Vector2& b, float t) { return a + (b - a) * t; }
    float Length() const { return std::sqrt(x * x + y * y); }
    float LengthSquared() const { return x * x + y * y; }
    Vector2 Perpendicular() const { return {y, -x}; }
    // Short vectors (below 0.0001, or NaN) come back unchanged.
    Vector2 Normalize() const {
        float len = std::sqrt(x * x + y * y);
        if (!(len >= 0.0001f))
            return *this;
        return *this * (1.0f / len);
    }
    Vector2 NormalizeUnchecked() const { return *this * (1.0f / std::sqrt(x * x + y * y)); }
};

} // namespace Mireku::Common
