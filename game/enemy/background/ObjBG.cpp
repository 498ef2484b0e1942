#include "game/enemy/background/ObjBG.h"

#include "game/core/SpriteLayer.h"
#include "game/enemy/background/BG_Effect.h"
#include "game/enemy/background/BG_Plane.h"
#include "game/enemy/background/BG_UpperPlane.h"
#include "game/stage/GameObjectDirector.h"

ObjBG* g_currentBackground = nullptr;

namespace {

struct StarLayer {
    float speed;
    bool visible;
};
// The first three shine from the start; the last two appear on Activate.
constexpr StarLayer kStars[ObjBG::kStarLayers] = {
    {2.0f, true}, {3.0f, true}, {4.0f, true}, {4.0f, false}, {6.0f, false}};
constexpr int32_t kShownCountdown = 180;
constexpr int32_t kHiddenCountdown = 2147483647;
constexpr float kShownFactor = 3.5f;
constexpr float kHiddenFactor = 1.0f;

uint32_t LayerIndex(SpriteLayer layer) {
    return static_cast<uint32_t>(layer);
}

} // namespace

void ObjBG::Build(GameObjectDirector* owner, uint32_t context, const Layout& layout) {
    if (BG_Plane* far = GameObject::Create<BG_Plane>(owner, owner, context))
        far->Setup(1, LayerIndex(SpriteLayer::kBG), layout.farTexture);

    if (BG_UpperPlane* map = GameObject::Create<BG_UpperPlane>(owner, owner, context)) {
        int32_t ids[BG_UpperPlane::kMaxTextures] = {};
        for (int32_t i = 0;
             i < layout.mapTextures && i < static_cast<int32_t>(BG_UpperPlane::kMaxTextures); ++i)
            ids[i] = layout.firstMapTexture + i;
        map->Setup(1, LayerIndex(SpriteLayer::kBGParts), layout.firstMapTexture);
        map->SetTextures(ids, layout.mapTextures, layout.mapRunFrames);
    }

    for (uint32_t s = 0; s < kStarLayers; ++s) {
        BG_Effect* star = GameObject::Create<BG_Effect>(owner, owner, context);
        if (!star)
            continue;
        star->Setup(0, LayerIndex(SpriteLayer::kBGStar),
                    layout.firstStarTexture + static_cast<int32_t>(s));
        star->SetSpeed(kStars[s].speed);
        star->Start(kStars[s].visible, kStars[s].visible ? kShownCountdown : kHiddenCountdown,
                    kStars[s].visible ? kShownFactor : kHiddenFactor,
                    kStars[s].visible ? 1.0f : 0.0f);
        starPlanes_[starPlaneCount_++] = star;
    }
}

void ObjBG::BoostStarPlanes() {
    for (int32_t i = 0; i < starPlaneCount_; ++i)
        if (starPlanes_[i])
            starPlanes_[i]->Boost();
}

void ObjBG::ForgetStarPlane(const BG_Effect* plane) {
    for (int32_t i = 0; i < starPlaneCount_; ++i)
        if (starPlanes_[i] == plane)
            starPlanes_[i] = nullptr;
}
