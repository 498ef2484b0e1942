#pragma once

#include <cstdint>

namespace FulgorCore {

struct EmissionEntry;

// The head of a particle-field point's state that the emission table
// starts: the flag word (bit 0 expired, bit 1 live, bit 2 random flip,
// bits 3-5 target mode, bits 6-9 pattern, bits 10-17 frame cell, bits 18
// and up the field's own), the two time fields and the target position.
// The state record is kPointStateSize bytes and begins with this head.
struct EmissionPointHead {
    static constexpr uint32_t kPointStateSize = 192;
    static constexpr uint32_t kKeptBits = 0xFFFC0000u; // bits 18 and up
    static constexpr uint32_t kFlipShift = 2;
    static constexpr uint32_t kTargetShift = 3;
    static constexpr uint32_t kPatternShift = 6;
    static constexpr uint32_t kCellShift = 10;

    uint32_t flags;
    float age;
    float emissionAge;
    float target[3];
};

// Copies each entry's per-particle part into the state of its point, one
// record of kPointStateSize bytes per point, in order. Points past the
// table (or all of them, without a table) get the empty part: no flags of
// the table's, times 0, target at the origin.
void CopyEmissionTable(void* states, uint32_t pointCount, const EmissionEntry* table,
                       uint32_t entryCount);

} // namespace FulgorCore
