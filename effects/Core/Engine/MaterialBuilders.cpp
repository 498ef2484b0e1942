#include "effects/Core/Engine/MaterialBuilders.h"

namespace FulgorCore::Renderer {

void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource&, const PackageResource*) {
    for (TextureSlot& slot : slots)
        slot = TextureSlot{};
    animatedMask = 0;
    usedMask = 0;
    slotCount = 0;
}

void BuildRenderStateWord(uint32_t& word, const ParticleResource&) {
    word = 0;
}

void BuildShaderKey(uint32_t (&key)[5], const PackageResource*, const ParticleResource&) {
    for (uint32_t& w : key)
        w = 0;
}

} // namespace FulgorCore::Renderer
