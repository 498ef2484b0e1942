#include "game/enemy/boss01/BossReward.h"

#include "game/core/GlobalWork.h"
#include "game/core/SoundManager.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"

namespace {

// Bodies and parts leave a Hyperio item worth nothing but the pick-up.
constexpr int32_t kBossHyperioValue = 0;

} // namespace

void BossReward::Pay(GameObject& target, GameObject& killer,
                     const Mireku::Common::Vector2& velocity) const {
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = target.GetOwner();
    if (!gw)
        return;
    PlayerWork& player = gw->player;
    const Mireku::Common::Vector2 at = *target.GetPosition();
    const uint32_t family = static_cast<PlayerShotBase&>(killer).GetWeaponFamily();
    if (family > PlayerShotBase::kFamilyGrabuster)
        return; // another weapon pays nothing
    if (family == PlayerShotBase::kFamilyGrabuster) {
        ++player.grabusterHits;
        target.SetChainLevel(player.grabusterHits);
        player.AddScore(static_cast<int64_t>(target.GetChainScore() * score));
    } else {
        player.AddScore(static_cast<int64_t>(score));
    }
    if (SoundManager* sound = SoundManager::GetInstance())
        sound->PlaySE(this->sound, false);
    if (shake && director)
        director->StartShake(kShakeFrames, kShakeAmplitude, 1.0f);
    if (!director)
        return;
    if (family == PlayerShotBase::kFamilyBarionLaser)
        GameObject::Create<EnemyDeadBomb>(director, director, kExplosionSize, at, velocity,
                                          killer.GetAngle(), 1.0f);
    else
        EnemyDeadBomb::CreateTurned(director, kExplosionSize, at, velocity, 1.0f);
    switch (family) {
    case PlayerShotBase::kFamilyShot:
        if (const ShipParamRow* ship = gw->GetShipParam(player.ship))
            director->AddBarionGauge(
                player,
                static_cast<int32_t>(static_cast<float>(ship->barionGaugeMax) * gaugeShare));
        break;
    case PlayerShotBase::kFamilyBarionLaser:
        GameObject::Create<ItemHyperio>(director, director, at, kBossHyperioValue);
        target.shotsToHyperio = 1;
        break;
    case PlayerShotBase::kFamilyGrabuster:
        target.shotsToGrabuster = 1;
        break;
    default:
        break;
    }
}
