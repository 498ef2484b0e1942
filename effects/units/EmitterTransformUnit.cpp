#include "effects/units/EmitterTransformUnit.h"

#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstring>

namespace FulgorCore {

EmitterTransformUnit::EmitterTransformUnit(InstanceRootUnit* owner, const InitialState& state,
                                           const UnitResource* unitData)
    : UnitInstance(owner, state, unitData ? unitData->GetRotO() : 0,
                   unitData ? unitData->GetTrsO() : 0),
      unitData(unitData), members{NoOpFrame, NoOpFrame, NoOpFrame, Compose} {
    Math::Matrix34Identity(worldMatrix);
    if (!unitData)
        return;
    Xorshift128& random = owner->random;
    unitData->GetScale().SampleRandom(random, scaleSamples);
    unitData->GetRotation().SampleRandom(random, rotationSamples);
    unitData->GetPosition().SampleRandom(random, translationSamples);
    // An absent scale keeps (1, 1, 1).
    if (!unitData->GetScale().IsZero())
        members[0] = EvaluateScale;
    members[1] = EvaluateRotation;
    members[2] = EvaluateTranslation;
}

void EmitterTransformUnit::UpdateTransform() {
    const EvaluationContext frame{time, totalTime};
    for (FrameMember member : members)
        member(this, frame);
}

void EmitterTransformUnit::Advance(float ownerStep) {
    const float step = speed * ownerStep;
    lastStep = step;
    time += step;
    totalTime += step;
    UpdateTransform();
}

void EmitterTransformUnit::GetVector0(float* out) const {
    std::memcpy(out, scale, sizeof(scale));
}

void EmitterTransformUnit::GetVector1(float* out) const {
    std::memcpy(out, rotation, sizeof(rotation));
}

void EmitterTransformUnit::EvaluateScale(EmitterTransformUnit* unit,
                                         const EvaluationContext& frame) {
    unit->unitData->GetScale().Evaluate(frame, unit->scaleSamples, unit->owner->random,
                                        unit->scale);
}

void EmitterTransformUnit::EvaluateRotation(EmitterTransformUnit* unit,
                                            const EvaluationContext& frame) {
    unit->unitData->GetRotation().Evaluate(frame, unit->rotationSamples, unit->owner->random,
                                           unit->rotation);
}

void EmitterTransformUnit::EvaluateTranslation(EmitterTransformUnit* unit,
                                               const EvaluationContext& frame) {
    unit->unitData->GetPosition().Evaluate(frame, unit->translationSamples, unit->owner->random,
                                           unit->position);
}

void EmitterTransformUnit::Compose(EmitterTransformUnit* unit, const EvaluationContext&) {
    float s[12] = {};
    s[0] = unit->scale[0];
    s[4] = unit->scale[1];
    s[8] = unit->scale[2];
    float r[12];
    unit->rotationBuilder(r, unit->rotation[0], unit->rotation[1], unit->rotation[2]);
    float t[12];
    Math::Matrix34Identity(t);
    std::memcpy(&t[9], unit->position, sizeof(unit->position));
    unit->composeBuilder(unit->worldMatrix, s, r, t);
    if (unit->parent)
        Math::Matrix34Multiply(unit->worldMatrix, unit->worldMatrix,
                               unit->parent->GetWorldMatrix());
}

} // namespace FulgorCore
