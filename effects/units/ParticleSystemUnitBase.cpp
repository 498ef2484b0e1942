#include "effects/units/ParticleSystemUnitBase.h"

#include "effects/Core/Interface/IInstanceListenner.h"
#include "effects/Core/Math/FastRoot.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/Core/Math/Vector3.h"
#include "effects/Core/Resource/AttachPoint.h"
#include "effects/Core/Resource/BindResource.h"
#include "effects/Core/Resource/TimelineResource.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/TimelineUnit.h"

#include <cstring>

namespace FulgorCore {

ParticleSystemUnitBase::ParticleSystemUnitBase(InstanceRootUnit* owner, const InitialState& state,
                                               const BindResource* binding, const ChildStart& child)
    : UnitInstance(owner, state), binding(binding),
      rotationMode(binding ? binding->GetBRTT() : kNoRotation),
      scaleMode(binding ? binding->GetBSTT() : kNoScale), childStart(child) {
    Math::Matrix34Identity(worldMatrices[0]);
    Math::Matrix34Identity(worldMatrices[1]);
    Math::Matrix34Identity(inverseWorldMatrix);
    std::memcpy(startBasis, Math::kIdentity34, sizeof(startBasis));
}

const float* ParticleSystemUnitBase::GetInverseWorldMatrix() const {
    if (!inverseValid) {
        Math::Matrix34Inverse(inverseWorldMatrix, worldMatrices[currentIndex]);
        inverseValid = 1;
    }
    return inverseWorldMatrix;
}

bool ParticleSystemUnitBase::QueryEndpoint(uint32_t endpoint, uint32_t target,
                                           float* matrix) const {
    const AttachPoint* point = binding ? binding->GetAttachPoint(endpoint) : nullptr;
    if (!point)
        return false;
    const uint32_t kind = point->GetField(AttachPoint::kTargetType);
    if (kind == kCameraEndpoint)
        return CameraMatrix(matrix);
    if (kind > kCameraEndpoint || !owner->listener)
        return false;
    return owner->listener->GetTargetMatrix(target, point->GetField(AttachPoint::kPointType),
                                            point->GetFlags(), matrix);
}

void ParticleSystemUnitBase::Attach(uint32_t endpoint, const float* m, const float* samples,
                                    float* attach) const {
    float v[3] = {};
    if (const AttachPoint* point = binding ? binding->GetAttachPoint(endpoint) : nullptr)
        point->GetPosition().Evaluate({time, totalTime}, samples, owner->random, v);
    std::memcpy(attach, m, sizeof(float) * 9);
    for (int c = 0; c < 3; ++c)
        attach[9 + c] = v[0] * m[c] + v[1] * m[3 + c] + v[2] * m[6 + c] + m[9 + c];
}

void ParticleSystemUnitBase::SampleOffset(uint32_t endpoint, float* samples) {
    if (const AttachPoint* point = binding ? binding->GetAttachPoint(endpoint) : nullptr)
        point->GetPosition().SampleRandom(owner->random, samples);
}

void ParticleSystemUnitBase::FixStart(const float* attach) {
    for (int k = 0; k < 3; ++k)
        startScale[k] = scaleMode == kFixedScale ? Length(&attach[k * 3]) : 1.0f;
    switch (EffectiveRotationMode()) {
    case kNoRotation:
        std::memcpy(startBasis, Math::kIdentity34, sizeof(startBasis));
        break;
    case kFixedRotation:
    case kAimRotation:
        for (int k = 0; k < 3; ++k)
            Normalize(&startBasis[k * 3], &attach[k * 3]);
        break;
    default:
        break;
    }
}

void ParticleSystemUnitBase::StartChild() {
    switch (childStart.childKind) {
    case ChildStart::kTimeline: {
        if (!childStart.timeline)
            break;
        InitialState state;
        state.parent = this;
        state.speed = 1.0f;
        state.lifetime = childStart.timeline->GetLength();
        state.timeMode = state.lifetime > 0.0f ? kEndAtTime : kEndless;
        AddChild(Create<TimelineUnit>(owner, state, childStart.timeline,
                                      static_cast<int8_t>(childStart.id + 1)));
        break;
    }
    case ChildStart::kParticle:
        // A null particle (pool exhausted) adds nothing: the carrier lives
        // on without a child and ends by its clock.
        AddChild(owner->SpawnParticleInstance(this, childStart.unit, &GetWorldMatrix()[9],
                                              childStart.childLifetime, childStart.childSpeed));
        break;
    default:
        break;
    }
}

void ParticleSystemUnitBase::Written() {
    if (composed)
        return;
    std::memcpy(worldMatrices[currentIndex ^ 1u], worldMatrices[currentIndex],
                sizeof(worldMatrices[0]));
    composed = 1;
}

bool ParticleSystemUnitBase::CameraMatrix(float* out) {
    const RendererWorkData* renderer = Renderer::GetWorkData();
    if (!renderer)
        return false;
    for (int row = 0; row < 4; ++row)
        std::memcpy(&out[row * 3], &renderer->inverseView[row * 4], sizeof(float) * 3);
    return true;
}

void ParticleSystemUnitBase::CameraRows(float* rows) {
    float camera[12];
    if (!CameraMatrix(camera))
        std::memcpy(camera, Math::kIdentity34, sizeof(camera));
    std::memcpy(rows, camera, sizeof(float) * 9);
}

void ParticleSystemUnitBase::WriteScaledRows(float* w, const float* rows, const float* scales) {
    for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c)
            w[k * 3 + c] = rows[k * 3 + c] * scales[k];
}

float ParticleSystemUnitBase::Length(const float* row) {
    return Math::ApproxSqrt(Math::Vector3Dot(row, row));
}

void ParticleSystemUnitBase::Normalize(float* out, const float* row) {
    Math::Vector3Normalize(out, row);
}

} // namespace FulgorCore
