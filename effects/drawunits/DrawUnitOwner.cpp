#include "effects/drawunits/DrawUnitOwner.h"

#include "effects/Core/Resource/UnitResource.h"
#include "effects/units/ParticleInstance.h"

namespace FulgorCore::DrawUnitOwner {

uint32_t FacingAxis(const ParticleInstance* particle) {
    const uint32_t axis = particle->unitData ? particle->unitData->GetBAxs() : 2;
    return axis < 2 ? axis : 2;
}

void BlockScale(const ParticleInstance* particle, float* out) {
    for (int i = 0; i < 3; ++i)
        out[i] = particle->inheritedScale[i];
}

float BlockAngleZ(const ParticleInstance* particle) {
    return particle->inheritedRotation[2];
}

const UnitInstance* ReferenceUnit(const ParticleInstance* particle) {
    const UnitInstance* unit = particle->parent;
    // Emitter transform units answer the particle kind too but have no
    // transform mode: the walk stops at them.
    while (unit && unit->GetKind() == UnitInstance::kParticleNode) {
        const auto* node = dynamic_cast<const ParticleInstance*>(unit);
        if (!node)
            break;
        const uint32_t mode = node->InheritMode();
        const bool detached =
            mode == 2 ||
            (mode == 3 && (node->inheritFlags & ParticleInstance::kPositionFromAuxBit));
        if (!detached)
            break;
        unit = unit->parent;
    }
    return unit;
}

} // namespace FulgorCore::DrawUnitOwner
