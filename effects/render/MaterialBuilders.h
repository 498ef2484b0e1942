#pragma once

#include "effects/render/TextureSlot.h"

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
// The texture slots: the type's slot count (0, 1, 6 or 8), bit k of the
// used mask and slot k's sampler word for each enabled slot below it; a slot
// whose selector is constant is resolved to its texture here, any other
// sets its bit in the animated mask and stays null for the draw units'
// kernels.
//
// The render-state word and the shader key are least forms until the
// renderer's material set-up is built: they leave their fields zero.
uint8_t TextureSlotCountOf(uint32_t drawType);
void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource& part,
                       const PackageResource* package);
void BuildRenderStateWord(uint32_t& word, const ParticleResource& part);
void BuildShaderKey(uint32_t (&key)[5], const PackageResource* package,
                    const ParticleResource& part);

} // namespace Renderer
} // namespace FulgorCore
