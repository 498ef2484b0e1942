// The holder of a stage's background planes, made by the director at stage
// start from the engine heap (not a stage object: the planes themselves are
// children of the director) and kept in the game-wide current background.
// Its subclasses build the planes: a far plane with the stage picture, a
// map plane that runs through the map pictures, and five star layers, the
// last two hidden. Activate, called when the director's background
// countdown ends, shows and boosts every star layer.
#pragma once

#include "engine/common/BaseObject.h"

#include <cstdint>

class BG_Effect;
class GameObjectDirector;

class ObjBG : public Mireku::Common::BaseObject {
public:
    static constexpr uint32_t kStarPlanes = 8;
    static constexpr uint32_t kStarLayers = 5;

    ObjBG() = default;

    virtual uint32_t GetFirstWord() const { return firstWord_; }
    virtual void Activate() {}

    int32_t GetStarPlaneCount() const { return starPlaneCount_; }
    // Null for a plane deleted since it was built.
    BG_Effect* GetStarPlane(uint32_t i) const {
        return i < static_cast<uint32_t>(starPlaneCount_) ? starPlanes_[i] : nullptr;
    }
    // A star plane being deleted; its entry is cleared.
    void ForgetStarPlane(const BG_Effect* plane);

protected:
    // The texture ids of a background and the frames its map pictures take.
    struct Layout {
        int32_t farTexture;
        int32_t firstMapTexture;
        int32_t mapTextures;
        int32_t mapRunFrames;
        int32_t firstStarTexture;
    };
    // Makes the planes, each appended to the owner while it takes children
    // (a plane without a pool block is left out), and records the star layers.
    void Build(GameObjectDirector* owner, uint32_t context, const Layout& layout);
    void BoostStarPlanes();

    // Not set by any background; zeroed so that it is never read unset.
    uint32_t firstWord_ = 0;
    int32_t starPlaneCount_ = 0;
    BG_Effect* starPlanes_[kStarPlanes] = {};
};

// The current stage's holder; null between stages.
extern ObjBG* g_currentBackground;
