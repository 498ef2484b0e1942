#include "effects/units/ParticlePartCreators.h"

#include "effects/drawunits/DrawUnitFactory.h"
#include "effects/units/EmitterUnit.h"
#include "effects/units/ParticleExtraUnit.h"

namespace FulgorCore {

namespace {

constexpr ParticlePartCreators BuiltIn() {
    return {CreateDrawPart, EmitterUnit::CreatePart, ParticleExtraUnit::CreatePart};
}

constinit ParticlePartCreators g_current = BuiltIn();

} // namespace

constinit const ParticlePartCreators ParticlePartCreators::kBuiltIn = BuiltIn();

ParticlePartCreators& ParticlePartCreators::Current() {
    return g_current;
}

} // namespace FulgorCore
