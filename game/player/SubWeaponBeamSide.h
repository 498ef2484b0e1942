// The wide, invisible flank of a beam column (sub weapons 1 and 5): a box 190
// pixels wide over the column's length that the column moves with it every
// frame. It deals the row's side attack, and on touching an enemy whose
// frame timer has run out it sets the timer to 3 and throws a hit spark, so
// an enemy held in the beam sparks at most every third frame while it is
// offered damage every frame. It draws nothing and goes when its column goes.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class SubWeaponBeamSide : public SubWeaponObject {
public:
    static constexpr int16_t kWidth = 190;
    static constexpr int16_t kTimerFrames = 3;
    // Makes one hit spark of the weapon's own kind at a position.
    using MakeSpark = void (*)(GameObjectDirector* owner, const Mireku::Common::Vector2& at);

    SubWeaponBeamSide(GameObjectDirector* owner, const ShipParamRow* row, int16_t attack,
                      MakeSpark makeSpark);

    void Update() override;
    void OnCollision(GameObject* other) override;
    int16_t GetAttackPower() const override { return attack_; }

    void SetBeamLength(float length) { beamLength_ = length; }
    float GetBeamLength() const { return beamLength_; }

    // A box `width` wide centred on the object's screen x, from 64 pixels
    // above its screen y to 64 below the beam's lower end.
    static void SetBeamBox(GameObject& object, int16_t width, float length);

private:
    float beamLength_ = 0.0f;
    int16_t attack_;
    MakeSpark makeSpark_;
};
