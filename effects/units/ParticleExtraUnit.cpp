#include "effects/units/ParticleExtraUnit.h"

#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Resource/EffectPartResource.h"
#include "effects/Core/Resource/RadiusPair.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <new>

namespace FulgorCore {

static_assert(sizeof(ParticleExtraUnitT<1>) <= kUnitBlockSize);
static_assert(sizeof(ParticleExtraUnitT<2>) <= kUnitBlockSize);

namespace {

EvaluationContext OwnerContext(const UnitInstance& owner) {
    return {owner.time, owner.totalTime};
}

template <class T> ParticleExtraUnit* Place(UnitInstance* owner, const EffectPartResource* data) {
    return UnitPoolPart::Create<T>(owner, data);
}

} // namespace

ParticleExtraUnit* ParticleExtraUnit::Create(UnitInstance* owner, const EffectPartResource* data) {
    if (!owner || !data)
        return nullptr;
    if (data->GetKind() == 1)
        return Place<ParticleExtraUnitT<1>>(owner, data);
    if (data->GetKind() == 2 && data->GetRadiusPair())
        return Place<ParticleExtraUnitT<2>>(owner, data);
    return nullptr;
}

ParticleExtraPart* ParticleExtraUnit::CreatePart(ParticleInstance* owner,
                                                 const EffectPartResource* data, bool& noBlock) {
    ParticleExtraUnit* unit = Create(owner, data);
    noBlock = noBlock || !unit;
    return unit;
}

ParticleExtraUnit::ParticleExtraUnit(UnitInstance* owner_, const EffectPartResource* data)
    : owner(owner_), extraData(data), random(&owner_->owner->random) {}

ParticleExtraUnitT<1>::~ParticleExtraUnitT() {
    InstanceRootUnit* root = owner->owner;
    if (root->publishedDirection == light.direction)
        root->publishedDirection = nullptr;
}

void ParticleExtraUnitT<1>::Update() {
    const float* m = owner->GetWorldMatrix();
    const float v[3] = {-m[6], -m[7], -m[8]};
    const float s = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
    const float y = s > 0.0f ? Math::ReciprocalSqrt(s) : 0.0f;
    for (int c = 0; c < 3; ++c)
        light.direction[c] = v[c] * y;
    const float* rgba = owner->GetColor();
    for (int c = 0; c < 3; ++c)
        light.colour[c] = rgba[c];
    owner->owner->publishedDirection = light.direction;
}

ParticleExtraUnitT<2>::ParticleExtraUnitT(UnitInstance* owner_, const EffectPartResource* data)
    : ParticleExtraUnit(owner_, data) {
    const RadiusPair* pair = extraData->GetRadiusPair();
    samples[0] = pair->GetInnerRadius().SampleRandom(*random);
    samples[1] = pair->GetOuterRadius().SampleRandom(*random);
}

// The matrix published with the range is the particle's, which goes with
// the unit.
ParticleExtraUnitT<2>::~ParticleExtraUnitT() {
    InstanceRootUnit* root = owner->owner;
    if (root->publishedRange != &start)
        return;
    root->publishedRange = nullptr;
    root->publishedInverseMatrix = nullptr;
}

void ParticleExtraUnitT<2>::Update() {
    const RadiusPair* pair = extraData->GetRadiusPair();
    const EvaluationContext context = OwnerContext(*owner);
    float a = pair->GetInnerRadius().Evaluate(context, samples[0], *random);
    float b = pair->GetOuterRadius().Evaluate(context, samples[1], *random);
    a = a < 0.0f ? 0.0f : a;
    b = b < 0.0f ? 0.0f : b;
    start = a;
    range = b - a;
    InstanceRootUnit* root = owner->owner;
    root->publishedRange = &start;
    root->publishedInverseMatrix = owner->GetInverseWorldMatrix();
}

} // namespace FulgorCore
