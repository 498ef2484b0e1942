#include "effects/units/ParticleInstanceFactoryTable.h"

#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ParticleInstanceT.h"

#include <array>
#include <utility>

namespace FulgorCore {

namespace {

template <uint32_t A, uint32_t B, uint32_t C>
ParticleInstance* Create(InstanceRootUnit* owner, ParticleEmitterPart* auxObject,
                         const UnitInstance::InitialState& state, const UnitResource* unitData,
                         const ParticleSpawnSettings* settings, int32_t pointIndex,
                         const float* origin, const float* position, const float* velocity,
                         const float* rotation, const float* direction) {
    static_assert(sizeof(ParticleInstanceT<A, B, C>) <= kUnitBlockSize,
                  "a particle class must fit one pool block");
    return UnitInstance::Create<ParticleInstanceT<A, B, C>>(owner, auxObject, state, unitData,
                                                            settings, pointIndex, origin, position,
                                                            velocity, rotation, direction);
}

template <uint32_t K> constexpr ParticleInstanceFactoryTable::Factory FactoryAt() {
    return Create<K / 6, (K / 2) % 3, K % 2>;
}

template <uint32_t... K>
constexpr std::array<ParticleInstanceFactoryTable::Factory, sizeof...(K)>
MakeTable(std::integer_sequence<uint32_t, K...>) {
    return {FactoryAt<K>()...};
}

constexpr auto kTable =
    MakeTable(std::make_integer_sequence<uint32_t, ParticleInstanceFactoryTable::kFactories>{});

constinit std::array<ParticleInstanceFactoryTable::Factory,
                     ParticleInstanceFactoryTable::kFactories>
    g_current = kTable;

} // namespace

const ParticleInstanceFactoryTable::Factory ParticleInstanceFactoryTable::kBuiltIn[kFactories] = {
    kTable[0],  kTable[1],  kTable[2],  kTable[3],  kTable[4],  kTable[5],  kTable[6],  kTable[7],
    kTable[8],  kTable[9],  kTable[10], kTable[11], kTable[12], kTable[13], kTable[14], kTable[15],
    kTable[16], kTable[17], kTable[18], kTable[19], kTable[20], kTable[21], kTable[22], kTable[23],
};

int32_t ParticleInstanceFactoryTable::IndexOf(uint32_t draws, uint32_t emitters, uint32_t extras) {
    if (draws > 3 || emitters > 2 || extras > 1)
        return -1;
    return static_cast<int32_t>((draws * 3 + emitters) * 2 + extras);
}

int32_t ParticleInstanceFactoryTable::IndexOf(const UnitResource* unitData) {
    if (!unitData)
        return -1;
    return IndexOf(unitData->GetDrawPartCount(), unitData->GetEmitterPartCount(),
                   unitData->GetEffectPartCount());
}

ParticleInstanceFactoryTable::Factory
ParticleInstanceFactoryTable::For(const UnitResource* unitData) {
    const int32_t k = IndexOf(unitData);
    return k < 0 ? nullptr : Current()[k];
}

ParticleInstanceFactoryTable::Factory* ParticleInstanceFactoryTable::Current() {
    return g_current.data();
}

} // namespace FulgorCore
