#pragma once

#include "effects/units/ParticleSystemUnitBase.h"

#include <cstdint>

namespace FulgorCore {

// A carrier bound to one endpoint: its world matrix follows the endpoint's
// matrix moved by the endpoint's animated offset, with the rotation and
// scale its binding's modes keep. It starts its child in its first step.
class ParticleSystemUnit : public ParticleSystemUnitBase {
public:
    using StepMemberFn = void (*)(ParticleSystemUnit* unit);

    // Draws the endpoint's offset samples from the instance's random state.
    ParticleSystemUnit(InstanceRootUnit* owner, const InitialState& state,
                       const BindResource* binding, uint32_t target, const ChildStart& child);

    // Flip, the endpoint's attach matrix, then the step member.
    void Step() override;

    // First frame: scale and basis fixed, the first world matrix, the child.
    static void Start(ParticleSystemUnit* unit);
    static void UpdateWorldMatrix(ParticleSystemUnit* unit);

    // The endpoint's last matrix: kept when a frame's query gives none.
    float endpointMatrix[12];
    float attachMatrix[12];
    uint32_t target;
    float offsetSamples[3] = {};
    StepMemberFn stepMember = Start;
};

static_assert(sizeof(ParticleSystemUnit) <= kUnitBlockSize);

} // namespace FulgorCore
