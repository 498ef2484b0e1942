// The walks the timeline commands KILL and ULLP run over a unit's timeline
// children.
#include "effects/units/UnitInstance.h"

namespace FulgorCore {

namespace {

// Criteria 0-7: every timeline child, id 1 or more, id below 0, the given
// id (3 and 4; the caller computes it), then 0-2 again without the issuer.
bool Chooses(uint32_t criterion, const UnitInstance* child, const UnitInstance* issuer, int8_t id) {
    const int8_t own = child->timelineId;
    switch (criterion) {
    case 0:
        return true;
    case 1:
        return own >= 1;
    case 2:
        return own < 0;
    case 3:
    case 4:
        return own == id;
    case 5:
        return child != issuer;
    case 6:
        return own >= 1 && child != issuer;
    case 7:
        return own < 0 && child != issuer;
    default:
        return false;
    }
}

template <class Action>
void ForChosenTimelines(UnitInstance* unit, uint32_t criterion, const UnitInstance* issuer,
                        int8_t id, Action action) {
    for (UnitInstance* child = unit->firstChild; child; child = child->nextSibling)
        if (child->GetKind() == UnitInstance::kTimeline && Chooses(criterion, child, issuer, id))
            action(child);
}

} // namespace

void UnitInstance::FadeOutTimelineUnitsBy(UnitInstance* unit, uint32_t criterion,
                                          const UnitInstance* issuer, int8_t id, uint32_t frames) {
    ForChosenTimelines(unit, criterion, issuer, id,
                       [frames](UnitInstance* child) { child->StartFadeOut(frames); });
}

void UnitInstance::FadeOutTimelineUnits(UnitInstance* unit, uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 0, nullptr, 0, frames);
}

void UnitInstance::FadeOutTimelineUnitsWithPositiveId(UnitInstance* unit, uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 1, nullptr, 0, frames);
}

void UnitInstance::FadeOutTimelineUnitsWithNegativeId(UnitInstance* unit, uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 2, nullptr, 0, frames);
}

void UnitInstance::FadeOutTimelineUnitsWithId(UnitInstance* unit, int8_t id, uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 3, nullptr, id, frames);
}

void UnitInstance::FadeOutTimelineUnitsExcept(UnitInstance* unit, const UnitInstance* issuer,
                                              uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 5, issuer, 0, frames);
}

void UnitInstance::FadeOutTimelineUnitsWithPositiveIdExcept(UnitInstance* unit,
                                                            const UnitInstance* issuer,
                                                            uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 6, issuer, 0, frames);
}

void UnitInstance::FadeOutTimelineUnitsWithNegativeIdExcept(UnitInstance* unit,
                                                            const UnitInstance* issuer,
                                                            uint32_t frames) {
    FadeOutTimelineUnitsBy(unit, 7, issuer, 0, frames);
}

void UnitInstance::RestartSubtree(UnitInstance* unit) {
    unit->loopMember = NoOp;
    unit->OnLoopEnd();
    for (UnitInstance* child = unit->firstChild; child; child = child->nextSibling)
        RestartSubtree(child);
}

void UnitInstance::RestartTimelineUnitsBy(UnitInstance* unit, uint32_t criterion,
                                          const UnitInstance* issuer, int8_t id) {
    ForChosenTimelines(unit, criterion, issuer, id, RestartSubtree);
}

void UnitInstance::RestartTimelineUnits(UnitInstance* unit) {
    RestartTimelineUnitsBy(unit, 0, nullptr, 0);
}

void UnitInstance::RestartTimelineUnitsWithPositiveId(UnitInstance* unit) {
    RestartTimelineUnitsBy(unit, 1, nullptr, 0);
}

void UnitInstance::RestartTimelineUnitsWithNegativeId(UnitInstance* unit) {
    RestartTimelineUnitsBy(unit, 2, nullptr, 0);
}

void UnitInstance::RestartTimelineUnitsWithId(UnitInstance* unit, int8_t id) {
    RestartTimelineUnitsBy(unit, 3, nullptr, id);
}

void UnitInstance::RestartTimelineUnitsExcept(UnitInstance* unit, const UnitInstance* issuer) {
    RestartTimelineUnitsBy(unit, 5, issuer, 0);
}

void UnitInstance::RestartTimelineUnitsWithPositiveIdExcept(UnitInstance* unit,
                                                            const UnitInstance* issuer) {
    RestartTimelineUnitsBy(unit, 6, issuer, 0);
}

void UnitInstance::RestartTimelineUnitsWithNegativeIdExcept(UnitInstance* unit,
                                                            const UnitInstance* issuer) {
    RestartTimelineUnitsBy(unit, 7, issuer, 0);
}

} // namespace FulgorCore
