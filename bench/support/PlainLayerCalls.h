// What the effects benchmarks' plain loops share: the device calls a layer
// makes around its records (its begin with the scene constants, its end)
// and the record's own constants, made straight on the device, and the
// thread's processor time to measure both sides by.
#pragma once

#include "bench/support/ThreadSeconds.h"
#include "effects/Core/Interface/IDevice.h"

#include <cstdint>

namespace bench {

// The layer's begin: the depth stage, the three scene vectors (three floats
// each) to both programs and the inverse view x projection.
inline void BeginPlainLayer(FulgorCore::IDevice& d, const float* scene, const float* matrix) {
    d.OnBatchesBegin(0);
    d.SetTexture(8, nullptr, 0, 2, 2, 0);
    d.OnDrawPhase(0);
    for (uint32_t r = 16; r < 19; ++r) {
        d.SetVertexShaderConstants(r, scene, 1, 12);
        d.SetPixelShaderConstants(r + 19, scene, 1, 12);
    }
    d.SetPixelShaderConstants(0, matrix, 4, 16);
}

// A draw record's matrix, root colour and screen parameter.
inline void PlainRecord(FulgorCore::IDevice& d, const float* matrix, const float* color,
                        const float* screen) {
    d.OnDrawPhase(1);
    d.SetVertexShaderConstants(8, matrix, 4, 16);
    d.SetVertexShaderConstants(13, color, 1, 16);
    d.SetPixelShaderConstants(14, screen, 1, 16);
}

inline void EndPlainLayer(FulgorCore::IDevice& d) {
    d.OnBatchesEnd(0);
    d.OnLayerEnd();
}

} // namespace bench
