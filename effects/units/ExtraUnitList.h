#pragma once

#include <cstdint>

namespace FulgorCore {

class ParticleExtraPart;

// The extra units whose particles ran their transform step in this frame,
// in the order they first ran, linked both ways through the units. The
// root empties it at the start of each pass A, but a newborn advanced
// frame by frame runs its step once a frame before that: a unit already
// listed is not appended again, or it would be linked to itself. A unit
// that goes is taken out where it stands, in constant time; one listed
// only in an earlier frame keeps stale links that the list no longer
// holds, and is left alone.
class ExtraUnitList {
public:
    // A new frame's list: empty, and no unit listed before counts as held.
    void Clear();
    // At the tail, unless already held.
    void Append(ParticleExtraPart* unit);
    // Out of the list when held; nothing otherwise.
    void Remove(ParticleExtraPart* unit);
    bool Holds(const ParticleExtraPart* unit) const;

    ParticleExtraPart* head = nullptr;
    ParticleExtraPart* tail = nullptr;

private:
    // How often the list was emptied, never 0: the mark of the units it
    // holds (a unit that never joined has 0).
    uint32_t clears_ = 1;
};

} // namespace FulgorCore
