// The power level went up: the ring burst at the ship, and the power-up
// caption of "sys_sozai1.dds" rising for 10 updates, then drifting down and
// left while it fades for 30, on "EtcUnder".
#pragma once

#include "game/enemy/effect/PowerUpCaption.h"

class PowerUpEffect : public PowerUpCaption {
public:
    PowerUpEffect(GameObjectDirector* owner, const Mireku::Common::Vector2& position)
        : PowerUpCaption(owner, position) {}

    void Update() override;
    void Draw() override;
};
