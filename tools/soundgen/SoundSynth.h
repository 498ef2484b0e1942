// Synthesised sample sounds: tones, WAV images and Ogg Vorbis streams, for the
// sample data and for tests. Every sound has its own pitch so that a listener
// (or a test) can tell which file is playing.
#pragma once

#include <cstdint>
#include <vector>

namespace soundgen {

// Mono samples in [-1, 1]: a sine at `hz` with a short fade in and out
// (amplitude `level`), `seconds` long.
std::vector<float> Tone(float hz, float seconds, uint32_t rate, float level = 0.5f);
// A decaying chirp from `fromHz` to `toHz` (an effect-like blip).
std::vector<float> Chirp(float fromHz, float toHz, float seconds, uint32_t rate,
                         float level = 0.6f);

// A RIFF/WAVE image with a "fmt " and a "data" chunk; 8-bit (unsigned) or
// 16-bit (signed) PCM of interleaved `samples`.
std::vector<uint8_t> MakeWav(const std::vector<float>& samples, uint16_t channels, uint32_t rate,
                             uint16_t bits);

// Ogg Vorbis (VBR, quality -0.1 to 1) of interleaved samples; empty on failure.
std::vector<uint8_t> EncodeOggVorbis(const std::vector<float>& samples, uint16_t channels,
                                     uint32_t rate, float quality = 0.2f);

} // namespace soundgen
