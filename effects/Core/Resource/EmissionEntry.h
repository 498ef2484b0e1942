#pragma once

#include <cstdint>

namespace FulgorCore {

// The start values of one particle of a type-4 batch, filled once by the
// emission-table generator: a word of small fields (bit 0, bits 1-3, bits
// 4-7, bits 8-15) and 26 value words. A copy takes those fields one by one
// (the rest of word 0 is not part of the record) and then the values.
struct EmissionEntry {
    static constexpr uint32_t kValueWords = 26;
    static constexpr uint32_t kFieldMask = 0xFFFFu;

    uint32_t fields = 0;
    uint32_t values[kValueWords] = {};

    EmissionEntry() = default;
    EmissionEntry(const EmissionEntry& other) { *this = other; }
    EmissionEntry& operator=(const EmissionEntry& other) {
        fields = (other.fields & 1u) | (other.fields & (7u << 1)) | (other.fields & (15u << 4)) |
                 (other.fields & (255u << 8));
        for (uint32_t i = 0; i < kValueWords; ++i)
            values[i] = other.values[i];
        return *this;
    }
};
static_assert(sizeof(EmissionEntry) == 108);

} // namespace FulgorCore
