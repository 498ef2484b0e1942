#pragma once

#include "effects/drawunits/DrawUnitRenderBlock.h"

#include <array>
#include <cstdint>

namespace FulgorCore::ParticleKernel {

// The texture kernels, one per value of a draw part's animated-slot mask:
// entry m re-selects the texture of exactly the slots of m, in ascending
// slot order, and writes nothing else (sampler words, other slots and the
// random values stay). Entry 0 is the shared empty kernel. A draw unit
// takes its entry once, at construction; no slot bit is tested per frame.
inline constexpr uint32_t kTextureKernels = 256;
extern const std::array<DrawUnitRenderBlock::TextureKernel, kTextureKernels> kAnimateTextureSlots;

} // namespace FulgorCore::ParticleKernel
