#pragma once

#include <cstdint>

namespace FulgorCore {

struct InstanceSlot;

// One instance to draw and the key it is sorted by.
struct DrawSortEntry {
    InstanceSlot* instance;
    uint64_t key;

    // Bits 48-63: 65535 minus the draw order; bits 16-47: the low 32 bits of
    // the truncated (depth + 3000) * 1000; bits 0-15: the instance's index.
    void SetKey(uint16_t drawOrder, float depth, uint32_t index);
};

} // namespace FulgorCore
