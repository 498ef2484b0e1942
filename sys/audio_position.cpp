// Positional calculation: distance attenuation, pairwise equal-power panning
// between the speakers of the output layout, and the Doppler ratio.
#include "sys/audio.h"

#include <algorithm>
#include <cmath>

namespace sys::audio {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kLfe = 1000.0f; // marks a channel that takes no panned signal

float Dot(const Vector3& a, const Vector3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vector3 Sub(const Vector3& a, const Vector3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vector3 Cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float Length(const Vector3& v) {
    return std::sqrt(Dot(v, v));
}
Vector3 Normalised(const Vector3& v, const Vector3& fallback) {
    const float l = Length(v);
    return l > 1e-6f ? Vector3{v.x / l, v.y / l, v.z / l} : fallback;
}

// Speaker azimuths in degrees (clockwise from the front), in SDL's channel
// order for each channel count.
const float* Layout(uint32_t channels) {
    static const float k1[] = {0};
    static const float k2[] = {-90, 90};
    static const float k3[] = {-90, 90, kLfe};
    static const float k4[] = {-45, 45, -135, 135};
    static const float k5[] = {-30, 30, 0, -110, 110};
    static const float k6[] = {-30, 30, 0, kLfe, -110, 110};
    static const float k7[] = {-30, 30, 0, kLfe, 180, -90, 90};
    static const float k8[] = {-30, 30, 0, kLfe, -150, 150, -90, 90};
    static const float* const kAll[] = {k1, k2, k3, k4, k5, k6, k7, k8};
    return channels >= 1 && channels <= 8 ? kAll[channels - 1] : nullptr;
}

float Wrap360(float degrees) {
    float d = std::fmod(degrees, 360.0f);
    return d < 0 ? d + 360.0f : d;
}

// Gains per output channel for a source at `azimuth` degrees.
void Pan(float azimuth, uint32_t channels, float* gains) {
    std::fill(gains, gains + channels, 0.0f);
    const float* layout = Layout(channels);
    if (!layout) {
        return;
    }
    if (channels == 1) {
        gains[0] = 1.0f;
        return;
    }
    // The two speakers that enclose the azimuth, going clockwise.
    const float a = Wrap360(azimuth);
    int lower = -1, upper = -1;
    float lowerGap = 1e9f, upperGap = 1e9f;
    for (uint32_t c = 0; c < channels; ++c) {
        if (layout[c] == kLfe)
            continue;
        const float s = Wrap360(layout[c]);
        const float behind = Wrap360(a - s); // how far the source is past this speaker
        const float ahead = Wrap360(s - a);
        if (behind < lowerGap) {
            lowerGap = behind;
            lower = static_cast<int>(c);
        }
        if (ahead < upperGap) {
            upperGap = ahead;
            upper = static_cast<int>(c);
        }
    }
    // A position that is not a number matches no speaker: stay silent.
    if (lower < 0 || upper < 0)
        return;
    if (lower == upper || lowerGap + upperGap <= 0.0f) {
        gains[lower] = 1.0f;
        return;
    }
    const float t = lowerGap / (lowerGap + upperGap);
    gains[lower] = std::cos(t * kPi * 0.5f);
    gains[upper] = std::sin(t * kPi * 0.5f);
}

} // namespace

void InitializePositioner(uint32_t channelMask, float speedOfSound, Positioner* positioner) {
    positioner->channelMask = channelMask;
    positioner->speedOfSound = speedOfSound > 0.0f ? speedOfSound : 343.5f;
}

void Calculate(const Positioner& positioner, const Listener& listener, const Emitter& emitter,
               uint32_t flags, DspSettings* settings) {
    const Vector3 front = Normalised(listener.front, {0, 0, 1});
    const Vector3 top = Normalised(listener.top, {0, 1, 0});
    const Vector3 right = Normalised(Cross(top, front), {1, 0, 0});
    const Vector3 offset = Sub(emitter.position, listener.position);
    const float distance = Length(offset);

    if (flags & kCalculateMatrix) {
        const uint32_t dst = std::min(settings->destinationChannels, kMaxChannels);
        const uint32_t src = settings->sourceChannels;
        float azimuth = 0.0f;
        if (distance > 1e-6f)
            azimuth = std::atan2(Dot(offset, right), Dot(offset, front)) * (180.0f / kPi);
        const float scaler =
            emitter.curveDistanceScaler > 0.0f ? emitter.curveDistanceScaler : 1.0f;
        const float attenuation = distance > scaler ? scaler / distance : 1.0f;
        float gains[kMaxChannels];
        Pan(azimuth, dst, gains);
        // Every source channel sits at the emitter.
        for (uint32_t d = 0; d < dst; ++d)
            for (uint32_t s = 0; s < src; ++s)
                settings->matrixCoefficients[d * src + s] = gains[d] * attenuation;
    }

    if (flags & kCalculateDoppler) {
        float ratio = 1.0f;
        if (distance > 1e-6f && emitter.dopplerScaler > 0.0f) {
            const float c = positioner.speedOfSound;
            // Unit vector from the emitter towards the listener.
            const Vector3 u = {-offset.x / distance, -offset.y / distance, -offset.z / distance};
            const float limit = c * 0.5f;
            const float emitterTowards =
                std::clamp(Dot(emitter.velocity, u) * emitter.dopplerScaler, -limit, limit);
            const float listenerAway =
                std::clamp(Dot(listener.velocity, u) * emitter.dopplerScaler, -limit, limit);
            ratio = (c - listenerAway) / (c - emitterTowards);
        }
        settings->dopplerFactor = ratio;
    }
}

} // namespace sys::audio
