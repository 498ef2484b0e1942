#pragma once

#include "effects/Core/Math/FloatConversion.h"

#include <cstdint>

namespace FulgorCore {

struct InstanceSlot;

// One instance to draw and the key it is sorted by.
struct DrawSortEntry {
    InstanceSlot* instance;
    uint64_t key;

    // Bits 48-63: 65535 minus the draw order; bits 16-47: the low 32 bits of
    // the truncated (depth + 3000) * 1000; bits 0-15: the instance's index.
    // The depth term is truncated at 64 bits and cut to its low 32, so
    // depths beyond the 32-bit range wrap as they always did; NaN and
    // depths beyond 64 bits give the indefinite value (low word 0). Inline:
    // the layer draw keys every instance of a layer each frame.
    void SetKey(uint16_t drawOrder, float depth, uint32_t index) {
        const uint64_t depthTerm =
            static_cast<uint64_t>(Math::TruncateToInt64((depth + 3000.0f) * 1000.0f)) & 0xFFFFFFFFu;
        key = (uint64_t{65535u - drawOrder} << 48) | (depthTerm << 16) | (index & 0xFFFFu);
    }
};
static_assert(sizeof(DrawSortEntry) == 16, "an instance pointer and the key");

} // namespace FulgorCore
