#include "game/enemy/effect/PlayerDeadPodBomb.h"

#include "game/stage/GameObjectDirector.h"

PlayerDeadPodBomb::PlayerDeadPodBomb(GameObjectDirector* owner,
                                     const Mireku::Common::Vector2& position, uint8_t playerIndex)
    : GameObject(owner), playerIndex_(playerIndex) {
    PlayerExplosionSchedule::Start(owner);
    SetPosition(position.x, position.y);
}

void PlayerDeadPodBomb::Update() {
    if (!schedule_.Advance(owner_))
        return;
    Vanish();
    // The continue countdown, with the continue music in place of the stage's.
    if (owner_)
        owner_->GameOver();
}
