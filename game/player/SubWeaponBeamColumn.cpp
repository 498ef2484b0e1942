#include "game/player/SubWeaponBeamColumn.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

#include <algorithm>

SubWeaponBeamColumn::SubWeaponBeamColumn(GameObjectDirector* owner, Player* player,
                                         const Mireku::Common::Vector2& position,
                                         const ShipParamRow* row, const Traits& traits)
    : SubWeaponObject(owner, player, row), traits_(traits), spawn_(position) {
    CountOnPlayer();
    SetPositionFromVector(position);
    SetHitShapeActive(true);
    side_ = traits_.makeSide(owner, row);
    if (side_) {
        side_->SetPositionFromVector(position);
        side_->SetBeamLength(0.0f);
    }
}

SubWeaponBeamColumn::~SubWeaponBeamColumn() {
    if (side_ && !(owner_ && owner_->IsTearingDown()))
        side_->Vanish();
}

float SubWeaponBeamColumn::GetBeamLength() const {
    return std::min(spawn_.y - position_.y, traits_.lengthCap);
}

int16_t SubWeaponBeamColumn::GetAttackPower() const {
    return static_cast<int16_t>(traits_.totalAttack(Row()) - traits_.sideAttack(Row()));
}

void SubWeaponBeamColumn::Update() {
    const float x = traits_.followsPlayer ? PlayerPosition().x : position_.x;
    const float y = position_.y - static_cast<float>(traits_.headSpeed(Row()));
    if (y < -traits_.lengthCap)
        Vanish();
    SetPosition(x, y);
    const float length = GetBeamLength();
    if (side_) {
        side_->SetPosition(x, y);
        side_->SetBeamLength(length);
    }
    SubWeaponBeamSide::SetBeamBox(*this, kWidth, length);
    RegisterHit();
}

void SubWeaponBeamColumn::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayerShotAdd);
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(owner_, traits_.textureSlot);
    const float length = GetBeamLength();
    const float cap = kCapHeight * std::min(length / kCapHeight, 1.0f);
    const float left = screenPosition_.x - kDrawWidth * 0.5f;
    const float y = screenPosition_.y;
    // Head cap above the head, tail cap below the firing line, body between.
    SpriteQuad::Place(layer, texture, SpriteQuad::kAdd, 0.0f, 0.0f, kDrawWidth, kCapHeight, left,
                      y - kCapHeight, kDrawWidth, cap);
    SpriteQuad::Place(layer, texture, SpriteQuad::kAdd, 0.0f, traits_.tailTop, kDrawWidth,
                      kCapHeight, left, y + length, kDrawWidth, cap);
    SpriteQuad::Place(layer, texture, SpriteQuad::kAdd, 0.0f, kCapHeight, kDrawWidth,
                      traits_.tailTop - kCapHeight, left, y, kDrawWidth, length);
}
