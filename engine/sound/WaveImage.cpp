#include "engine/sound/WaveImage.h"
#include "sys/bytes.h"

#include <cstring>

namespace Mireku::Sound {

namespace {

constexpr uint32_t kChunkHeader = 8;
constexpr uint32_t kFormatBody = 16; // without the extra-size word

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
        const uint32_t chunkSize = sys::LoadU32(chunk + 4);
        const uint64_t body = offset + kChunkHeader;
        if (body + chunkSize > size)
            return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < kFormatBody)
                return false;
            const uint8_t* f = bytes + body;
            out->format.formatTag = sys::LoadU16(f);
            out->format.channels = sys::LoadU16(f + 2);
            out->format.samplesPerSec = sys::LoadU32(f + 4);
            out->format.avgBytesPerSec = sys::LoadU32(f + 8);
            out->format.blockAlign = sys::LoadU16(f + 12);
            out->format.bitsPerSample = sys::LoadU16(f + 14);
            out->format.extraSize = chunkSize >= kFormatBody + 2 ? sys::LoadU16(f + 16) : 0;
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
