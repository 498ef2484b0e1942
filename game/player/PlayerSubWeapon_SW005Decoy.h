// Sub weapon 5: a decoy, a ghost of the ship at half alpha. For 30 frames
// it drifts out toward its target offset (15% of the remaining way a frame)
// while following a quarter of the ship's movement; then it fires its beam
// column straight up with a muzzle flash, waits where it is until the
// column is gone, and flies back into the ship, faster and faster, fading
// in over 30 frames before it goes. It has no hit shape.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW005;

class PlayerSubWeapon_SW005Decoy : public SubWeaponObject {
public:
    enum State : int32_t { kSpreading = 0, kFiring = 1, kReturning = 2 };
    static constexpr int32_t kSpreadFrames = 30;
    static constexpr int32_t kReturnFrames = 30;
    static constexpr int32_t kAlpha = 128;
    static constexpr float kSpreadRate = 0.15f;
    static constexpr float kFollowRate = 0.25f;
    static constexpr float kSize = 96.0f;

    PlayerSubWeapon_SW005Decoy(GameObjectDirector* owner, Player* player, const ShipParamRow* row,
                               const Mireku::Common::Vector2& targetOffset);

    void Update() override;
    void Draw() override;

    int32_t GetState() const { return state_; }
    const Mireku::Common::Vector2& GetOffset() const { return offset_; }
    const Mireku::Common::Vector2& GetBase() const { return base_; }
    int32_t GetAlpha() const { return alpha_; }
    PlayerSubWeapon_SW005* GetBeam() const { return beam_; }

private:
    int32_t state_ = kSpreading;
    Mireku::Common::Vector2 base_;
    Mireku::Common::Vector2 offset_;
    Mireku::Common::Vector2 targetOffset_;
    int32_t counter_ = 0;
    int32_t alpha_ = kAlpha;
    // The column; it goes only after a countdown, which the decoy sees first.
    PlayerSubWeapon_SW005* beam_ = nullptr;
};
