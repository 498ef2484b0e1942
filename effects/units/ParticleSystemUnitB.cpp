#include "effects/units/ParticleSystemUnitB.h"

#include "effects/Core/Math/Camera.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/units/InstanceRootUnit.h"

#include <cstring>

namespace FulgorCore {

ParticleSystemUnitB::ParticleSystemUnitB(InstanceRootUnit* owner, const InitialState& state,
                                         const BindResource* binding, uint32_t targetA,
                                         uint32_t targetB, const ChildStart& child)
    : ParticleSystemUnitBase(owner, state, binding, child), targetA(targetA), targetB(targetB) {
    Math::Matrix34Identity(endpointMatrixA);
    Math::Matrix34Identity(endpointMatrixB);
    Math::Matrix34Identity(attachMatrixA);
    Math::Matrix34Identity(attachMatrixB);
    SampleOffset(0, offsetSamplesA);
    SampleOffset(1, offsetSamplesB);
    if (binding)
        blendSample = binding->GetTrFc().SampleRandom(owner->random);
}

void ParticleSystemUnitB::Step() {
    Flip();
    QueryEndpoint(0, targetA, endpointMatrixA);
    Attach(0, endpointMatrixA, offsetSamplesA, attachMatrixA);
    QueryEndpoint(1, targetB, endpointMatrixB);
    Attach(1, endpointMatrixB, offsetSamplesB, attachMatrixB);
    stepMember(this);
}

void ParticleSystemUnitB::Start(ParticleSystemUnitB* unit) {
    unit->FixStart(unit->attachMatrixA);
    UpdateWorldMatrix(unit);
    unit->stepMember = UpdateWorldMatrix;
    unit->StartChild();
}

void ParticleSystemUnitB::UpdateWorldMatrix(ParticleSystemUnitB* unit) {
    const float* a = unit->attachMatrixA;
    const float* b = unit->attachMatrixB;
    const float t = unit->binding
                        ? unit->binding->GetTrFc().Evaluate({unit->time, unit->totalTime},
                                                            unit->blendSample, unit->owner->random)
                        : 0.0f;
    float* w = unit->Current();
    float scales[3];
    for (int k = 0; k < 3; ++k) {
        if (unit->scaleMode == kFollowScale) {
            const float la = Length(&a[k * 3]);
            scales[k] = la + (Length(&b[k * 3]) - la) * t;
        } else {
            scales[k] = unit->startScale[k];
        }
    }
    float rows[9];
    bool keepRows = false;
    switch (unit->EffectiveRotationMode()) {
    case kFollowRotation:
        for (int k = 0; k < 3; ++k) {
            float blended[3];
            for (int c = 0; c < 3; ++c)
                blended[c] = a[k * 3 + c] + (b[k * 3 + c] - a[k * 3 + c]) * t;
            Normalize(&rows[k * 3], blended);
        }
        break;
    case kAimRotation: {
        float up[3];
        for (int c = 0; c < 3; ++c)
            up[c] = a[3 + c] + (b[3 + c] - a[3 + c]) * t;
        if (Math::Vector3Dot(up, up) < kMinUpLengthSquared)
            std::memcpy(up, &unit->Previous()[3], sizeof(up));
        float frame[12];
        if (Math::Matrix34LookAt(frame, &a[9], &b[9], up)) {
            std::memcpy(rows, frame, sizeof(rows));
        } else {
            // No frame this time (aiming along the up vector): the rows
            // stay as the previous frame left them.
            std::memcpy(w, unit->Previous(), sizeof(float) * 9);
            keepRows = true;
        }
        break;
    }
    case kCameraRotation:
        CameraRows(rows);
        break;
    default:
        std::memcpy(rows, unit->startBasis, sizeof(rows));
        break;
    }
    if (!keepRows)
        WriteScaledRows(w, rows, scales);
    for (int c = 0; c < 3; ++c)
        w[9 + c] = a[9 + c] + (b[9 + c] - a[9 + c]) * t;
    unit->Written();
}

} // namespace FulgorCore
