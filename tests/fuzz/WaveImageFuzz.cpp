// Feeds arbitrary bytes to the WAV reader: it must refuse bad images without
// crashing, and whatever it accepts must lie inside the input.
#include "engine/sound/WaveImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFFu)
        return 0;
    Mireku::Sound::WaveImage image;
    if (!Mireku::Sound::ParseWaveImage(data, static_cast<uint32_t>(size), &image))
        return 0;
    if (uint64_t(image.dataOffset) + image.dataSize > size)
        std::abort();
    // Touch the samples so that the sanitizer sees any stray range.
    volatile uint8_t sum = 0;
    for (uint32_t i = 0; i < image.dataSize; ++i)
        sum = static_cast<uint8_t>(sum + data[image.dataOffset + i]);
    (void)sum;
    return 0;
}
