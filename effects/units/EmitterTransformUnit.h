#pragma once

#include "effects/Core/Value/UnitClock.h"
#include "effects/units/UnitInstance.h"

#include <cstdint>

namespace FulgorCore {

class ColorProperty;
class FloatTripleProperty;
class UnitResource;

// A unit an emitter attaches to itself (one per attach byte): one extra
// scale, rotation, translation and colour, each animated by a unit's data
// or constant, that the particles spawned on it may inherit. Its emitter
// owns it, advances its clock and deletes it; it is in no child list (unit
// kind 3 all the same).
class EmitterTransformUnit : public UnitInstance {
public:
    using Step = void (*)(EmitterTransformUnit* unit, const UnitClock& clock);

    // The start record every emitter builds its transform units with: no
    // parent (the unit is in no tree), no loop, time scale 1, no duration,
    // never ending by time. Its emitter advances and deletes it.
    static constexpr InitialState kDefaultStart{nullptr, 0.0f, 0.0f, 1.0f, 0.0f, kEndless};

    // Chooses the four steps from the data (a property the data shares
    // comes from the shared-data unit and is animated whatever the flags
    // say), draws the animated ones' random states from the instance's, in
    // the order scale, rotation, translation, colour, then runs the four
    // once at time 0.
    EmitterTransformUnit(InstanceRootUnit* owner, const InitialState& state,
                         const UnitResource* unitData);

    // ScaleStep, RotationStep, TranslationStep, ColourStep with the unit's
    // own clock.
    void UpdateTransform() override;
    // Both time fields advance by the unit's rate times the owner's step,
    // which is kept as the last step; then the four steps run.
    void Advance(float ownerStep);
    const float* GetColor() const override { return colour; }
    uint32_t GetKind() const override { return kParticleNode; }

    static void NoOpWithArgument(EmitterTransformUnit*, const UnitClock&) {}
    // Each evaluates its property into the unit's own field.
    static void EvaluateScale(EmitterTransformUnit* unit, const UnitClock& clock);
    static void EvaluateRotation(EmitterTransformUnit* unit, const UnitClock& clock);
    static void EvaluateTranslation(EmitterTransformUnit* unit, const UnitClock& clock);
    static void EvaluateColour(EmitterTransformUnit* unit, const UnitClock& clock);

    const FloatTripleProperty* scaleProperty = nullptr;
    const FloatTripleProperty* rotationProperty = nullptr;
    const FloatTripleProperty* translationProperty = nullptr;
    const ColorProperty* colourProperty = nullptr;
    // Constant (1, 1, 1), (0, 0, 0), (0, 0, 0) and white unless animated.
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float rotation[3] = {};
    float translation[3] = {};
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float scaleSamples[3] = {};
    float rotationSamples[3] = {};
    float translationSamples[3] = {};
    float colourSamples[5] = {};
    Step scaleStep = NoOpWithArgument;
    Step rotationStep = NoOpWithArgument;
    Step translationStep = NoOpWithArgument;
    Step colourStep = NoOpWithArgument;
    const UnitResource* unitData;
};

static_assert(sizeof(EmitterTransformUnit) <= kUnitBlockSize);

} // namespace FulgorCore
