#include "game/enemy/shot/EnemyShotBase.h"

#include "game/core/ScreenLayout.h"
#include "game/enemy/item/ItemGrabuster.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/player/Player.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"

#include <cmath>
#include <numbers>

namespace {

// The Hyperio item a converted shot leaves raises the gauge by one step.
constexpr int32_t kShotHyperioValue = 1;

bool InsideBand(float v) {
    return v > EnemyShotBase::kItemBandLow && v < EnemyShotBase::kItemBandHigh;
}

} // namespace

EnemyShotBase::EnemyShotBase(GameObjectDirector* owner, GameObject* source, int32_t bullet,
                             const Mireku::Common::Vector2& position)
    : GameObject(owner), bullet_(bullet), source_(source) {
    SetPosition(position.x, position.y);
    SetHitShapeActive(true);
}

void EnemyShotBase::SetMotion(float angle, float speed) {
    motionAngle_ = angle;
    speed_ = speed;
    SetAngle(angle + std::numbers::pi_v<float> * 0.5f);
    velocity_ = {std::cos(angle) * speed, std::sin(angle) * speed};
}

void EnemyShotBase::Spend() {
    SetHitShapeActive(false);
    Vanish();
}

void EnemyShotBase::MakeGrabusterItem(uint32_t chainLevel, int32_t index) {
    if (item_)
        return;
    GameObjectDirector* director = GetOwner();
    item_ = GameObject::Create<ItemGrabuster>(director, director, position_, chainLevel, index);
}

void EnemyShotBase::Update() {
    GameObjectDirector* director = GetOwner();
    if (source_) {
        bool converted = false;
        if (source_->shotsToHyperio) {
            GameObject::Create<ItemHyperio>(director, director, position_, kShotHyperioValue);
            converted = true;
        } else if (source_->shotsToGrabuster && !item_) {
            MakeGrabusterItem(source_->GetChainLevel(), source_->itemCounter++);
            converted = true;
        }
        if (!source_->IsAlive())
            source_ = nullptr;
        // One item per shot: a shot its killed enemy has just turned into
        // an item is spent, and the ship's ex weapon makes no second one.
        if (converted) {
            Spend();
            return;
        }
    }
    if (source_ || !director)
        return;
    // The band is meant on the field: x is centred, so it is tested on x + 360.
    if (!InsideBand(position_.x + ScreenLayout::kFieldHalfWidth) || !InsideBand(position_.y))
        return;
    const Player* player = director->GetPlayer();
    if (!player)
        return;
    if (player->state == Player::kBarionLaser) {
        GameObject::Create<ItemHyperio>(director, director, position_, kShotHyperioValue);
        Spend();
    } else if (player->state == Player::kGrabuster && !item_) {
        MakeGrabusterItem(GameObject::CurrentChainLevel(), 0);
        Spend();
    }
}

void EnemyShotBase::OnCollision(GameObject* other) {
    Spend();
    if (other && other->GetKind() == kKindPlayerShot &&
        static_cast<PlayerShotBase*>(other)->GetWeaponFamily() == PlayerShotBase::kFamilyGrabuster)
        MakeGrabusterItem(GameObject::CurrentChainLevel(), 0);
}
