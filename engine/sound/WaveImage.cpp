#include "engine/sound/WaveImage.h"

#include <cstring>

namespace Mireku::Sound {

namespace {

constexpr uint32_t kChunkHeader = 8;
constexpr uint32_t kFormatBody = 16; // without the extra-size word

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

} // namespace

bool ParseWaveImage(const void* data, uint32_t size, WaveImage* out) {
    *out = {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (!bytes || size < 17 || std::memcmp(bytes, "RIFF", 4) != 0 ||
        std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    // 64-bit offsets: a chunk size near 4 GiB cannot wrap past the check.
    uint64_t offset = 12;
    while (offset + kChunkHeader <= size) {
        const uint8_t* chunk = bytes + offset;
        const uint32_t chunkSize = U32(chunk + 4);
        const uint64_t body = offset + kChunkHeader;
        if (body + chunkSize > size)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < kFormatBody)
                return false;
            const uint8_t* f = bytes + body;
            out->format.formatTag = U16(f);
            out->format.channels = U16(f + 2);
            out->format.samplesPerSec = U32(f + 4);
            out->format.avgBytesPerSec = U32(f + 8);
            out->format.blockAlign = U16(f + 12);
            out->format.bitsPerSample = U16(f + 14);
            out->format.extraSize = chunkSize >= kFormatBody + 2 ? U16(f + 16) : 0;
            out->hasFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            out->dataOffset = static_cast<uint32_t>(body);
            out->dataSize = chunkSize;
            return true;
        }
        offset = body + chunkSize;
    }
    return false;
}

} // namespace Mireku::Sound
