#pragma once

#include "effects/drawunits/DrawUnitRenderBlock.h"

#include <array>
#include <cstdint>

namespace FulgorCore::ParticleKernel {

// The parameters of texture slots 3-7 (distortion 1 and 2 power, palette
// offset, normal strength, reflection rate): channel j is slot 3 + j, bit j
// of the kernel index, bit 3 + j of the used-slot mask.
//
// Into the pixel shader's 8-float parameter block, entry k of 32 (used mask
// >> 3): each channel of k, lowest first, evaluated into block float 0, 1,
// 5, 4 or 3; floats 2, 6 and 7 are never written.
inline constexpr uint32_t kParameterKernels = 32;
extern const std::array<DrawUnitRenderBlock::ParameterKernel, kParameterKernels>
    kEvaluateTextureParameters;

// Into bytes 0 and 1 of the per-vertex parameter record, entry k of 8 (bits
// 3-5 of the used mask): the distortion-1 power into byte 0, then the
// palette offset into byte 1, each packed from -1..1 to 0..255; the second
// distortion has no byte, so entries 0 and 2 write nothing.
inline constexpr uint32_t kVertexKernels = 8;
extern const std::array<DrawUnitRenderBlock::VertexKernel, kVertexKernels> kPackTextureParameters;

// v clamped to -1..1 (anything not above -1, not a number included, is -1),
// mapped to 0..255 and truncated.
uint8_t PackSignedUnit(float v);

} // namespace FulgorCore::ParticleKernel
