#include "effects/units/ParticleSystemUnit.h"

#include "effects/Core/Math/Matrix.h"
#include "effects/render/Renderer.h"

#include <cstring>

namespace FulgorCore {

ParticleSystemUnit::ParticleSystemUnit(InstanceRootUnit* owner, const InitialState& state,
                                       const BindResource* binding, uint32_t target,
                                       const ChildStart& child)
    : ParticleSystemUnitBase(owner, state, binding, child), target(target) {
    Math::Matrix34Identity(endpointMatrix);
    Math::Matrix34Identity(attachMatrix);
    SampleOffset(0, offsetSamples);
}

void ParticleSystemUnit::Step() {
    Flip();
    QueryEndpoint(0, target, endpointMatrix);
    Attach(0, endpointMatrix, offsetSamples, attachMatrix);
    stepMember(this);
}

void ParticleSystemUnit::Start(ParticleSystemUnit* unit) {
    unit->FixStart(unit->attachMatrix);
    UpdateWorldMatrix(unit);
    unit->stepMember = UpdateWorldMatrix;
    unit->StartChild();
}

void ParticleSystemUnit::UpdateWorldMatrix(ParticleSystemUnit* unit) {
    const float* a = unit->attachMatrix;
    float* w = unit->Current();
    float scales[3];
    for (int k = 0; k < 3; ++k)
        scales[k] = unit->scaleMode == kFollowScale ? Length(&a[k * 3]) : unit->startScale[k];
    float rows[9];
    switch (unit->EffectiveRotationMode()) {
    case kFollowRotation:
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c)
                rows[k * 3 + c] = a[k * 3 + c] / Length(&a[k * 3]);
        break;
    case kCameraRotation:
        CameraRows(rows);
        break;
    default:
        std::memcpy(rows, unit->startBasis, sizeof(rows));
        break;
    }
    WriteScaledRows(w, rows, scales);
    std::memcpy(&w[9], &a[9], sizeof(float) * 3);
    unit->Written();
}

} // namespace FulgorCore
