#pragma once

#include "effects/units/ParticleSystemUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// A carrier bound to two endpoints A and B: its world matrix lies between
// their attach matrices at the binding's animated blend, and rotation mode
// 3 aims it from A to B. It starts its child in its first step.
class ParticleSystemUnitB : public ParticleSystemUnitBase {
public:
    using StepMemberFn = void (*)(ParticleSystemUnitB* unit);

    // Draws the offset samples of A, then of B, then the blend's.
    ParticleSystemUnitB(InstanceRootUnit* owner, const InitialState& state,
                        const BindResource* binding, uint32_t targetA, uint32_t targetB,
                        const ChildStart& child);

    // Flip, both attach matrices, then the step member.
    void Step() override;

    static void Start(ParticleSystemUnitB* unit);
    static void UpdateWorldMatrix(ParticleSystemUnitB* unit);

    // Below this squared length the blended up vector is taken as gone.
    static constexpr float kMinUpLengthSquared = 0.0001f;

    float endpointMatrixA[12];
    float endpointMatrixB[12];
    float attachMatrixA[12];
    float attachMatrixB[12];
    uint32_t targetA;
    uint32_t targetB;
    float offsetSamplesA[3] = {};
    float offsetSamplesB[3] = {};
    float blendSample = 0.0f;
    StepMemberFn stepMember = Start;
};

static_assert(sizeof(ParticleSystemUnitB) <= kUnitBlockSize);

} // namespace FulgorCore
