#pragma once

#include <cstdint>

namespace FulgorCore {

// A size and an aspect for a draw unit's size mode, from a width and a
// height: mode 1 gives (h, w / h), mode 2 (h, 1), mode 3 always (-1, 1),
// any other mode (w, 1).
struct SizeAndAspect {
    float size;
    float aspect;
};

SizeAndAspect ResolveSizeMode(float width, float height, uint32_t mode);

} // namespace FulgorCore
