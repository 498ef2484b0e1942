#include "effects/drawunits/AnimateTextureSlots.h"

#include "effects/Core/Resource/PackageResource.h"
#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/ParticleKernelNoOps.h"

#include <array>
#include <utility>

namespace FulgorCore::ParticleKernel {

namespace {

// Slot k shows the package texture its property selects now; an index the
// package does not hold (negative, or past its textures) shows nothing.
template <uint32_t Mask, uint32_t Slot>
inline void AnimateSlot(DrawUnit* unit, const PackageResource* package,
                        const EvaluationContext& context) {
    if constexpr (((Mask >> Slot) & 1u) != 0) {
        const TextureSlotProperty property(*unit->unitData, Slot);
        const int32_t index = property.EvaluateTextureIndex(
            context, unit->renderBlock->textureRandomValues[DrawUnit::SelectorSample(Slot)],
            *unit->randomState);
        unit->textureBindings[Slot].texture = package ? package->GetTexture(index) : nullptr;
    }
}

template <uint32_t Mask>
void AnimateTextureSlots(DrawUnit* unit, const EvaluationContext& context) {
    const PackageResource* package = unit->Package();
    AnimateSlot<Mask, 0>(unit, package, context);
    AnimateSlot<Mask, 1>(unit, package, context);
    AnimateSlot<Mask, 2>(unit, package, context);
    AnimateSlot<Mask, 3>(unit, package, context);
    AnimateSlot<Mask, 4>(unit, package, context);
    AnimateSlot<Mask, 5>(unit, package, context);
    AnimateSlot<Mask, 6>(unit, package, context);
    AnimateSlot<Mask, 7>(unit, package, context);
}

template <size_t... M> constexpr auto MakeTable(std::index_sequence<M...>) {
    return std::array<DrawUnitRenderBlock::TextureKernel, sizeof...(M)>{
        {(M == 0 ? static_cast<DrawUnitRenderBlock::TextureKernel>(NoOpWithArgument)
                 : &AnimateTextureSlots<static_cast<uint32_t>(M)>)...}};
}

} // namespace

const std::array<DrawUnitRenderBlock::TextureKernel, kTextureKernels> kAnimateTextureSlots =
    MakeTable(std::make_index_sequence<kTextureKernels>{});

} // namespace FulgorCore::ParticleKernel
