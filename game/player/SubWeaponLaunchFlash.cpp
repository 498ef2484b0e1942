#include "game/player/SubWeaponLaunchFlash.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

namespace {

// A frame ends when the tick passes its limit.
constexpr int32_t kLimits[SubWeaponLaunchFlash::kFrames] = {1, 2, 2, 2, 3, 4};
constexpr float kSize = 192.0f;

} // namespace

SubWeaponLaunchFlash::SubWeaponLaunchFlash(GameObjectDirector* owner,
                                           const Mireku::Common::Vector2& position,
                                           int32_t firstTextureSlot)
    : GameObject(owner), firstTextureSlot_(firstTextureSlot) {
    SetPositionFromVector(position);
}

void SubWeaponLaunchFlash::Update() {
    if (frame_ >= kFrames)
        return;
    if (++tick_ > kLimits[frame_]) {
        tick_ = 0;
        if (++frame_ == kFrames)
            Vanish();
    }
}

void SubWeaponLaunchFlash::Draw() {
    if (frame_ >= kFrames)
        return;
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, firstTextureSlot_ + frame_), SpriteQuad::kAdd,
                        0.0f, 0.0f, kSize, kSize, screenPosition_.x, screenPosition_.y, GetScale(),
                        0.0f);
}
