// Reading a RIFF/WAVE file image held in memory.
#pragma once

#include "sys/audio.h"

#include <cstdint>

namespace Mireku::Sound {

struct WaveImage {
    sys::audio::WaveFormat format;
    bool hasFormat;      // a "fmt " chunk came before the "data" chunk
    uint32_t dataOffset; // of the "data" body within the image
    uint32_t dataSize;
};

// Finds the format and the samples. Every chunk must lie inside the image: a
// chunk header or body running past the end, or a "fmt " body too short for
// a format, fails the parse. Success with hasFormat false means the samples
// were found without a format before them.
bool ParseWaveImage(const void* data, uint32_t size, WaveImage* out);

} // namespace Mireku::Sound
