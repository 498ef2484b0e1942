#pragma once

#include "effects/drawunits/DrawUnit.h"
#include "effects/drawunits/DrawUnitRecords.h"
#include "effects/drawunits/FalloffEvaluation.h"

#include <cstdint>

namespace FulgorCore {

// Draw type 5, one of the effect's models (or a blend of two), drawn
// through a render command from its record (one pool block). What does not
// depend on the vertex format: the model choice, the falloff evaluator and
// the specular evaluator, chosen once from the data.
class ModelDrawUnitBase : public DrawUnit {
public:
    using Evaluator = void (*)(DrawUnit* unit, const DrawClock& clock, float* out);
    // The model material's reflection texture.
    static constexpr uint32_t kReflectionStage = 7;

    // What the data decided: whether two models blend (else one model
    // index), the falloff mode (0-7), the lighting and specular switches,
    // the unit random values, the top level of the reflection texture
    // (its level count - 1; 0 without one) and the layer mask of the
    // model's texture transforms.
    struct Values {
        bool blend = false;
        float indexSample = 0.0f;
        float pairSample = 0.0f;
        uint32_t falloffMode = 0;
        bool lighting = false;
        bool specular = false;
        FalloffEvaluation::Samples falloff;
        FalloffEvaluation::SpecularSamples specularSamples;
        float topReflectionLevel = 0.0f;
        uint8_t layerMask = 0;
        bool screenPosition = false;
    };

    // Takes the record's block; without one the particle ends.
    ModelDrawUnitBase(ParticleInstance* owner, const ParticleResource* data, const Values& values);
    // Built from the model data: the record's block (without one the
    // particle ends and no value is drawn), then the unit random values in
    // the order that fixes them: the specular three only with both lighting
    // and specular on, the falloff's when its mode is not 0 (the modes the
    // shader lacks draw theirs but shade as 0), then the blend position or
    // the model index.
    ModelDrawUnitBase(ParticleInstance* owner, const ParticleResource* data);
    ~ModelDrawUnitBase() override;

    // Falloff modes 1 and 2, and 3 and 4 (with the direction).
    static void EvaluateRenderValues(DrawUnit* unit, const DrawClock& clock, float* out);
    static void EvaluateRenderValuesWithDirection(DrawUnit* unit, const DrawClock& clock,
                                                  float* out);
    // The specular block, when both lighting and specular are on.
    static void EvaluateParameterValues(DrawUnit* unit, const DrawClock& clock, float* out);
    static void EvaluateNothing(DrawUnit*, const DrawClock&, float*) {}

    // Model A and B of the frame (the same one without the blend), null for
    // an index that names no model; the blend weight only with the blend.
    void ChooseModels(const DrawClock& clock, float* blendWeight, const MeshSet** modelA,
                      const MeshSet** modelB);

    void* record = nullptr;
    bool blend;
    float indexSample;
    float pairSample;
    FalloffEvaluation::Samples falloffSamples;
    FalloffEvaluation::SpecularSamples specularSamples;
    float topReflectionLevel;
    uint8_t layerMask;
    uint8_t evaluatorFlag = 0;
    // The pixel program takes the unit's position on the screen.
    uint8_t screenPosition;
    Evaluator evaluator = EvaluateNothing;
    Evaluator parameterEvaluator = EvaluateNothing;
};

template <uint32_t N> class ModelDrawUnit final : public ModelDrawUnitBase {
public:
    using DrawUnit::Update;
    using ModelDrawUnitBase::ModelDrawUnitBase;
    // Built from the model data; no model until the first update.
    ModelDrawUnit(ParticleInstance* owner, const ParticleResource* data)
        : ModelDrawUnitBase(owner, data) {
        if (MeshRenderRecord<N>* r = Record())
            r->modelA = r->modelB = nullptr;
    }
    void Update(const DrawClock& clock) override;
    // A render command of model A (blended toward B) with the record's
    // matrix, transforms, colour, polygon-offset slot with the blend
    // weight, shader parameters, the falloff block when the falloff is on,
    // the specular block and the owner's shared block; nothing while
    // either model is missing.
    void Draw() override;

    MeshRenderRecord<N>* Record() const { return static_cast<MeshRenderRecord<N>*>(record); }
};

} // namespace FulgorCore
