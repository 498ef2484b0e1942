#include "effects/units/EmitterTransformUnit.h"

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/InstanceRootUnit.h"

namespace FulgorCore {

EmitterTransformUnit::EmitterTransformUnit(InstanceRootUnit* owner, const InitialState& state,
                                           const UnitResource* unitData)
    : UnitInstance(owner, state, unitData ? unitData->GetRotO() : 0,
                   unitData ? unitData->GetTrsO() : 0),
      unitData(unitData) {
    if (!unitData)
        return;
    const UnitResource& data = *unitData;
    const UnitResource& shared = data.GetSharedDataUnit(owner->package);
    // The share flags decide before any animated test is read.
    const bool sharesScale = data.SharesScaleData();
    const bool sharesRotation = data.SharesRotationData();
    const bool sharesTranslation = data.SharesTranslationData();
    const bool sharesColour = data.SharesColourData();
    Xorshift128& random = owner->random;
    if (sharesScale || data.IsScaleAnimated()) {
        scaleProperty = &(sharesScale ? shared : data).GetScale();
        scaleProperty->SampleRandom(random, scaleSamples);
        scaleStep = EvaluateScale;
    }
    if (sharesRotation || data.IsRotationAnimated()) {
        rotationProperty = &(sharesRotation ? shared : data).GetRotation();
        rotationProperty->SampleRandom(random, rotationSamples);
        rotationStep = EvaluateRotation;
    }
    if (sharesTranslation || data.IsTranslationAnimated()) {
        translationProperty = &(sharesTranslation ? shared : data).GetPosition();
        translationProperty->SampleRandom(random, translationSamples);
        translationStep = EvaluateTranslation;
    }
    if (sharesColour || data.IsColourAnimated()) {
        colourProperty = &(sharesColour ? shared : data).GetColor();
        colourProperty->SampleRandom(random, colourSamples);
        colourStep = EvaluateColour;
    }
    scaleStep(this, kZeroClock);
    rotationStep(this, kZeroClock);
    translationStep(this, kZeroClock);
    colourStep(this, kZeroClock);
}

void EmitterTransformUnit::UpdateTransform() {
    UnitClock clock;
    clock.timeA = time;
    clock.timeB = totalTime;
    clock.lastStep = lastStep;
    scaleStep(this, clock);
    rotationStep(this, clock);
    translationStep(this, clock);
    colourStep(this, clock);
}

void EmitterTransformUnit::Advance(float ownerStep) {
    const float step = speed * ownerStep;
    lastStep = step;
    time += step;
    totalTime += step;
    UpdateTransform();
}

void EmitterTransformUnit::EvaluateScale(EmitterTransformUnit* unit, const UnitClock& clock) {
    unit->scaleProperty->Evaluate(clock, unit->scaleSamples, unit->owner->random, unit->scale);
}

void EmitterTransformUnit::EvaluateRotation(EmitterTransformUnit* unit, const UnitClock& clock) {
    unit->rotationProperty->Evaluate(clock, unit->rotationSamples, unit->owner->random,
                                     unit->rotation);
}

void EmitterTransformUnit::EvaluateTranslation(EmitterTransformUnit* unit, const UnitClock& clock) {
    unit->translationProperty->Evaluate(clock, unit->translationSamples, unit->owner->random,
                                        unit->translation);
}

void EmitterTransformUnit::EvaluateColour(EmitterTransformUnit* unit, const UnitClock& clock) {
    unit->colourProperty->Evaluate(clock, unit->colourSamples, unit->owner->random, unit->colour);
}

} // namespace FulgorCore
