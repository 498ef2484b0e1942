#pragma once

#include <cstdint>

namespace FulgorCore {

class ParticleInstance;

// Where the camera-facing draw units (types 2 and 11) take the orientation
// they hand the vertex shader, by their two orientation flags (bit 0 the
// "rotate x and y" flag, bit 1 the "rotate z" flag): 0 nothing, 1 the
// particle's rotation x and y with z 0, 2 its rotation z alone, 3 its
// rotation with x and y its own. One table per type; both hold the same
// four selectors.
namespace OrientationSources {

using Selector = void (*)(const ParticleInstance* particle, float* out);
inline constexpr uint32_t kSelectors = 4;

extern const Selector kPattern[kSelectors];
extern const Selector kFlipbook[kSelectors];

} // namespace OrientationSources
} // namespace FulgorCore
