#include "tools/soundgen/SoundSynth.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace soundgen {

namespace {

constexpr double kTwoPi = 6.283185307179586;

void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, static_cast<uint16_t>(x));
    Put16(v, static_cast<uint16_t>(x >> 16));
}
void PutId(std::vector<uint8_t>& v, const char* id) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(id[i]));
}

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
    std::vector<uint8_t> w;
    w.reserve(44 + dataBytes);
    PutId(w, "RIFF");
    Put32(w, 36 + dataBytes);
    PutId(w, "WAVE");
    PutId(w, "fmt ");
    Put32(w, 16);
    Put16(w, 1);
    Put16(w, channels);
    Put32(w, rate);
    Put32(w, rate * align);
    Put16(w, align);
    Put16(w, bits);
    PutId(w, "data");
    Put32(w, dataBytes);
    for (float f : samples) {
        const float c = std::clamp(f, -1.0f, 1.0f);
        if (bits == 8)
            w.push_back(static_cast<uint8_t>(std::lround(c * 127.0f) + 128));
        else
            Put16(w, static_cast<uint16_t>(static_cast<int16_t>(std::lround(c * 32767.0f))));
    }
    return w;
}

} // namespace soundgen
