#pragma once

#include "effects/Core/Resource/MeshSet.h"
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

    // What the data decided: the falloff mode (0-7), the unit random
    // values of the falloff properties, and whether the pixel program
    // takes the unit's position on the screen.
    struct Values {
        uint32_t falloffMode = 0;
        FalloffEvaluation::Samples falloff;
        bool screenPosition = false;
    };

    // Takes the record's block; without one the particle ends.
    DrawUnitType13Base(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    // Built from the mesh data: the record's block (without one the
    // particle ends and nothing more is set), the mesh, and the falloff's
    // evaluator with its unit random values when its mode is not 0 (the
    // modes the shader lacks draw theirs but shade as 0).
    DrawUnitType13Base(ParticleInstance* owner, const ParticleResource* data);
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
    uint8_t screenPosition;
    // The data's mesh (its first buffer pair): vertex buffer, index buffer,
    // vertex count and index count.
    MeshSet mesh;
};

template <uint32_t N> class DrawUnitType13 final : public DrawUnitType13Base {
public:
    using DrawUnit::Update;
    using DrawUnitType13Base::DrawUnitType13Base;
    DrawUnitType13(ParticleInstance* owner, const ParticleResource* data)
        : DrawUnitType13Base(owner, data) {}
    void Update(const DrawClock& clock) override;
    // A render command of the mesh with the record's matrix, transforms,
    // colour, polygon-offset slot and shader parameters (the falloff block
    // when the falloff is on); a missing or empty mesh issues nothing.
    void Draw() override;

    MeshRenderRecord<N>* Record() const { return static_cast<MeshRenderRecord<N>*>(record); }
};

} // namespace FulgorCore
