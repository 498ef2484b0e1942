#include "game/player/SubWeaponExplosion.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

namespace {

constexpr float kCell = 256.0f;
constexpr uint8_t kFramesOnFirstSheet = 16;

} // namespace

SubWeaponExplosion::SubWeaponExplosion(GameObjectDirector* owner, Player* player,
                                       const Mireku::Common::Vector2& position,
                                       const ShipParamRow* row, const Traits& traits)
    : SubWeaponObject(owner, player, row), traits_(traits) {
    CountOnPlayer();
    SetPositionFromVector(position);
    SetHitShapeActive(false);
}

void SubWeaponExplosion::Update() {
    if (++tick_ == Duration(frame_)) {
        tick_ = 0;
        ++frame_;
    }
    if (frame_ >= kFrames) {
        Vanish();
        return;
    }
    SetHitShapeActive(frame_ >= kFirstHarmful && frame_ <= kLastHarmful);
    SetHitBox(0, 0, kHitSize, kHitSize);
    RegisterHit();
}

void SubWeaponExplosion::Draw() {
    if (frame_ >= kFrames)
        return;
    const bool second = frame_ >= kFramesOnFirstSheet;
    const int32_t cell = second ? frame_ - kFramesOnFirstSheet : frame_;
    SpriteQuad::Centred(FieldSprite::Layer(traits_.layer),
                        FieldSprite::Texture(owner_, traits_.firstTextureSlot + (second ? 1 : 0)),
                        FieldSprite::BlendOf(traits_.layer), kCell * static_cast<float>(cell % 4),
                        kCell * static_cast<float>(cell / 4), kCell, kCell, screenPosition_.x,
                        screenPosition_.y, 2.0f, 0.0f);
}
