#pragma once

#include "effects/Core/Value/EvaluationContext.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class UnitResource;

// A unit an emitter attaches to itself (one per attach byte): a transform
// of the attached unit's animated scale, rotation and translation over the
// emitter's owner, advanced by the emitter at its own rate. It is not a
// particle: it has no colour, events or parts (unit kind 3 all the same).
class EmitterTransformUnit : public UnitInstance {
public:
    using FrameMember = void (*)(EmitterTransformUnit* unit, const EvaluationContext& frame);
    static constexpr uint32_t kTransformMembers = 4;

    // Draws the random values of the three transform properties from the
    // instance's random state.
    EmitterTransformUnit(InstanceRootUnit* owner, const InitialState& state,
                         const UnitResource* unitData);

    // The four transform members: scale, rotation, translation, then the
    // composition over the parent's matrix.
    void UpdateTransform() override;
    // Both time fields advance by the unit's rate times the owner's step,
    // then the transform step runs.
    void Advance(float ownerStep);
    const float* GetWorldMatrix() const override { return worldMatrix; }
    void GetVector0(float* out) const override;
    void GetVector1(float* out) const override;
    uint32_t GetKind() const override { return kParticleNode; }

    static void NoOpFrame(EmitterTransformUnit*, const EvaluationContext&) {}
    static void EvaluateScale(EmitterTransformUnit* unit, const EvaluationContext& frame);
    static void EvaluateRotation(EmitterTransformUnit* unit, const EvaluationContext& frame);
    static void EvaluateTranslation(EmitterTransformUnit* unit, const EvaluationContext& frame);
    static void Compose(EmitterTransformUnit* unit, const EvaluationContext& frame);

    const UnitResource* unitData;
    FrameMember members[kTransformMembers];
    float worldMatrix[12];
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float rotation[3] = {};
    float position[3] = {};
    float scaleSamples[3] = {};
    float rotationSamples[3] = {};
    float translationSamples[3] = {};
};

static_assert(sizeof(EmitterTransformUnit) <= kUnitBlockSize);

} // namespace FulgorCore
