// The boss body of the stages (timeline types 280-292): it descends into the
// field, waits for the boss gauges to fill, swings on a fixed orbit while its
// parts fire, and is destroyed in a chain of explosions that clears the
// stage, or retreats when its time runs out. Type 291 turns into a second
// form (type 292, boss group 25) through a white-out. In story mode the body
// hands over to the story scene before the second form fights and after it
// dies. It keeps the shared boss block that the boss gauges show.
#pragma once

#include "engine/common/Vector2.h"
#include "game/enemy/common/BossGauge.h"
#include "game/enemy/common/EnemyBaseBoss.h"

#include <cstdint>

class EnemyBossBarrel;

class EnemyBoss01 : public EnemyBaseBoss {
public:
    enum State : int32_t {
        kGone = 0,
        kDescend = 1,
        kFadeIn = 2, // the second form, out of the white-out
        kStory = 3,
        kSettle = 4,
        kWait = 5,
        kIdle = 6,
        kFight = 7,
        kRetreat = 8,
        kFalling = 1000,
        kFallen = 1001,
        kWhiteOut = 1002,
        kChangeForm = 1003,
        kEndingStory = 1004,
        kBlownUp = 1005,
        kDone = 1006,
    };
    static constexpr int32_t kFirstType = 280;
    static constexpr int32_t kSecondFormFirst = 291; // turns into the second form
    static constexpr int32_t kSecondForm = 292;
    static constexpr uint32_t kSecondFormGroup = 25;
    static constexpr uint32_t kSecondFormTextures = 58;
    static constexpr int32_t kTimeLimit = 7200;
    static constexpr int32_t kNoTimeLimit = 2147483647;
    static constexpr int32_t kWarningFrames = 600; // sound 58 every second of the last ten
    static constexpr uint32_t kGroups = 26;
    static constexpr float kStartHeights[kGroups] = {-32, -32, -80, -64, -64, -96, -64, -80, -80,
                                                     -64, -64, -80, -32, -32, -80, -64, -64, -96,
                                                     -64, -80, -80, -64, -64, -80, 0,   -100};
    // Textures from the texture base: 4 body images, 4 glow images, the core
    // closed and open (its size is the hit area); stage boss slots of the
    // core ring (open, closed) and the opening sparkle.
    static constexpr uint32_t kGlowTexture = 4;
    static constexpr uint32_t kClosedCore = 8;
    static constexpr uint32_t kOpenCore = 9;
    static constexpr uint16_t kOpenRing = 128;
    static constexpr uint16_t kClosedRing = 129;
    static constexpr uint32_t kFirstSparkle = 132;
    static constexpr uint64_t kKillScore = 100000;
    static constexpr float kGaugeShare = 0.2f;
    static constexpr int16_t kKillInvincibility = 60;
    // Sounds.
    static constexpr int32_t kHitSound = 60;
    static constexpr int32_t kKillSound = 54;
    static constexpr int32_t kSecondFormSound = 53;
    static constexpr int32_t kFightSound = 50;
    static constexpr int32_t kEngineSound = 52; // looping through the fight
    static constexpr int32_t kBlastSound = 56;
    static constexpr int32_t kFinalSound = 57;
    static constexpr int32_t kWarningSound = 58;
    static constexpr int32_t kRetreatSound = 59;
    static constexpr int32_t kSecondFormVoice = 28;

    // Type 280-292 of boss group `group` (row 0 of the group is the body);
    // the position is not used: the body places itself by its group.
    EnemyBoss01(GameObjectDirector* owner, int32_t type, const Mireku::Common::Vector2& position,
                uint32_t group);
    // Every part left vanishes without the body; the engine sound stops.
    ~EnemyBoss01() override;

    // The row's parts (at most the block's 24), each appended to the owner.
    void SpawnParts();

    int32_t GetHealthPercent() const override;
    void RemovePart(GameObject* part) override;
    void OnCollision(GameObject* other) override;
    void Update() override;
    void Draw() override;
    uint32_t GetCollisionGroup() const override { return 6; }
    virtual void RunBehaviour();

    // Inspection.
    int32_t GetType() const { return type_; }
    int32_t GetDamage() const { return damage_; }
    int32_t GetHealth() const;
    uint32_t GetPartCount() const { return partCount_; }
    EnemyBossBarrel* GetPart(uint32_t i) const { return i < partCount_ ? parts_[i] : nullptr; }
    const Mireku::Common::Vector2& GetHome() const { return home_; }
    const Mireku::Common::Vector2& GetOffset() const { return offset_; }
    const Mireku::Common::Vector2& GetOrbit() const { return orbit_; }
    int16_t GetSpriteWidth() const { return spriteWidth_; }
    int16_t GetSpriteHeight() const { return spriteHeight_; }
    int16_t GetHitWidth() const { return hitWidth_; }
    int16_t GetHitHeight() const { return hitHeight_; }
    int32_t GetCounter() const { return counter_; }
    int32_t GetSecondCounter() const { return secondCounter_; }
    int32_t GetTimeLeft() const { return timeLeft_; }
    int32_t GetTurnDirection() const { return turnDirection_; }
    int32_t GetSecondFormDelay() const { return secondFormDelay_; }
    float GetOrbitAngle() const { return orbitAngle_; }
    float GetPhase() const { return phase_; }
    float GetGlow() const { return glow_; }
    float GetShockWaveScale() const { return shockWaveScale_; }
    uint32_t GetFrameNumber() const { return frameNumber_; }

    // Start height of a boss group (0 past the table).
    static float StartHeight(uint32_t group);

private:
    void CheckParts();
    void PlaceParts();
    void Descend();
    void FadeIn();
    void WaitStory();
    void Settle();
    void Wait();
    void Fight();
    void Retreat();
    void StartDestruction();
    void Fall();
    void WhiteOut();
    void ChangeForm();
    void WaitEndingStory();
    // The story scene over the stage, for a request of GlobalWork; false
    // when no scene could be started.
    bool StartStory(uint32_t request);
    void Explosion(float scale);
    void ThreeExplosions();
    void Stop(int32_t sound) const;
    void Play(int32_t sound, bool loop = false) const;
    BossGauge& Gauge() const { return BossGauge::Shared(); }

    Mireku::Common::Vector2 previous_;
    Mireku::Common::Vector2 home_;
    Mireku::Common::Vector2 offset_;
    int32_t damage_ = 0;
    int32_t type_;
    EnemyBossBarrel* parts_[BossGauge::kMaxParts] = {};
    uint32_t partCount_ = 0;
    int16_t spriteWidth_ = 0;
    int16_t spriteHeight_ = 0;
    int16_t hitWidth_ = 0;
    int16_t hitHeight_ = 0;
    int32_t counter_ = 0;
    int32_t secondCounter_ = 0;
    int32_t timeLeft_ = kTimeLimit;
    float orbitAngle_ = 0.0f;
    float phase_ = 0.0f;
    float shockWaveScale_ = 0.0f;
    Mireku::Common::Vector2 orbit_;
    int32_t turnDirection_ = 1;
    int32_t secondFormDelay_ = 0;
    float glow_ = 1.0f;
    uint32_t frameNumber_ = 0;
};
