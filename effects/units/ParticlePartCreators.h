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
// A creator answers the unit, or null: with `noBlock` left false the kind
// is not built (yet) and the particle lives without that unit; with
// `noBlock` set a block was missing and the particle ends at once. This is
// the one place the particle classes reach the unit kinds through.
struct ParticlePartCreators {
    using Draw = ParticleDrawPart* (*)(ParticleInstance* owner, const ParticleResource* data,
                                       bool& noBlock);
    using Emitter = ParticleEmitterPart* (*)(ParticleInstance* owner, const EmitterResource* data,
                                             bool& noBlock);
    // Only kinds 1 and 2 reach it.
    using Extra = ParticleExtraPart* (*)(ParticleInstance* owner, const EffectPartResource* data,
                                         bool& noBlock);

    Draw draw;
    Emitter emitter;
    Extra extra;

    // The creators the runtime uses.
    static ParticlePartCreators& Current();
    // The runtime's own.
    static const ParticlePartCreators kBuiltIn;
};

} // namespace FulgorCore
