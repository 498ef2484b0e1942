#pragma once

#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"
#include "effects/drawunits/FalloffEvaluation.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 13, a static mesh of the effect data, drawn through a render
// command from its record (one pool block). What does not depend on the
// vertex format: the falloff evaluator chosen from the data's falloff mode
// and the flag that tells Draw to send the falloff block.
class DrawUnitType13Base : public DrawUnit {
public:
    using Evaluator = void (*)(DrawUnit* unit, const DrawClock& clock, float* out);

    // What the data decided: the falloff mode (0-7) and the unit random
    // values of the falloff properties.
    struct Values {
        uint32_t falloffMode = 0;
        FalloffEvaluation::Samples falloff;
    };

    // Takes the record's block; without one the particle ends.
    DrawUnitType13Base(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    ~DrawUnitType13Base() override;

    // Falloff modes 1 and 2, and 3 and 4 (with the direction).
    static void EvaluateRenderValues(DrawUnit* unit, const DrawClock& clock, float* out);
    static void EvaluateRenderValuesWithDirection(DrawUnit* unit, const DrawClock& clock,
                                                  float* out);
    static void EvaluateNothing(DrawUnit*, const DrawClock&, float*) {}

    void* record = nullptr;
    FalloffEvaluation::Samples falloffSamples;
    Evaluator evaluator = EvaluateNothing;
    uint8_t evaluatorFlag = 0;
};

template <uint32_t N> class DrawUnitType13 final : public DrawUnitType13Base {
public:
    using DrawUnit::Update;
    using DrawUnitType13Base::DrawUnitType13Base;
    void Update(const DrawClock& clock) override;
    // The mesh's render command comes with the draw submission.
    void Draw() override {}

    MeshRenderRecord<N>* Record() const { return static_cast<MeshRenderRecord<N>*>(record); }
};

} // namespace FulgorCore
