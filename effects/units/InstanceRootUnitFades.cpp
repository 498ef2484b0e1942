// The root's fades of the whole effect: by camera distance and by view
// angle, each scaling the alpha of the root's current colour, which the
// step resets from the base colour every frame.
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/PackageResource.h"
#include "effects/units/InstanceRootUnit.h"
#include "effects/units/ViewFade.h"

namespace FulgorCore {

namespace {

InstanceRootUnit* AsRoot(UnitInstance* unit) {
    return static_cast<InstanceRootUnit*>(unit);
}

// The four angle modes, one table for every root.
constexpr UnitInstance::Member kAngleFadeModes[4] = {
    InstanceRootUnit::ApplyViewAngleFade, InstanceRootUnit::ApplyYawPitchAngleFade,
    InstanceRootUnit::ApplyYawAngleFade, InstanceRootUnit::ApplyPitchAngleFade};

} // namespace

void InstanceRootUnit::SelectFadeMembers() {
    if (!package)
        return;
    if (package->GetFlagDsF() && package->GetDistanceFade())
        distanceFadeMember = ApplyDistanceFade;
    const AngleFade* angle = package->GetAngleFade();
    if (package->GetFlagAgF() && angle && angle->GetType() < 4)
        angleFadeMember = kAngleFadeModes[angle->GetType()];
}

void InstanceRootUnit::ApplyDistanceFade(UnitInstance* unit) {
    InstanceRootUnit* root = AsRoot(unit);
    root->currentColor[3] *= ViewFade::DistanceFactor(ViewFade::CameraPosition(), root->worldMatrix,
                                                      *root->package->GetDistanceFade());
}

void InstanceRootUnit::ApplyViewAngleFade(UnitInstance* unit) {
    InstanceRootUnit* root = AsRoot(unit);
    root->currentColor[3] *= ViewFade::ViewAngleFactor(
        ViewFade::CameraPosition(), root->worldMatrix, *root->package->GetAngleFade());
}

void InstanceRootUnit::ApplyYawPitchAngleFade(UnitInstance* unit) {
    ApplyYawAngleFade(unit);
    ApplyPitchAngleFade(unit);
}

void InstanceRootUnit::ApplyYawAngleFade(UnitInstance* unit) {
    InstanceRootUnit* root = AsRoot(unit);
    root->currentColor[3] *= ViewFade::YawFactor(ViewFade::CameraPosition(), root->worldMatrix,
                                                 *root->package->GetAngleFade());
}

void InstanceRootUnit::ApplyPitchAngleFade(UnitInstance* unit) {
    InstanceRootUnit* root = AsRoot(unit);
    root->currentColor[3] *= ViewFade::PitchFactor(ViewFade::CameraPosition(), root->worldMatrix,
                                                   *root->package->GetAngleFade());
}

} // namespace FulgorCore
