// A destructible part of a boss body: a turret at a fixed place on the
// body's sprite. It stays closed until the body's health has fallen to the
// part's threshold, then opens (while the body is open), fires its own
// emitter grid and can be shot off for points. The body places, opens and
// destroys it; the part reports its hit points in the shared boss block.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/common/EnemyBaseBoss.h"

#include <cstdint>

class EnemyBossBarrel : public EnemyBaseBoss {
public:
    static constexpr uint32_t kClosedTexture = 9; // + part index, from the texture base
    static constexpr uint32_t kOpenTexture = 33;  // + part index
    static constexpr uint16_t kClosedRing = 131;  // boss texture slots
    static constexpr uint16_t kOpenRing = 130;
    static constexpr uint32_t kFirstSparkle = 141;
    static constexpr int8_t kSilentThreshold = 100;
    static constexpr int32_t kOpenSound = 51;
    static constexpr int32_t kHitSound = 60;
    static constexpr int32_t kKillSound = 102;
    static constexpr int32_t kFirstDeathSound = 43; // 43-46
    static constexpr uint64_t kKillScore = 50000;
    static constexpr float kGaugeShare = 0.15f; // of the ship's Barion gauge maximum

    // Texture base 58 for type 292, else 0; home (0, body height / 2); the
    // given home position is not used.
    EnemyBossBarrel(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& home,
                    uint32_t partIndex, uint32_t group);
    // Leaves its body's list while it still has a body.
    ~EnemyBossBarrel() override;

    void Update() override;
    void Draw() override;
    void OnCollision(GameObject* other) override;
    uint32_t GetCollisionGroup() const override { return 6; }

    void SetParent(EnemyBaseBoss* body) { parent_ = body; }
    // At its row's offsets from the body sprite's top-left corner.
    void PlaceOnParent(int16_t bodyWidth, int16_t bodyHeight, float bodyX, float bodyY);
    // Whether the part is due to open: it has a body whose health percentage
    // has fallen to its threshold and it is not open yet. With `apply` the
    // part then takes the body's open flag (sound 51 unless threshold 100).
    bool TryOpen(bool apply);
    // Shot off by the body: vanishes in an explosion, its gauge emptied.
    void DestroyPart();
    // The body is gone: vanishes without a sound, its gauge emptied.
    void Detach();

    EnemyBaseBoss* GetParent() const { return parent_; }
    uint32_t GetPartIndex() const { return partIndex_; }
    int32_t GetDamage() const { return damage_; }
    bool IsFiring() const { return firing_ != 0; }
    int8_t GetThreshold() const;
    int16_t GetWidth() const { return width_; }
    int16_t GetHeight() const { return height_; }

private:
    void Explode(const float* angle);
    void SetGauge(float health) const;

    Mireku::Common::Vector2 previous_;
    Mireku::Common::Vector2 home_;
    int32_t damage_ = 0;
    int32_t type_;
    uint8_t firing_ = 0;
    EnemyBaseBoss* parent_ = nullptr;
    uint32_t partIndex_;
    int16_t width_ = 0;
    int16_t height_ = 0;
    int16_t bodyWidth_ = 0;
    int16_t bodyHeight_ = 0;
};
