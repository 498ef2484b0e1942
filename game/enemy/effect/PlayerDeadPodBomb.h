// The pod's explosion after the last life, unseen but for its screen flash.
// When its 75 updates are over it leads the director into the continue
// countdown and changes the stage music for the continue music.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"
#include "game/enemy/effect/PlayerExplosionSchedule.h"

#include <cstdint>

class PlayerDeadPodBomb : public GameObject {
public:
    PlayerDeadPodBomb(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                      uint8_t playerIndex);

    void Update() override;

    int16_t GetFrame() const { return schedule_.GetFrame(); }
    uint8_t GetPlayerIndex() const { return playerIndex_; }

private:
    PlayerExplosionSchedule schedule_;
    uint8_t playerIndex_;
};
