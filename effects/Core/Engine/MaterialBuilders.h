#pragma once

#include "effects/Core/Engine/TextureSlot.h"

#include <cstdint>

namespace FulgorCore {

class PackageResource;
class ParticleResource;

namespace Renderer {

// The material of a draw part, built once at the end of its read: its eight
// texture stages with the per-frame and used masks and the stage count, its
// render-state word, and the five words of its shader key. They read only
// the draw part's and the package's getters.
//
// Least form until the renderer's material set-up is built: each leaves
// the fields it fills zero.
void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource& part,
                       const PackageResource* package);
void BuildRenderStateWord(uint32_t& word, const ParticleResource& part);
void BuildShaderKey(uint32_t (&key)[5], const PackageResource* package,
                    const ParticleResource& part);

} // namespace Renderer
} // namespace FulgorCore
