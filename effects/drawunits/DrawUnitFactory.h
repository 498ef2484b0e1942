#pragma once

namespace FulgorCore {

class DrawUnit;
class ParticleDrawPart;
class ParticleInstance;
class ParticleResource;

// The draw unit of a draw part, by its draw type: types 1, 2, 3, 4 and 11
// are built here. Null with `noBlock` left false: the type is not built yet,
// or its data is refused (the particle lives without the unit); null with
// `noBlock` set: the pool had no block (the particle ends).
DrawUnit* CreateDrawUnit(ParticleInstance* owner, const ParticleResource* data, bool& noBlock);
// The same as the particle's part creator.
ParticleDrawPart* CreateDrawPart(ParticleInstance* owner, const ParticleResource* data,
                                 bool& noBlock);

} // namespace FulgorCore
