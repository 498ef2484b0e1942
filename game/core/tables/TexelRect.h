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
};

static_assert(sizeof(TexelRect) == 8);
static_assert(offsetof(TexelRect, top) == 2 && offsetof(TexelRect, bottom) == 6);
