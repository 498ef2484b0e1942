#pragma once

#include <cstdint>

namespace FulgorCore {

// The start values of one particle of a type-4 batch, filled once by the
// emission-table generator. A copy takes the four small fields of the flag
// word one by one (the rest of the word is not part of the record) and the
// values unchanged.
struct EmissionEntry {
    // Flag word: bit 0 random flip, bits 1-3 target mode (0 none, else 1 +
    // the batch's target setting), bits 4-7 pattern index, bits 8-15 frame
    // cell.
    static constexpr uint32_t kFlipShift = 0;
    static constexpr uint32_t kTargetShift = 1;
    static constexpr uint32_t kPatternShift = 4;
    static constexpr uint32_t kCellShift = 8;
    static constexpr uint32_t kFieldMask = 0xFFFFu;
    static constexpr uint32_t kRandomVectors = 4;

    uint32_t fields = 0;
    // Frames; each group is born after the one before.
    float birthOffset[2] = {};
    // Set only when the batch has a target model.
    float target[3] = {};
    // Not set by the generator.
    float spare[3] = {};
    float position[3] = {};
    float velocity[3] = {};
    float random[kRandomVectors][3] = {};

    uint32_t Flip() const { return (fields >> kFlipShift) & 1u; }
    uint32_t TargetMode() const { return (fields >> kTargetShift) & 7u; }
    uint32_t Pattern() const { return (fields >> kPatternShift) & 15u; }
    uint32_t Cell() const { return (fields >> kCellShift) & 255u; }

    EmissionEntry() = default;
    EmissionEntry(const EmissionEntry& other) { *this = other; }
    EmissionEntry& operator=(const EmissionEntry& other) {
        fields = (other.Flip() << kFlipShift) | (other.TargetMode() << kTargetShift) |
                 (other.Pattern() << kPatternShift) | (other.Cell() << kCellShift);
        for (int i = 0; i < 2; ++i)
            birthOffset[i] = other.birthOffset[i];
        for (int i = 0; i < 3; ++i) {
            target[i] = other.target[i];
            spare[i] = other.spare[i];
            position[i] = other.position[i];
            velocity[i] = other.velocity[i];
            for (uint32_t v = 0; v < kRandomVectors; ++v)
                random[v][i] = other.random[v][i];
        }
        return *this;
    }
};
static_assert(sizeof(EmissionEntry) == 108);

} // namespace FulgorCore
