#include "effects/units/ParticlePartCreators.h"

namespace FulgorCore {

namespace {

// Until a kind of unit is built the particle lives without it.
ParticleDrawPart* CreateNoDrawPart(ParticleInstance*, const ParticleResource*, bool&) {
    return nullptr;
}

ParticleEmitterPart* CreateNoEmitterPart(ParticleInstance*, const EmitterResource*, bool&) {
    return nullptr;
}

ParticleExtraPart* CreateNoExtraPart(ParticleInstance*, const EffectPartResource*, bool&) {
    return nullptr;
}

constexpr ParticlePartCreators BuiltIn() {
    return {CreateNoDrawPart, CreateNoEmitterPart, CreateNoExtraPart};
}

constinit ParticlePartCreators g_current = BuiltIn();

} // namespace

constinit const ParticlePartCreators ParticlePartCreators::kBuiltIn = BuiltIn();

ParticlePartCreators& ParticlePartCreators::Current() {
    return g_current;
}

} // namespace FulgorCore
