#pragma once

#include <cstdint>

namespace FulgorCore {

// The 48-word set-up record of a particle: a word of small fields (bits
// 0-1, bit 2, bits 3-5, bits 6-9, bits 10-17) and 47 further words.
struct ParticleSetupRecord {
    static constexpr uint32_t kWords = 47;

    uint32_t fields = 0;
    uint32_t words[kWords] = {};
};
static_assert(sizeof(ParticleSetupRecord) == 48 * 4);

// Copies the record field by field: the five fields of word 0 (its bits
// 18-31 are not part of the record and come out 0), then the 47 words.
void ParticleSetupRecordCopy(ParticleSetupRecord& out, const ParticleSetupRecord& in);

} // namespace FulgorCore
