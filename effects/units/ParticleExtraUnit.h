#pragma once

#include <cstdint>

namespace FulgorCore {

class EffectPartResource;
class InstanceRootUnit;
class UnitInstance;
class UnitResource;
struct Xorshift128;

// What a particle publishes to its instance's root each frame besides its
// drawing: kind 1 its facing direction (the negated third axis, normalised)
// and colour, kind 2 a start and range from two animated values with its
// inverse world matrix. The root clears what was published at the start of
// each evaluation, so the last unit updated in a frame is what it holds.
class ParticleExtraUnit {
public:
    // The extra unit of `owner`'s data in a pool block; null when the data
    // has none, its kind is neither 1 nor 2, or no block is free (the owner
    // then fails its construction).
    static ParticleExtraUnit* Create(UnitInstance* owner, const UnitResource* ownerData);

    ParticleExtraUnit(const ParticleExtraUnit&) = delete;
    ParticleExtraUnit& operator=(const ParticleExtraUnit&) = delete;
    virtual ~ParticleExtraUnit() = default;
    static void operator delete(void* block);

    virtual void Update() {}
    virtual void Hook() {}

    UnitInstance* owner;
    const UnitResource* ownerData;
    const EffectPartResource* extraData;
    Xorshift128* random;

protected:
    ParticleExtraUnit(UnitInstance* owner, const UnitResource* ownerData);
};

// The kinds.
template <uint32_t K> class ParticleExtraUnitT;

template <> class ParticleExtraUnitT<1> final : public ParticleExtraUnit {
public:
    ParticleExtraUnitT(UnitInstance* owner, const UnitResource* ownerData)
        : ParticleExtraUnit(owner, ownerData) {}
    void Update() override;

    // The direction block the root points at: direction, then colour.
    float direction[3] = {};
    float colour[3] = {};
};

template <> class ParticleExtraUnitT<2> final : public ParticleExtraUnit {
public:
    ParticleExtraUnitT(UnitInstance* owner, const UnitResource* ownerData);
    void Update() override;

    // The pair the root points at.
    float start = 0.0f;
    float range = 0.0f;
    float samples[2] = {};
};

} // namespace FulgorCore
