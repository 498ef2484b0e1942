#pragma once

#include <cstdint>

namespace FulgorCore {

class DrawUnit;
class ParticleDrawPart;
class ParticleInstance;
class ParticleResource;

// How a draw part's data chooses the class of its draw unit: by draw type
// (0-15), for type 12 the trail sub-kind (0-7) and for the families the
// vertex format, the UV-set count (0-7).
struct DrawUnitClass {
    // Builds the class in a block of the unit pool.
    using Construct = DrawUnit* (*)(void* block, ParticleInstance* owner,
                                    const ParticleResource* data);

    Construct construct = nullptr;
};

// The class of (type, trail sub-kind, vertex format); construct null for a
// combination without a class (types 0, 14 and 15, a vertex format of 7
// where the type uses it, trail sub-kinds 5-7).
DrawUnitClass ChooseDrawUnitClass(uint32_t type, uint32_t trailKind, uint32_t vertexFormat);
// The same from a draw part's data.
DrawUnitClass ChooseDrawUnitClass(const ParticleResource& data);

// The chosen class in a fresh pool block. Null with `stop` set when there
// is no class or no block (the particle ends). A class built from data it
// cannot draw from is still built and draws nothing.
DrawUnit* CreateDrawUnit(ParticleInstance* owner, const ParticleResource* data, bool& stop);
// The same as the particle's part creator.
ParticleDrawPart* CreateDrawPart(ParticleInstance* owner, const ParticleResource* data,
                                 bool& stop);

} // namespace FulgorCore
