#include "game/player/SubWeaponShotFlash.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kScales[SubWeaponShotFlash::kUpdates] = {
    0.0f, 0.25f, 0.5f, 0.75f, 1.0f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.4f, 0.3f, 0.2f, 0.1f};
constexpr float kCellU = 128.0f;
constexpr float kCellV = 384.0f;
constexpr float kCell = 128.0f;

} // namespace

SubWeaponShotFlash::SubWeaponShotFlash(GameObjectDirector* owner,
                                       const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPositionFromVector(position);
}

float SubWeaponShotFlash::ScaleAt(int8_t counter) {
    return counter >= 0 && counter < kUpdates ? kScales[counter] : 0.0f;
}

void SubWeaponShotFlash::Update() {
    if (++counter_ == kUpdates) {
        Vanish();
        return;
    }
    SetScale(ScaleAt(counter_));
}

void SubWeaponShotFlash::Draw() {
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, StageTextureSlot::kSubWeaponBodies),
                        SpriteQuad::kAdd, kCellU, kCellV, kCell, kCell, screenPosition_.x,
                        screenPosition_.y, GetScale(), 0.0f);
}
