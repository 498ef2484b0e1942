// The property strategies of a particle: one small function per way a
// property can behave (animated, inherited from the linked unit, both,
// neither), chosen once from the unit data, so that the frame calls one
// slot per property and tests nothing.
#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/EmitterTransformUnit.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"

#include <cstring>

namespace FulgorCore {

namespace {

using Step = ParticleInstance::FrameMember;

// Slot choices by [animated][inherited].
constexpr Step kColourSteps[2][2] = {
    {ParticleInstance::NoOpWithArgument, ParticleInstance::InheritColour},
    {ParticleInstance::EvaluateColour, ParticleInstance::EvaluateColourInherited}};
constexpr Step kScaleSteps[2][2] = {
    {ParticleInstance::NoOpWithArgument, ParticleInstance::InheritScale},
    {ParticleInstance::EvaluateScale, ParticleInstance::EvaluateScaleInherited}};
constexpr Step kRotationSteps[2][2] = {
    {ParticleInstance::NoOpWithArgument, ParticleInstance::InheritRotation},
    {ParticleInstance::EvaluateRotation, ParticleInstance::EvaluateRotationInherited}};
constexpr Step kTranslationSteps[2][2] = {
    {ParticleInstance::StepPosition, ParticleInstance::StepPositionInherited},
    {ParticleInstance::StepPositionWithOffset, ParticleInstance::StepPositionWithOffsetInherited}};

float* Colour(ParticleInstance* node) {
    return node->transformBlock->color;
}

const float* LinkedColour(const ParticleInstance* node) {
    return node->linkedUnit->GetColor();
}

// A three-float property at the clock, with the particle's random state.
void EvaluateVector(const FloatTripleProperty& property, const float* samples,
                    const ParticleInstance* node, const UnitClock& clock, float* out) {
    property.Evaluate(clock, samples, node->owner->random, out);
}

void Translate(ParticleInstance* node, const float* offset) {
    const float* p = node->transformBlock->integratedPosition;
    for (int i = 0; i < 3; ++i)
        node->position[i] = p[i] + offset[i];
}

} // namespace

void ParticleInstance::SelectStrategies(const UnitResource& data, const UnitResource& shared,
                                        uint32_t inheritBits) {
    TransformBlock& block = *transformBlock;
    Xorshift128& random = owner->random;
    const uint32_t inherits = linkedUnit ? inheritBits : 0;
    // A shared property is animated whatever either unit's flags say, and
    // comes from the shared unit; the share flags are all read first.
    const bool sharesColour = data.SharesColourData();
    const bool sharesScale = data.SharesScaleData();
    const bool sharesRotation = data.SharesRotationData();
    const bool sharesTranslation = data.SharesTranslationData();
    const UnitResource& colourSource = sharesColour ? shared : data;
    const UnitResource& scaleSource = sharesScale ? shared : data;
    const UnitResource& rotationSource = sharesRotation ? shared : data;
    const UnitResource& translationSource = sharesTranslation ? shared : data;
    const bool colour = sharesColour || data.IsColourAnimated();
    const bool scaled = sharesScale || data.IsScaleAnimated();
    const bool rotated = sharesRotation || data.IsRotationAnimated();
    const bool moved = sharesTranslation || data.IsTranslationAnimated();
    const bool inheritsColour = (inherits & kInheritsColour) != 0;

    if (colour) {
        colourProperty = &colourSource.GetColor();
        colourProperty->SampleRandom(random, block.colorSamples);
    } else {
        for (float& c : block.color)
            c = 1.0f;
    }
    if (scaled) {
        scaleProperty = &scaleSource.GetScale();
        scaleProperty->SampleRandom(random, block.scaleSamples);
    }
    if (rotated) {
        rotationProperty = &rotationSource.GetRotation();
        rotationProperty->SampleRandom(random, block.rotationSamples);
    }
    if (moved) {
        translationProperty = &translationSource.GetPosition();
        translationProperty->SampleRandom(random, block.translationSamples);
    }
    if (data.HasAcceleration())
        data.GetAccelerationProperty().SampleRandom(random, block.accelerationSamples);
    if (data.HasWorldAcceleration())
        data.GetWorldAccelerationProperty().SampleRandom(random, block.worldAccelerationSamples);
    if (data.HasSpeedFactor())
        data.GetSpeedFactorProperty().SampleRandom(random, block.speedFactorSamples);

    colourStep = kColourSteps[colour][inheritsColour];
    // A colour that something multiplies in place later in the frame (the
    // colour mode, the fades) starts from white each frame, so the
    // products do not pile up; otherwise a constant colour is left alone
    // and the fade factor accumulates in its alpha.
    if (!colour && !inheritsColour &&
        (ColorMode() != 0 || data.HasDistanceFade() || data.HasAngleFade()))
        colourStep = ResetColour;
    scaleStep = kScaleSteps[scaled][(inherits & kInheritsScale) != 0];
    rotationStep = kRotationSteps[rotated][(inherits & kInheritsRotation) != 0];
    translationStep = kTranslationSteps[moved][(inherits & kInheritsTranslation) != 0];
    integrationStep = data.HasSpeedFactor() ? IntegratePositionScaled : IntegratePosition;
    localAccelerationStep = data.HasAcceleration() ? IntegrateAcceleration : NoOpWithArgument;
    worldAccelerationStep =
        data.HasWorldAcceleration() ? IntegrateWorldAcceleration : NoOpWithArgument;
}

void ParticleInstance::EvaluateColour(ParticleInstance* node, const UnitClock& clock) {
    node->colourProperty->Evaluate(clock, node->transformBlock->colorSamples, node->owner->random,
                                   Colour(node));
}

void ParticleInstance::EvaluateColourInherited(ParticleInstance* node, const UnitClock& clock) {
    EvaluateColour(node, clock);
    const float* linked = LinkedColour(node);
    float* c = Colour(node);
    for (int i = 0; i < 4; ++i)
        c[i] = linked[i] * c[i];
}

void ParticleInstance::InheritColour(ParticleInstance* node, const UnitClock&) {
    std::memcpy(Colour(node), LinkedColour(node), 4 * sizeof(float));
}

void ParticleInstance::ResetColour(ParticleInstance* node, const UnitClock&) {
    float* c = Colour(node);
    c[0] = c[1] = c[2] = c[3] = 1.0f;
}

void ParticleInstance::EvaluateScale(ParticleInstance* node, const UnitClock& clock) {
    EvaluateVector(*node->scaleProperty, node->transformBlock->scaleSamples, node, clock,
                   node->scale);
}

void ParticleInstance::EvaluateScaleInherited(ParticleInstance* node, const UnitClock& clock) {
    EvaluateScale(node, clock);
    for (int i = 0; i < 3; ++i)
        node->scale[i] = node->linkedUnit->scale[i] * node->scale[i];
}

void ParticleInstance::InheritScale(ParticleInstance* node, const UnitClock&) {
    std::memcpy(node->scale, node->linkedUnit->scale, sizeof(node->scale));
}

void ParticleInstance::EvaluateRotation(ParticleInstance* node, const UnitClock& clock) {
    float e[3];
    EvaluateVector(*node->rotationProperty, node->transformBlock->rotationSamples, node, clock, e);
    for (int i = 0; i < 3; ++i)
        node->rotation[i] = node->baseRotation[i] + e[i];
}

void ParticleInstance::EvaluateRotationInherited(ParticleInstance* node, const UnitClock& clock) {
    float e[3];
    EvaluateVector(*node->rotationProperty, node->transformBlock->rotationSamples, node, clock, e);
    const float* linked = node->linkedUnit->rotation;
    for (int i = 0; i < 3; ++i)
        node->rotation[i] = node->baseRotation[i] + (linked[i] + e[i]);
}

void ParticleInstance::InheritRotation(ParticleInstance* node, const UnitClock&) {
    const float* linked = node->linkedUnit->rotation;
    for (int i = 0; i < 3; ++i)
        node->rotation[i] = node->baseRotation[i] + linked[i];
}

void ParticleInstance::StepPosition(ParticleInstance* node, const UnitClock& clock) {
    node->integrationStep(node, clock);
    std::memcpy(node->position, node->transformBlock->integratedPosition, sizeof(node->position));
}

void ParticleInstance::StepPositionInherited(ParticleInstance* node, const UnitClock& clock) {
    node->integrationStep(node, clock);
    Translate(node, node->linkedUnit->translation);
}

void ParticleInstance::StepPositionWithOffset(ParticleInstance* node, const UnitClock& clock) {
    node->integrationStep(node, clock);
    float e[3];
    EvaluateVector(*node->translationProperty, node->transformBlock->translationSamples, node,
                   clock, e);
    Translate(node, e);
}

void ParticleInstance::StepPositionWithOffsetInherited(ParticleInstance* node,
                                                       const UnitClock& clock) {
    node->integrationStep(node, clock);
    float e[3];
    EvaluateVector(*node->translationProperty, node->transformBlock->translationSamples, node,
                   clock, e);
    const float* p = node->transformBlock->integratedPosition;
    const float* linked = node->linkedUnit->translation;
    for (int i = 0; i < 3; ++i)
        node->position[i] = (p[i] + e[i]) + linked[i];
}

void ParticleInstance::IntegratePosition(ParticleInstance* node, const UnitClock& clock) {
    TransformBlock& block = *node->transformBlock;
    float buffer[3];
    const float* v = node->velocitySource(node, buffer, clock);
    const float dt = clock.lastStep;
    for (int i = 0; i < 3; ++i)
        block.integratedPosition[i] += (v[i] + block.localVelocity[i]) * dt;
}

void ParticleInstance::IntegratePositionScaled(ParticleInstance* node, const UnitClock& clock) {
    TransformBlock& block = *node->transformBlock;
    float s[3];
    EvaluateVector(node->unitData->GetSpeedFactorProperty(), block.speedFactorSamples, node, clock,
                   s);
    float buffer[3];
    const float* v = node->velocitySource(node, buffer, clock);
    const float dt = clock.lastStep;
    for (int i = 0; i < 3; ++i)
        block.integratedPosition[i] += s[i] * ((v[i] + block.localVelocity[i]) * dt);
}

void ParticleInstance::IntegrateAcceleration(ParticleInstance* node, const UnitClock& clock) {
    TransformBlock& block = *node->transformBlock;
    float a[3];
    EvaluateVector(node->unitData->GetAccelerationProperty(), block.accelerationSamples, node,
                   clock, a);
    for (int i = 0; i < 3; ++i)
        block.localVelocity[i] += a[i] * clock.lastStep;
}

void ParticleInstance::IntegrateWorldAcceleration(ParticleInstance* node, const UnitClock& clock) {
    TransformBlock& block = *node->transformBlock;
    float k[3];
    node->GetVector0(k);
    const float* axes = node->owner->axisLengths;
    for (int i = 0; i < 3; ++i)
        k[i] = k[i] * axes[i];
    float a[3];
    EvaluateVector(node->unitData->GetWorldAccelerationProperty(), block.worldAccelerationSamples,
                   node, clock, a);
    const float dt = clock.lastStep;
    for (int i = 0; i < 3; ++i)
        block.worldVelocity[i] += (a[i] * k[i]) * dt;
    // Semi-implicit: the displacement moves by the velocity just updated.
    for (int i = 0; i < 3; ++i)
        block.worldDisplacement[i] += block.worldVelocity[i] * dt;
}

const float* ParticleInstance::GetInitialVelocity(ParticleInstance* node, float*,
                                                  const UnitClock&) {
    return node->transformBlock->initialVelocity;
}

} // namespace FulgorCore
