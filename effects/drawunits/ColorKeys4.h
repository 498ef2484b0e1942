#pragma once

#include <cstdint>

namespace FulgorCore {

class DrawDataType4;

// The four-key colour ramp of a particle field: a point of age t is
// coloured by the key colours of the field data, linearly between the keys
// around t, held at the first before the first key and at the last from the
// last key on. Equal keys leave their interval empty, so no span of 0 is
// divided by.
class ColorKeys4 {
public:
    // The keys as times: the data's four colour times, read as i16.
    static void ReadKeys(const DrawDataType4& header, int32_t (&keys)[4]);
    // key1 - key0, key2 - key1, key3 - key2.
    static void ComputeSpans(const DrawDataType4& header, float (&spans)[3]);
    // out = base x the ramp colour at t (all four channels).
    static void Evaluate(const float (&spans)[3], float* out, int32_t t,
                         const DrawDataType4& header, const float* base);
};

} // namespace FulgorCore
