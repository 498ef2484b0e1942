#pragma once

#include "effects/units/ParticleExtraPart.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

class EffectPartResource;
class ParticleInstance;
class UnitInstance;
struct Xorshift128;

// What a particle publishes to its instance's root each frame besides its
// drawing: kind 1 its facing direction (the negated third axis, normalised)
// and colour, kind 2 a start and range from two animated values with its
// inverse world matrix. The root clears what was published at the start of
// each evaluation, so the last unit updated in a frame is what it holds,
// and the renderer draws the instance with it. A unit that goes takes what
// it published with it.
class ParticleExtraUnit : public ParticleExtraPart {
public:
    // The extra unit of `data` for `owner` in a pool block; null when its
    // kind is neither 1 nor 2 or no block is free (the owner then fails its
    // construction).
    static ParticleExtraUnit* Create(UnitInstance* owner, const EffectPartResource* data);
    // The particle classes' creator: `noBlock` is set when the kind is 1 or
    // 2 and no block was free.
    static ParticleExtraPart* CreatePart(ParticleInstance* owner, const EffectPartResource* data,
                                         bool& noBlock);

    void Update() override {}
    virtual void Hook() {}

    UnitInstance* owner;
    const EffectPartResource* extraData;
    Xorshift128* random;

protected:
    ParticleExtraUnit(UnitInstance* owner, const EffectPartResource* data);
};

// The kinds.
template <uint32_t K> class ParticleExtraUnitT;

// The block a kind-1 unit publishes, the renderer's effect light: two
// float4, the direction and then the colour, their fourth floats 0.
struct EffectLight {
    float direction[4];
    float colour[4];
};
static_assert(sizeof(EffectLight) == 32 && offsetof(EffectLight, colour) == 16,
              "uploaded as two registers");

template <> class ParticleExtraUnitT<1> final : public ParticleExtraUnit {
public:
    ParticleExtraUnitT(UnitInstance* owner, const EffectPartResource* data)
        : ParticleExtraUnit(owner, data) {}
    ~ParticleExtraUnitT() override;
    void Update() override;

    EffectLight light = {};
};

template <> class ParticleExtraUnitT<2> final : public ParticleExtraUnit {
public:
    ParticleExtraUnitT(UnitInstance* owner, const EffectPartResource* data);
    ~ParticleExtraUnitT() override;
    void Update() override;

    // The pair the root points at.
    float start = 0.0f;
    float range = 0.0f;
    float samples[2] = {};
};

static_assert(sizeof(ParticleExtraUnit) <= kUnitBlockSize);

} // namespace FulgorCore
