#include "game/player/PlayerShot.h"

#include "game/core/SpriteQuad.h"
#include "game/core/tables/TexelRect.h"
#include "game/player/Player.h"
#include "game/player/PlayerShotBreak.h"
#include "game/player/PlayerShotFire.h"
#include "game/player/PlayerShotLight.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>

namespace {

constexpr uint32_t kMaxRectangles = 9;

// Per family: the index tables (sprite row, sprite column) into the
// rectangle lists, and the lists of pass 0 and pass 1 (entry i of one
// belongs to entry i of the other). Inclusive texel corners.
struct Family {
    uint8_t index[PlayerShot::kSpriteRows][PlayerShot::kSpriteColumns];
    uint32_t count;
    TexelRect pass[2][kMaxRectangles];
};

constexpr Family kFamilies[PlayerShot::kSpriteFamilies] = {
    {{{0, 0, 0, 0, 0, 0, 0, 0},
      {0, 1, 0, 0, 0, 0, 0, 0},
      {0, 1, 0, 0, 0, 0, 0, 0},
      {2, 3, 4, 5, 6, 7, 8, 0}},
     9,
     {{{0, 0, 31, 63},
       {32, 0, 63, 55},
       {64, 0, 111, 87},
       {112, 0, 159, 79},
       {160, 0, 207, 79},
       {208, 0, 239, 71},
       {240, 0, 287, 79},
       {288, 0, 335, 79},
       {336, 0, 383, 79}},
      {{0, 64, 31, 127},
       {32, 64, 63, 111},
       {64, 88, 111, 175},
       {112, 80, 159, 159},
       {160, 80, 207, 159},
       {208, 72, 239, 143},
       {240, 80, 287, 159},
       {288, 80, 335, 159},
       {336, 80, 383, 159}}}},
    {{{0, 1, 0, 0, 0, 0, 0, 0},
      {0, 1, 0, 0, 0, 0, 0, 0},
      {0, 1, 0, 0, 0, 0, 0, 0},
      {2, 3, 4, 0, 0, 0, 0, 0}},
     5,
     {{{0, 0, 31, 79}, {32, 0, 63, 63}, {64, 0, 111, 127}, {112, 0, 159, 103}, {160, 0, 191, 79}},
      {{0, 80, 31, 159},
       {36, 64, 63, 127},
       {64, 128, 111, 255},
       {112, 104, 159, 207},
       {160, 80, 191, 159}}}},
    {{{0, 1, 2, 0, 0, 0, 0, 0},
      {0, 1, 2, 0, 0, 0, 0, 0},
      {0, 1, 2, 0, 0, 0, 0, 0},
      {3, 4, 5, 6, 0, 0, 0, 0}},
     7,
     {{{0, 0, 47, 87},
       {48, 0, 87, 63},
       {88, 0, 135, 111},
       {136, 0, 183, 111},
       {184, 0, 231, 111},
       {232, 0, 295, 79},
       {296, 0, 359, 79}},
      {{0, 88, 47, 175},
       {48, 64, 87, 127},
       {88, 112, 135, 223},
       {136, 112, 183, 223},
       {184, 112, 231, 223},
       {232, 80, 295, 159},
       {296, 80, 359, 159}}}},
    {{{0, 1, 2, 0, 0, 0, 0, 0},
      {0, 1, 2, 0, 0, 0, 0, 0},
      {0, 1, 2, 0, 0, 0, 0, 0},
      {3, 4, 5, 0, 0, 0, 0, 0}},
     6,
     {{{0, 0, 31, 71},
       {32, 0, 63, 55},
       {64, 0, 95, 55},
       {96, 0, 143, 103},
       {144, 0, 191, 95},
       {192, 0, 239, 79}},
      {{0, 72, 31, 143},
       {32, 56, 63, 111},
       {64, 56, 95, 111},
       {96, 104, 143, 207},
       {144, 96, 191, 191},
       {192, 80, 239, 159}}}},
};

constexpr SpriteLayer kPassLayers[2] = {SpriteLayer::kPlayerShotBlend, SpriteLayer::kPlayerShotAdd};

} // namespace

PlayerShot::PlayerShot(GameObjectDirector* owner, Player* creator,
                       const Mireku::Common::Vector2& position, uint8_t spriteFamily,
                       uint8_t spriteRow, uint32_t slot, uint8_t spriteColumn, float angle,
                       float speed, uint16_t attack)
    : PlayerShotBase(owner), spriteFamily_(spriteFamily), spriteRow_(spriteRow),
      spriteColumn_(spriteColumn), slot_(slot), attack_(attack), creator_(creator) {
    if (creator_ && slot_ < Player::kShotSlots)
        count_.Join(owner, &creator_->shotCount[slot_]);
    SetPosition(position.x, position.y);
    SetAngle(angle);
    const Mireku::Common::Vector2 direction{std::sin(angle), -std::cos(angle)};
    velocity_ = direction * speed;
    GameObject::Create<PlayerShotFire>(owner, owner, position + direction * kFlashDistance,
                                       spriteFamily_, angle);
    SetHitShapeActive(true);
}

PlayerShot::~PlayerShot() {
    count_.Leave();
}

void PlayerShot::Update() {
    const Mireku::Common::Vector2 next = position_ + velocity_;
    const float side = (owner_ ? owner_->GetHalfMapWidth() : 0.0f) + kFieldMargin;
    if (next.x < -side || next.x > side || next.y < -kFieldMargin ||
        next.y > kFieldBottom + kFieldMargin)
        Vanish();
    SetPositionFromVector(next);
    // Registered also in the frame it leaves: it may still hit on its way out.
    SetHitBox(0, 0, kHitSize, kHitSize);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}

uint32_t PlayerShot::RectangleIndex() const {
    if (spriteFamily_ >= kSpriteFamilies || spriteRow_ >= kSpriteRows ||
        spriteColumn_ >= kSpriteColumns)
        return 0;
    return kFamilies[spriteFamily_].index[spriteRow_][spriteColumn_];
}

void PlayerShot::Draw() {
    const Family& family = kFamilies[spriteFamily_ < kSpriteFamilies ? spriteFamily_ : 0];
    const uint32_t index = RectangleIndex();
    if (index >= family.count)
        return;
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(owner_, StageTextureSlot::kShipShot);
    for (uint32_t pass = 0; pass < 2; ++pass) {
        const TexelRect& r = family.pass[pass][index];
        SpriteQuad::Centred(FieldSprite::Layer(kPassLayers[pass]), texture,
                            FieldSprite::BlendOf(kPassLayers[pass]), r.left, r.top, r.Width(),
                            r.Height(), screenPosition_.x, screenPosition_.y, 1.0f, angle_);
    }
}

void PlayerShot::OnCollision(GameObject*) {
    SetHitShapeActive(false);
    Vanish();
    GameObject::Create<PlayerShotBreak>(owner_, owner_, position_, spriteFamily_);
    for (uint32_t i = 0; i < kLightsPerHit; ++i)
        GameObject::Create<PlayerShotLight>(owner_, owner_, position_, spriteFamily_, angle_);
}
