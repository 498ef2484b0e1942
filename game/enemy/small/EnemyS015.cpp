#include "game/enemy/small/EnemyS015.h"

#include "game/enemy/small/SmallEnemyRules.h"
#include "game/enemy/small/SmallEnemySprite.h"
#include "game/stage/GameObjectDirector.h"

namespace {

// The picture of each warp-in frame, 1-8; 0 ends the warp-in.
constexpr int32_t kWarpInTable[] = {1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5,
                                    5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 0};
constexpr int32_t kWarpInLength =
    static_cast<int32_t>(sizeof kWarpInTable / sizeof kWarpInTable[0]);

} // namespace

EnemyS015::EnemyS015(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& spawn)
    : EnemyL015(owner, type, spawn) {
    state_ = kWarpIn;
    SmallEnemyRules::PlaySound(kAppearSound);
}

void EnemyS015::Move() {
    if (state_ == kWarpIn) {
        warpImage_ = warpStep_ < kWarpInLength ? kWarpInTable[warpStep_] : 0;
        ++warpStep_;
        if (warpImage_ == 0) {
            SetPositionFromVector(spawn_ + offset_);
            heading_ = GetAngleToPlayer();
            state_ = kFlying;
        }
        return;
    }
    EnemyL015::Move();
}

void EnemyS015::Draw() {
    if (state_ != kWarpIn) {
        EnemyDefault::Draw();
        return;
    }
    if (warpImage_ == 0)
        return;
    SmallEnemySprite::Warp(
        GetOwner(), warpImage_ <= kLastAddImage ? SpriteLayer::kEnemyAdd : SpriteLayer::kEnemyBlend,
        kWarpTextureBase + warpImage_, screenPosition_);
}

void EnemyS015::PlayDeathSound() {
    SmallEnemyRules::PlaySound(kDeathSound);
}
