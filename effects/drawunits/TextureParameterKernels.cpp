#include "effects/drawunits/TextureParameterKernels.h"

#include "effects/Core/Resource/TextureSlotProperty.h"
#include "effects/Core/Value/FloatProperty.h"
#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRenderBlock.h"
#include "effects/drawunits/ParticleKernelNoOps.h"

#include <utility>

namespace FulgorCore::ParticleKernel {

namespace {

// Where channel j lands in the parameter block.
constexpr uint32_t kBlockFloat[5] = {0, 1, 5, 4, 3};

template <uint32_t Channel>
inline float EvaluateChannel(DrawUnit* unit, const EvaluationContext& context) {
    constexpr uint32_t slot = TextureSlotProperty::kFirstParameterSlot + Channel;
    const TextureSlotProperty property(*unit->unitData, slot);
    return property.GetParameter()->Evaluate(
        context, unit->renderBlock->textureRandomValues[DrawUnit::ParameterSample(slot)],
        *unit->randomState);
}

template <uint32_t K, uint32_t Channel>
inline void EvaluateIfSet(DrawUnit* unit, const EvaluationContext& context, float* block) {
    if constexpr (((K >> Channel) & 1u) != 0)
        block[kBlockFloat[Channel]] = EvaluateChannel<Channel>(unit, context);
}

template <uint32_t K>
void EvaluateTextureParameters(DrawUnit* unit, const EvaluationContext& context, float* block) {
    EvaluateIfSet<K, 0>(unit, context, block);
    EvaluateIfSet<K, 1>(unit, context, block);
    EvaluateIfSet<K, 2>(unit, context, block);
    EvaluateIfSet<K, 3>(unit, context, block);
    EvaluateIfSet<K, 4>(unit, context, block);
}

template <uint32_t K>
void PackTextureParameters(DrawUnit* unit, const EvaluationContext& context, uint8_t* record) {
    if constexpr ((K & 1u) != 0)
        record[0] = PackSignedUnit(EvaluateChannel<0>(unit, context));
    if constexpr ((K & 4u) != 0)
        record[1] = PackSignedUnit(EvaluateChannel<2>(unit, context));
}

template <size_t... K> constexpr auto MakeBlockTable(std::index_sequence<K...>) {
    using Kernel = DrawUnitRenderBlock::ParameterKernel;
    return std::array<Kernel, sizeof...(K)>{
        {(K == 0 ? static_cast<Kernel>(NoOpWithTwoArguments)
                 : &EvaluateTextureParameters<static_cast<uint32_t>(K)>)...}};
}

template <size_t... K> constexpr auto MakeVertexTable(std::index_sequence<K...>) {
    using Kernel = DrawUnitRenderBlock::VertexKernel;
    return std::array<Kernel, sizeof...(K)>{
        {((K & 5u) == 0 ? static_cast<Kernel>(NoOpWithTwoArguments)
                        : &PackTextureParameters<static_cast<uint32_t>(K)>)...}};
}

} // namespace

const std::array<DrawUnitRenderBlock::ParameterKernel, kParameterKernels>
    kEvaluateTextureParameters = MakeBlockTable(std::make_index_sequence<kParameterKernels>{});

const std::array<DrawUnitRenderBlock::VertexKernel, kVertexKernels> kPackTextureParameters =
    MakeVertexTable(std::make_index_sequence<kVertexKernels>{});

uint8_t PackSignedUnit(float v) {
    float c = v;
    if (!(v > -1.0f))
        c = -1.0f;
    else if (!(v < 1.0f))
        c = 1.0f;
    return static_cast<uint8_t>(static_cast<int32_t>((c * 0.5f + 0.5f) * 255.0f) & 0xFF);
}

} // namespace FulgorCore::ParticleKernel
