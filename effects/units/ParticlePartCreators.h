#pragma once

namespace FulgorCore {

class EffectPartResource;
class EmitterResource;
class ParticleDrawPart;
class ParticleEmitterPart;
class ParticleExtraPart;
class ParticleInstance;
class ParticleResource;

// Where a particle instance gets its draw, emitter and extra units from.
// A creator answers the unit, or null with `stop` set when the particle
// must end (no block, no class). A part that is not built ends the
// particle even with `stop` left clear: every draw class is built from any
// data it is given, drawing nothing from data it cannot draw. This is the
// one place the particle classes reach the unit kinds through.
struct ParticlePartCreators {
    using Draw = ParticleDrawPart* (*)(ParticleInstance* owner, const ParticleResource* data,
                                       bool& stop);
    using Emitter = ParticleEmitterPart* (*)(ParticleInstance* owner, const EmitterResource* data,
                                             bool& stop);
    // Only kinds 1 and 2 reach it.
    using Extra = ParticleExtraPart* (*)(ParticleInstance* owner, const EffectPartResource* data,
                                         bool& stop);

    Draw draw;
    Emitter emitter;
    Extra extra;

    // The creators the runtime uses.
    static ParticlePartCreators& Current();
    // The runtime's own.
    static const ParticlePartCreators kBuiltIn;
};

} // namespace FulgorCore
