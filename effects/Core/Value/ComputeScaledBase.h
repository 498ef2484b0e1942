#pragma once

#include <cstdint>

namespace FulgorCore {

// What a drawing unit's base value is computed from.
struct ScaledBaseInput {
    // The per-instance float the host sets, as the root unit copied it.
    float instanceParameter = 0.0f;
    // The drawing unit's own data value.
    float dataValue = 0.0f;
    // The owner unit's evaluated scale (3 floats).
    const float* ownerScale = nullptr;
    // The drawing unit's distance factor.
    float distanceFactor = 0.0f;
    // The camera position and the owner's world translation (3 floats each).
    const float* cameraPosition = nullptr;
    const float* ownerTranslation = nullptr;
};

// A drawing unit's base value by its scale mode, with P the instance
// parameter, d the data value, m the largest owner scale component, f the
// distance factor and dist the approximate camera distance:
//   0 P   1 P + d   2 (P + d) m   3 (P + d) max(1, dist f)
//   4 (P + d) m max(1, dist f)
// A mode past 4 is mode 0. Modes 0 and 1 read no pointer.
float ComputeScaledBase(uint32_t mode, const ScaledBaseInput& input);

} // namespace FulgorCore
