#include "effects/render/MaterialBuilders.h"

#include "effects/Core/Engine/Engine.h"
#include "effects/Core/Engine/EngineWorkData.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/ParticleResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"

namespace FulgorCore::Renderer {

uint8_t TextureSlotCountOf(uint32_t drawType) {
    switch (drawType) {
    case 2:
    case 3:
    case 4:
    case 11:
        return 1;
    case 5:
    case 13:
        return 8;
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 12:
        return 6;
    default:
        return 0;
    }
}

void BuildTextureSlots(TextureSlot (&slots)[8], uint8_t& animatedMask, uint8_t& usedMask,
                       uint8_t& slotCount, const ParticleResource& part,
                       const PackageResource* package) {
    for (TextureSlot& slot : slots)
        slot = TextureSlot{};
    animatedMask = 0;
    usedMask = 0;
    slotCount = TextureSlotCountOf(part.GetDrawType());
    // A slot whose choice never changes is resolved here once, with a value
    // from the runtime-wide state as its sample (the order of these draws
    // is the order of the loads). Outside a started runtime a state of its
    // own stands in.
    EngineWorkData* work = Engine::GetWorkData();
    Xorshift128 detached;
    Xorshift128& random = work ? work->random : detached;
    const EvaluationContext atStart{};
    for (uint32_t k = 0; k < slotCount; ++k) {
        const TextureSlotProperty property(part, k);
        if (!property.IsEnabled())
            continue;
        usedMask = static_cast<uint8_t>(usedMask | (1u << k));
        slots[k].sampler = property.GetSamplerWord();
        if (!property.GetSelector().IsConstant()) {
            animatedMask = static_cast<uint8_t>(animatedMask | (1u << k));
            continue;
        }
        const float sample = property.GetSelector().SampleRandom(random);
        const int32_t index = property.EvaluateTextureIndex(atStart, sample, random);
        slots[k].texture = package ? package->GetTexture(index) : nullptr;
    }
}

void BuildRenderStateWord(uint32_t& word, const ParticleResource&) {
    word = 0;
}

void BuildShaderKey(uint32_t (&key)[5], const PackageResource*, const ParticleResource&) {
    for (uint32_t& w : key)
        w = 0;
}

} // namespace FulgorCore::Renderer
