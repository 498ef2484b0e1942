#include "effects/units/ParticlePartCreators.h"

#include "effects/units/EmitterUnit.h"
#include "effects/units/ParticleExtraUnit.h"

namespace FulgorCore {

namespace {

// Until a kind of unit is built the particle lives without it.
ParticleDrawPart* CreateNoDrawPart(ParticleInstance*, const ParticleResource*, bool&) {
    return nullptr;
}

constexpr ParticlePartCreators BuiltIn() {
    return {CreateNoDrawPart, EmitterUnit::CreatePart, ParticleExtraUnit::CreatePart};
}

constinit ParticlePartCreators g_current = BuiltIn();

} // namespace

constinit const ParticlePartCreators ParticlePartCreators::kBuiltIn = BuiltIn();

ParticlePartCreators& ParticlePartCreators::Current() {
    return g_current;
}

} // namespace FulgorCore
