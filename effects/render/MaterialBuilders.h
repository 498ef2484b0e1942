#pragma once

#include "effects/render/TextureSlot.h"

#include <cstdint>

namespace FulgorCore {

class IDevice;
class IShader;
class PackageResource;
class ParticleResource;

namespace Renderer {

// The material of a draw part, built once at the end of its read: its eight
// texture stages with the per-frame and used masks and the stage count, its
// render-state word (RenderStateWord.h), and its shader pair, made by the
// device for the part's shader key. They read only the draw part's and the
// package's getters.
//
// The texture slots: the type's stage count (0, 1, 6 or 8), bit k of the
// used mask and stage k's sampler word (filter, address U and V in bits 0-5,
// a flag in bit 6) for each enabled stage below it; a stage whose texture
// number is constant is resolved to its texture here, any other sets its
// bit in the per-frame mask for the draw units' kernels. Texture pointers of
// the other stages are left as they were.
uint8_t TextureSlotCountOf(uint32_t drawType);
void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource& part,
                       const PackageResource* package);
void BuildRenderStateWord(uint32_t& word, const ParticleResource& part);
// Composes the part's key and asks the device for its pair: the pair, with
// the reference the caller now owns, or null when the device refuses (or
// there is none). A part that draws nothing (type 0) asks for nothing. The
// key is not kept: the device answers the same pair for the same key.
void BuildShaderKey(IShader*& shader, IDevice* device, const PackageResource* package,
                    const ParticleResource& part);

} // namespace Renderer
} // namespace FulgorCore
