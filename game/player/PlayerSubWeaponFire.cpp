// The ship's sub-weapon volley: the selected weapon's cooldown and live
// limit from the ship's row, then its objects and its sound.
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/player/Player.h"
#include "game/player/PlayerSubWeapon_SW001.h"
#include "game/player/PlayerSubWeapon_SW002.h"
#include "game/player/PlayerSubWeapon_SW002Fx.h"
#include "game/player/PlayerSubWeapon_SW003.h"
#include "game/player/PlayerSubWeapon_SW004.h"
#include "game/player/PlayerSubWeapon_SW005Decoy.h"
#include "game/player/SubWeaponFan.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>

using Mireku::Common::Vector2;

namespace {

constexpr uint32_t kSubWeapons = 5;
constexpr float kColumnAbove = 24.0f;
constexpr float kLaserAbove = 32.0f;
constexpr float kTargetlessReach = 1000.0f;
constexpr float kTargetlessHeight = -5000.0f;
constexpr float kTargetedSpeed = 3.0f;
constexpr float kTargetlessSpeed = 2.0f;
constexpr int32_t kSounds[kSubWeapons] = {35, 36, 37, 39, 41};

struct Limits {
    int16_t live;
    uint8_t cooldown;
};

// Sub weapon 5 waits for sub weapon 4's cooldown: the row has no byte of its own for it.
Limits LimitsOf(const ShipParamRow& row, uint32_t weapon) {
    switch (weapon) {
    case 0:
        return {row.sub1Limit, row.sub1Cooldown};
    case 1:
        return {row.sub2Limit, row.sub2Cooldown};
    case 2:
        return {row.sub3Limit, row.sub3Cooldown};
    case 3:
        return {row.sub4Limit, row.sub4Cooldown};
    default:
        return {row.sub5Limit, row.sub4Cooldown};
    }
}

} // namespace

void Player::FireSubWeapon(const Vector2& direction) {
    GlobalWork* gw = GlobalWork::GetInstance();
    const ShipParamRow* row = ShipRow();
    if (!gw || !row)
        return;
    const uint32_t weapon = gw->player.subWeapon;
    if (weapon >= kSubWeapons)
        return;
    const Limits limits = LimitsOf(*row, weapon);
    if (subCooldown != 0 || subCount >= limits.live)
        return;
    subCooldown = limits.cooldown;
    const Vector2 at = position_;
    switch (weapon) {
    case 0:
        GameObject::Create<PlayerSubWeapon_SW001>(owner_, owner_, this,
                                                  at + Vector2{0.0f, -kColumnAbove}, row);
        break;
    case 1: {
        const Vector2 launch = at + Vector2{0.0f, -kLaserAbove};
        GameObject::Create<PlayerSubWeapon_SW002Fx>(owner_, owner_, launch);
        const int32_t n = SubWeaponFan::Lasers(row->sub2Volley);
        GameObject* targets[SubWeaponFan::kMostLasers];
        const int32_t found = owner_ ? owner_->PickTargets(targets, n) : 0;
        for (int32_t i = 0; i < n; ++i) {
            const float a = SubWeaponFan::Angle(i, n);
            const Vector2 heading{std::cos(a), std::sin(a)};
            if (found > 0)
                PlayerSubWeapon_SW002::Launch(owner_, this, targets[i], *targets[i]->GetPosition(),
                                              heading * kTargetedSpeed, launch, row);
            else
                PlayerSubWeapon_SW002::Launch(
                    owner_, this, nullptr,
                    Vector2{at.x + kTargetlessReach * heading.x, kTargetlessHeight},
                    heading * kTargetlessSpeed, launch, row);
        }
        break;
    }
    case 2:
        GameObject::Create<PlayerSubWeapon_SW003>(owner_, owner_, this, at, row);
        break;
    case 3:
        GameObject::Create<PlayerSubWeapon_SW004>(owner_, owner_, this, at, row, direction);
        break;
    default: {
        RandomManager* random = RandomManager::GetInstance();
        // Integer halves, truncated toward zero; x drawn before y.
        const float halfWidth = static_cast<float>(row->sub5SpreadWidth / 2);
        const float halfHeight = static_cast<float>(row->sub5SpreadHeight / 2);
        for (int32_t i = 0; i < row->sub5Decoys; ++i) {
            Vector2 offset;
            if (random) {
                offset.x = random->RangeFloat(RandomManager::kPlay, -halfWidth, halfWidth);
                offset.y = random->RangeFloat(RandomManager::kPlay, -halfHeight, halfHeight);
            }
            GameObject::Create<PlayerSubWeapon_SW005Decoy>(owner_, owner_, this, row, offset);
        }
        break;
    }
    }
    // Also when the pool had no block for the volley.
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(kSounds[weapon], false);
}
