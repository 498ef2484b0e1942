#include "game/enemy/EnemyDefault.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"

namespace {

const EnemyRecord* RowOf(int32_t type) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    return gw && type >= 0 ? gw->tables.EnemyRow(gw->mode, gw->stage, static_cast<uint32_t>(type))
                           : nullptr;
}

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

} // namespace

EnemyDefault::EnemyDefault(GameObjectDirector* owner, int32_t type,
                           const Mireku::Common::Vector2& spawn)
    : GameObject(owner), row_(RowOf(type)), type_(type), spawn_(spawn) {
    const float speed = row_ ? static_cast<float>(row_->speed) * kSpeedUnit : 0.0f;
    speed_ = speed > 0.0f ? speed : kDefaultSpeed;
    if (row_ && row_->mirror != 0 && owner && owner->GetScrollRatio() > 0.0f) {
        mirrored_ = 1;
        spawn_.x = -spawn_.x;
    }
    SetPosition(spawn_.x, spawn_.y);
    SetHitShapeActive(true);
}

void EnemyDefault::Update() {
    if (!row_)
        return;
    SetHitShapeActive(true);
    SetHitBox(row_->hitOffsetX, row_->hitOffsetY, row_->hitWidth, row_->hitHeight);
    if (GameObjectDirector* director = GetOwner())
        director->RegisterCollision(GetCollisionGroup(), this);
}

void EnemyDefault::OnCollision(GameObject* other) {
    if (!row_ || !other || other->GetKind() != kKindPlayerShot)
        return;
    auto* weapon = static_cast<PlayerShotBase*>(other);
    damage_ = static_cast<uint16_t>(damage_ + weapon->GetAttackPower());
    if (damage_ < row_->health) {
        PlayHitSound();
        return;
    }
    SetHitShapeActive(false);
    Vanish();
    Die(other);
}

void EnemyDefault::Die(GameObject* killer) {
    auto* weapon = static_cast<PlayerShotBase*>(killer);
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = GetOwner();
    if (!gw)
        return;
    PlayerWork& player = gw->player;
    // The row's score is signed: a negative one takes points away.
    const auto score = static_cast<int64_t>(row_->score);
    switch (weapon->GetWeaponFamily()) {
    case PlayerShotBase::kFamilyShot:
        player.AddScore(static_cast<uint64_t>(score));
        PlayDeathSound();
        Explode();
        if (director)
            director->AddBarionGauge(player, row_->barionReward);
        break;
    case PlayerShotBase::kFamilyBarionLaser:
        player.AddScore(static_cast<uint64_t>(score));
        PlayDeathSound();
        Explode();
        GameObject::Create<ItemHyperio>(director, director, position_, 0);
        break;
    case PlayerShotBase::kFamilyBarionShield:
        player.AddScore(static_cast<uint64_t>(score));
        PlayDeathSound();
        Explode();
        break;
    case PlayerShotBase::kFamilyGrabuster:
        ++player.grabusterHits;
        SetChainLevel(player.grabusterHits);
        player.AddScore(static_cast<uint64_t>(score * static_cast<int64_t>(GetChainScore())));
        PlayDeathSound();
        Explode();
        break;
    default:
        // Another weapon: no reward, but the enemy is gone all the same.
        break;
    }
}

void EnemyDefault::Explode() {
    GameObjectDirector* director = GetOwner();
    if (type_ >= kFirstMiddleType && type_ <= kLastMiddleType) {
        GameObject::Create<EnemyDeadBomb_Middle>(director, director, position_);
        return;
    }
    EnemyDeadBomb::CreateTurned(director, EnemyDeadBomb::kSizeSmall, position_, {0.0f, 0.0f}, 1.0f);
}

void EnemyDefault::PlayHitSound() {
    PlaySound(kHitSound);
}

void EnemyDefault::PlayDeathSound() {
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    PlaySound(kFirstDeathSound + static_cast<int32_t>(r & 3));
}
