#include "effects/units/ExtraUnitList.h"

#include "effects/units/ParticleExtraPart.h"

namespace FulgorCore {

void ExtraUnitList::Clear() {
    head = nullptr;
    tail = nullptr;
    if (++clears_ == 0)
        clears_ = 1;
}

void ExtraUnitList::Append(ParticleExtraPart* unit) {
    if (Holds(unit))
        return;
    unit->listMark = clears_;
    unit->previousExtra = tail;
    unit->nextExtra = nullptr;
    (tail ? tail->nextExtra : head) = unit;
    tail = unit;
}

void ExtraUnitList::Remove(ParticleExtraPart* unit) {
    if (!Holds(unit))
        return;
    (unit->previousExtra ? unit->previousExtra->nextExtra : head) = unit->nextExtra;
    (unit->nextExtra ? unit->nextExtra->previousExtra : tail) = unit->previousExtra;
    unit->previousExtra = nullptr;
    unit->nextExtra = nullptr;
    unit->listMark = 0;
}

bool ExtraUnitList::Holds(const ParticleExtraPart* unit) const {
    return unit->listMark == clears_;
}

} // namespace FulgorCore
