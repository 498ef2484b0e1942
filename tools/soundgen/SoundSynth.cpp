#include "tools/soundgen/SoundSynth.h"

#include "tools/sampledata/ByteWriter.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Fades of 5 ms keep the edges free of clicks.
float Envelope(size_t i, size_t n, uint32_t rate) {
    const double edge = std::max<double>(1.0, rate * 0.005);
    const double in = std::min(1.0, static_cast<double>(i) / edge);
    const double out = std::min(1.0, static_cast<double>(n - 1 - i) / edge);
    return static_cast<float>(std::min(in, out));
}

} // namespace

std::vector<float> Tone(float hz, float seconds, uint32_t rate, float level) {
    const size_t n = static_cast<size_t>(seconds * static_cast<float>(rate));
    std::vector<float> s(n);
    for (size_t i = 0; i < n; ++i)
        s[i] = level * Envelope(i, n, rate) *
               static_cast<float>(std::sin(kTwoPi * hz * static_cast<double>(i) / rate));
    return s;
}

std::vector<float> Chirp(float fromHz, float toHz, float seconds, uint32_t rate, float level) {
    const size_t n = static_cast<size_t>(seconds * static_cast<float>(rate));
    std::vector<float> s(n);
    double phase = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        phase += kTwoPi * (fromHz + (toHz - fromHz) * t) / rate;
        s[i] = level * Envelope(i, n, rate) * static_cast<float>((1.0 - t) * std::sin(phase));
    }
    return s;
}

std::vector<uint8_t> MakeWav(const std::vector<float>& samples, uint16_t channels, uint32_t rate,
                             uint16_t bits) {
    const uint16_t align = static_cast<uint16_t>(channels * (bits / 8));
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size()) * (bits / 8);
    sampledata::ByteWriter w;
    w.Bytes("RIFF", 4).U32(36 + dataBytes).Bytes("WAVE", 4);
    w.Bytes("fmt ", 4)
        .U32(16)
        .U16(1)
        .U16(channels)
        .U32(rate)
        .U32(rate * align)
        .U16(align)
        .U16(bits);
    w.Bytes("data", 4).U32(dataBytes);
    for (float f : samples) {
        const float c = std::clamp(f, -1.0f, 1.0f);
        if (bits == 8)
            w.U8(static_cast<uint8_t>(std::lround(c * 127.0f) + 128));
        else
            w.I16(static_cast<int16_t>(std::lround(c * 32767.0f)));
    }
    return w.Take();
}

} // namespace soundgen
