// What every enemy bullet shares: it flies at a constant velocity, keeps the
// enemy that fired it while that enemy lives, turns into a pick-up item when
// that enemy asks for it or when the ship's ex weapon is out, and vanishes
// on its first hit. Kind 5, collision group 7.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class EnemyShotBase : public GameObject {
public:
    // The motion angle until SetMotion: straight up.
    static constexpr float kUnsetAngle = 4.712389f;
    // A shot whose enemy is gone turns into an item, while the ship is in
    // its laser or Grabuster, only strictly inside this band of the field.
    static constexpr float kItemBandLow = 32.0f;
    static constexpr float kItemBandHigh = 688.0f;

    EnemyShotBase(GameObjectDirector* owner, GameObject* source, int32_t bullet,
                  const Mireku::Common::Vector2& position);

    // The items the shot turns into, by its enemy's wishes or by the ship's
    // mode; then, once the enemy is dead or vanishing, the shot forgets it.
    void Update() override;
    // Any hit ends the shot; a Grabuster hit makes one Grabuster item of it.
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindEnemyShot; }
    uint32_t GetCollisionGroup() const override { return 7; }

    // Angle in radians (0 along +x, pi / 2 down) and speed per frame; the
    // sprite is turned by angle + pi / 2.
    void SetMotion(float angle, float speed);

    int32_t GetBullet() const { return bullet_; }
    GameObject* GetSource() const { return source_; }
    float GetMotionAngle() const { return motionAngle_; }
    float GetSpeed() const { return speed_; }
    const Mireku::Common::Vector2& GetVelocity() const { return velocity_; }
    GameObject* GetItem() const { return item_; }

protected:
    // Shape off and the vanish countdown: the shot is spent.
    void Spend();
    // A Grabuster item at the shot, remembered, unless the shot made one.
    void MakeGrabusterItem(uint32_t chainLevel, int32_t index);

    int32_t bullet_;
    GameObject* source_;
    float motionAngle_ = kUnsetAngle;
    float speed_ = 1.0f;
    Mireku::Common::Vector2 velocity_;
    GameObject* item_ = nullptr;
};
