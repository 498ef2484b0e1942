// Sub weapon 2: one homing laser of a volley. It leaves the launch point in
// the direction of its fan angle at the row's top speed (offset 52), steers
// onto its aim point (its target's position while the target lives and is
// at least 35 pixels away, else straight on) with a strength that grows over
// 120 frames, and keeps its last 20 positions in a trail block of its own
// taken from the pool, drawn as a textured ribbon with a lock-on sight at the
// aim point. Armed after 3 frames, it offers the row's laser attack (offset
// 60) to everything it overlaps and sparks on an enemy at most every third
// frame; it goes once its whole trail has left the stage map.
#pragma once

#include "engine/common/Vector2.h"
#include "game/player/SubWeaponObject.h"

#include <cstdint>

class PlayerSubWeapon_SW002 : public SubWeaponObject {
public:
    static constexpr int32_t kTrailPoints = 20;
    static constexpr int32_t kSteerFrames = 120;
    static constexpr int32_t kArmingFrames = 3;
    static constexpr int32_t kSightFrames = 10;
    static constexpr float kReleaseDistance = 35.0f;
    static constexpr float kMinSpeed = 40.0f;
    static constexpr int16_t kHitSize = 48;

    // A laser with its trail block, appended to `owner`; null when the pool
    // has no block for the laser or for its trail (a laser is never made
    // without its trail), or the owner takes no children.
    static PlayerSubWeapon_SW002* Launch(GameObjectDirector* owner, Player* player,
                                         GameObject* target, const Mireku::Common::Vector2& aim,
                                         const Mireku::Common::Vector2& velocity,
                                         const Mireku::Common::Vector2& launch,
                                         const ShipParamRow* row);

    // Only the direction of `velocity` counts. Use Launch: without a trail
    // block the laser is inert and uncounted.
    PlayerSubWeapon_SW002(GameObjectDirector* owner, Player* player, GameObject* target,
                          const Mireku::Common::Vector2& aim,
                          const Mireku::Common::Vector2& velocity,
                          const Mireku::Common::Vector2& launch, const ShipParamRow* row);
    // The trail block goes back to the pool.
    ~PlayerSubWeapon_SW002() override;

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    int16_t GetAttackPower() const override { return Row().sub2Attack[0]; }

    bool HasTrail() const { return trail_ != nullptr; }
    GameObject* GetTarget() const { return target_; }
    const Mireku::Common::Vector2& GetAim() const { return aim_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }
    int32_t GetAge() const { return age_; }
    int32_t GetFillIndex() const { return fill_; }
    int32_t GetSightCounter() const { return sight_; }
    int32_t GetArmingDelay() const { return arming_; }
    // Trail point i (0 to 19; the fill index is the newest, 19 the oldest).
    const Mireku::Common::Vector2& GetTrailPoint(int32_t i) const { return trail_[i]; }

private:
    void Track();
    void Steer();
    bool TrailInsideMap() const;
    void PushTrail();
    void DrawRibbon() const;
    void DrawSight() const;

    GameObject* target_;
    Mireku::Common::Vector2 aim_;
    Mireku::Common::Vector2 previous_;
    Mireku::Common::Vector2 velocity_;
    Mireku::Common::Vector2* trail_ = nullptr;
    float topSpeed_ = 0.0f;
    int32_t age_ = 0;
    int32_t fill_ = kTrailPoints - 1;
    int32_t sight_ = 0;
    int32_t arming_ = kArmingFrames;
};
