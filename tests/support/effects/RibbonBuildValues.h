// What the strip and trail tests hand their frame geometry builds and read
// back: constant colours for their data, the identity texture transforms as
// Update passes them, and the (u, v) of one texture word.
#pragma once

#include "tools/effect/PropertyWriter.h"

#include <cstdint>
#include <utility>

namespace testsupport {

inline effecttools::ColorValue ConstantColour(float r, float g, float b, float a) {
    effecttools::ColorValue c;
    c.red = effecttools::Constant(r);
    c.green = effecttools::Constant(g);
    c.blue = effecttools::Constant(b);
    c.alpha = effecttools::Constant(a);
    return c;
}

// Six identity texture transforms with 0.5 added to the translations.
inline constexpr float kCentred[48] = {
    1, 0, 0, 0.5f, 0, 1, 0, 0.5f, 1, 0, 0, 0.5f, 0, 1, 0, 0.5f, 1, 0, 0, 0.5f, 0, 1, 0, 0.5f,
    1, 0, 0, 0.5f, 0, 1, 0, 0.5f, 1, 0, 0, 0.5f, 0, 1, 0, 0.5f, 1, 0, 0, 0.5f, 0, 1, 0, 0.5f};

// The (u, v) of word k.
inline std::pair<int16_t, int16_t> TextureWord(const uint32_t* words, uint32_t k) {
    return {static_cast<int16_t>(words[k] & 0xFFFF), static_cast<int16_t>(words[k] >> 16)};
}

} // namespace testsupport
