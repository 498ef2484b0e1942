#include "effects/drawunits/ColorKeys4.h"

#include "effects/Core/Resource/DrawDataType4.h"

namespace FulgorCore {

namespace {

void KeyColor(const DrawDataType4& header, uint32_t key, float* rgba) {
    const uint32_t first = DrawDataType4::kCoR1 + key * 4;
    for (uint32_t c = 0; c < 4; ++c)
        rgba[c] = header.GetFloat(static_cast<DrawDataType4::Float>(first + c));
}

} // namespace

void ColorKeys4::ReadKeys(const DrawDataType4& header, int32_t (&keys)[4]) {
    for (uint32_t i = 0; i < 4; ++i)
        keys[i] = static_cast<int16_t>(header.GetColorTime(i));
}

void ColorKeys4::ComputeSpans(const DrawDataType4& header, float (&spans)[3]) {
    int32_t keys[4];
    ReadKeys(header, keys);
    for (uint32_t i = 0; i < 3; ++i)
        spans[i] = static_cast<float>(keys[i + 1] - keys[i]);
}

void ColorKeys4::Evaluate(const float (&spans)[3], float* out, int32_t t,
                          const DrawDataType4& header, const float* base) {
    int32_t keys[4];
    ReadKeys(header, keys);
    float ramp[4];
    if (t < keys[0]) {
        KeyColor(header, 0, ramp);
    } else if (t >= keys[3]) {
        KeyColor(header, 3, ramp);
    } else {
        // The interval [key k, key k + 1) that holds t; an empty one is
        // passed over.
        uint32_t k = 0;
        while (k < 2 && t >= keys[k + 1])
            ++k;
        float a[4], b[4];
        KeyColor(header, k, a);
        KeyColor(header, k + 1, b);
        const float f = static_cast<float>(t - keys[k]) / spans[k];
        for (uint32_t c = 0; c < 4; ++c)
            ramp[c] = a[c] + (b[c] - a[c]) * f;
    }
    for (uint32_t c = 0; c < 4; ++c)
        out[c] = base[c] * ramp[c];
}

} // namespace FulgorCore
