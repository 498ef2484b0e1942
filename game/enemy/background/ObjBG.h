// The holder of a stage's background planes, made by the director at stage
// start from the engine heap (not a stage object: the planes themselves are
// children of the director) and kept in the game-wide current background.
// Activate, called when the director's background countdown ends, switches
// the hidden star planes on; the stage and challenge backgrounds fill it.
#pragma once

#include "engine/common/BaseObject.h"

#include <cstdint>

class GameObject;

class ObjBG : public Mireku::Common::BaseObject {
public:
    static constexpr uint32_t kStarPlanes = 8;

    ObjBG() = default;

    virtual uint32_t GetFirstWord() const { return firstWord_; }
    virtual void Activate() {}

    int32_t GetStarPlaneCount() const { return starPlaneCount_; }

protected:
    // Not set by any background; zeroed so that it is never read unset.
    uint32_t firstWord_ = 0;
    int32_t starPlaneCount_ = 0;
    GameObject* starPlanes_[kStarPlanes] = {};
};

// The current stage's holder; null between stages.
extern ObjBG* g_currentBackground;
