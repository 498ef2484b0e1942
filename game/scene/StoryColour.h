// The colours the story screens draw with (0xAABBGGRR): pictures fading
// through black, overlays and texts fading in.
#pragma once

#include <cstdint>

namespace StoryColour {

constexpr uint32_t kBlack = 0xFF000000u;

// A grey of level `level` (0-1, for each of red, green and blue) or a colour
// with alpha `level` (0-1): 255 x level, cut to a byte.
constexpr uint32_t Level(float level) {
    const float v = level < 0.0f ? 0.0f : (level > 1.0f ? 1.0f : level);
    return static_cast<uint32_t>(v * 255.0f);
}
constexpr uint32_t Grey(float level) {
    const uint32_t c = Level(level);
    return 0xFF000000u | c << 16 | c << 8 | c;
}
constexpr uint32_t WithAlpha(uint32_t colour, float level) {
    return (colour & 0x00FFFFFFu) | Level(level) << 24;
}

} // namespace StoryColour
