#pragma once

#include <cstdint>

namespace FulgorCore {

// A colour as the vertices carry it: each channel x 1000, clamped to
// 0..10000 (not a number reads as 0).
inline void PackFloat4ToU16(uint16_t* out, const float* rgba) {
    for (uint32_t c = 0; c < 4; ++c) {
        const float v = rgba[c] * 1000.0f;
        out[c] = v > 0.0f ? (v < 10000.0f ? static_cast<uint16_t>(v) : uint16_t{10000}) : 0u;
    }
}

} // namespace FulgorCore
