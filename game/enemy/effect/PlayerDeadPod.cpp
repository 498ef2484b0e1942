#include "game/enemy/effect/PlayerDeadPod.h"

#include "game/enemy/effect/PlayerDeadPodBomb.h"
#include "game/stage/GameObjectDirector.h"

PlayerDeadPod::PlayerDeadPod(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                             uint8_t playerIndex, uint8_t explode)
    : GameObject(owner), start_(position), playerIndex_(playerIndex), explode_(explode) {
    SetPosition(position.x, position.y);
}

void PlayerDeadPod::Update() {
    SetPositionFromVector({position_.x, position_.y + kFall});
    growth_ += kGrowth;
    if (!explode_) {
        if (position_.y > kLeaveY)
            Vanish();
        return;
    }
    if (++counter_ == kExplodeUpdates || position_.y > kExplodeY) {
        GameObject::Create<PlayerDeadPodBomb>(owner_, owner_, position_, playerIndex_);
        Vanish();
    }
}
