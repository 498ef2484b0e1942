// A source rectangle in a texture, in texels with inclusive corners, as the
// enemy and bullet rows store their animation frames.
#pragma once

#include <cstddef>
#include <cstdint>

struct TexelRect {
    int16_t left;
    int16_t top;
    int16_t right;
    int16_t bottom;

    // Both corners count.
    constexpr float Width() const { return static_cast<float>(right - left + 1); }
    constexpr float Height() const { return static_cast<float>(bottom - top + 1); }
};

static_assert(sizeof(TexelRect) == 8);
static_assert(offsetof(TexelRect, top) == 2 && offsetof(TexelRect, bottom) == 6);
