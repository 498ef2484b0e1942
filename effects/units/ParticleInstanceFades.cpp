// A particle's own fades by camera distance and by view angle, scaling the
// alpha of its colour after its FadeFactor.
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ParticleInstance.h"
#include "effects/units/ViewFade.h"

namespace FulgorCore {

namespace {

// The four angle modes, one table for every particle.
constexpr ParticleInstance::PlainMember kAngleFadeModes[4] = {
    ParticleInstance::ApplyViewAngleFade, ParticleInstance::ApplyYawPitchAngleFade,
    ParticleInstance::ApplyYawAngleFade, ParticleInstance::ApplyPitchAngleFade};

float& Alpha(ParticleInstance* node) {
    return node->transformBlock->color[3];
}

} // namespace

void ParticleInstance::SelectFadeMembers() {
    if (!unitData)
        return;
    if (unitData->GetFlagPDf() && unitData->GetDistanceFade())
        distanceFadeMember = ApplyDistanceFade;
    const AngleFade* angle = unitData->GetAngleFade();
    if (unitData->GetFlagPAf() && angle && angle->GetType() < 4)
        viewAngleFadeMember = kAngleFadeModes[angle->GetType()];
}

void ParticleInstance::ApplyDistanceFade(ParticleInstance* node) {
    Alpha(node) *= ViewFade::DistanceFactor(ViewFade::CameraPosition(), node->GetWorldMatrix(),
                                            *node->unitData->GetDistanceFade());
}

void ParticleInstance::ApplyViewAngleFade(ParticleInstance* node) {
    Alpha(node) *= ViewFade::ViewAngleFactor(ViewFade::CameraPosition(), node->GetWorldMatrix(),
                                             *node->unitData->GetAngleFade());
}

void ParticleInstance::ApplyYawPitchAngleFade(ParticleInstance* node) {
    ApplyYawAngleFade(node);
    ApplyPitchAngleFade(node);
}

void ParticleInstance::ApplyYawAngleFade(ParticleInstance* node) {
    Alpha(node) *= ViewFade::YawFactor(ViewFade::CameraPosition(), node->GetWorldMatrix(),
                                       *node->unitData->GetAngleFade());
}

void ParticleInstance::ApplyPitchAngleFade(ParticleInstance* node) {
    Alpha(node) *= ViewFade::PitchFactor(ViewFade::CameraPosition(), node->GetWorldMatrix(),
                                         *node->unitData->GetAngleFade());
}

} // namespace FulgorCore
