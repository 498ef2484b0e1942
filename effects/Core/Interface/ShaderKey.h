#pragma once

#include <cstdint>

namespace FulgorCore {

// Everything a material's shader pair depends on, as five words. Two
// materials with equal words share one pair. The renderer fills the fields;
// a host reads only what it needs to name and lay out the programs.
struct ShaderKey {
    static constexpr uint32_t kWordCount = 5;
    static constexpr uint32_t kKindMask = 0x7;        // word 0 bits 0-2
    static constexpr uint32_t kMorphTargetBit = 0x20; // word 0 bit 5, model kind only

    // Primitive kinds of word 0 bits 0-2; 4 to 7 select no program.
    enum Kind : uint32_t { kSimple = 0, kShape = 1, kModel = 2, kProjection = 3, kKindCount = 4 };

    uint32_t words[kWordCount] = {0, 0, 0, 0, 0};

    uint32_t GetKind() const { return words[0] & kKindMask; }
    bool HasMorphTarget() const { return (words[0] & kMorphTargetBit) != 0; }
};

} // namespace FulgorCore
