// The spark where a sub weapon touches an enemy (the beam columns' sides,
// the homing lasers): 80 by 80 frames of a strip drawn at twice their size
// for 13 updates, thrown out with eight particles of the same weapon. No
// collision.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class SubWeaponHitSpark : public GameObject {
public:
    static constexpr int8_t kLastUpdate = 12;
    static constexpr uint32_t kParticles = 8;
    // Makes one particle of the weapon's own kind at a position.
    using MakeParticle = void (*)(GameObjectDirector* owner, const Mireku::Common::Vector2& at);

    SubWeaponHitSpark(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                      int32_t textureSlot, MakeParticle makeParticle);

    void Update() override;
    void Draw() override;

    int8_t GetCounter() const { return counter_; }

private:
    int8_t counter_ = 0;
    int32_t textureSlot_;
};
