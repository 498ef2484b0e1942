// The ship the player flies: created by the stage director at stage start
// (CreatePlayer), kept in its player pointer and never re-created; a miss
// hides it and the return staging shows it again.
//
// Every frame it reads the director's input word, flies with eased slow
// movement inside the field, banks, fires its main shot or its sub weapon,
// runs the ex-weapon states (Barion laser, then
// Grabuster) on the two gauges of PlayerWork, counts invincibility
// down, throws exhaust flames and registers its 3 by 3 hit box in the
// player's collision group. Enemies and enemy shots that touch the box call
// OnCollision, which decides between nothing, the guard, an automatic Barion
// shield and a miss. All tunable numbers come from the ship's row
// (GlobalWork::GetShipParam); without one the ship neither moves, fires nor
// uses its gauges, but it still collides.
//
// What other stage objects may read: the fields below (`state`, `shield`,
// `visible`, the live counters, the Grabuster countdown), the position
// through GetPosition and GetScreenPosition.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/GameObject.h"

#include <cstdint>

class PlayerExWeapon_BarionShield;
class PlayerExWeapon_Grabuster;
struct ShipParamRow;
struct ShotParamRow;

class Player : public GameObject {
public:
    enum State : uint8_t { kNormal = 0, kBarionLaser = 1, kGrabuster = 2 };
    enum GrabusterPhase : uint8_t { kGrabStartUp = 0, kGrabDrain = 1, kGrabWindDown = 2 };
    static constexpr uint32_t kShotSlots = 24;
    // The play field the ship stays in (game coordinates).
    static constexpr float kMaxX = 344.0f;
    static constexpr float kMinY = 32.0f;
    static constexpr float kMaxY = 704.0f;
    // Invincibility on entering the laser and after the Grabuster's wind-down.
    static constexpr int16_t kLaserInvincibleFrames = 60;
    static constexpr int16_t kGrabusterInvincibleFrames = 120;
    // Frames of the Grabuster's start-up, and steps of its wind-down.
    static constexpr int16_t kGrabStartUpFrames = 32;
    static constexpr int16_t kGrabWindDownSteps = 32;
    // grabLastBeep when a countdown starts: above every tenths digit.
    static constexpr int16_t kNoBeepYet = 100;
    // The sounds the states use.
    static constexpr int32_t kSubWeaponModeSound = 34;
    static constexpr int32_t kLaserStartSound = 97;
    static constexpr int32_t kLaserEmitterSound = 27;
    static constexpr int32_t kGrabStartSound = 29;
    static constexpr int32_t kGrabDrainSound = 30;
    static constexpr int32_t kGrabEndSound = 31;
    static constexpr int32_t kShieldSound = 26;
    static constexpr int32_t kShieldedSound = 18;
    static constexpr int32_t kCountdownBeep = 101;

    // Owner the director; the second value is ignored.
    explicit Player(GameObjectDirector* owner, int32_t unused = 0);

    void Update() override;
    // Exhaust, Grabuster aura, body with its overlays, hit indicator and the
    // Grabuster countdown; nothing while not visible.
    void Draw() override;
    // A partner touched the hit box (items, enemies, enemy shots).
    void OnCollision(GameObject* other) override;
    uint32_t GetKind() const override { return kKindPlayer; }
    uint32_t GetCollisionGroup() const override { return 2; }

    // The bank eases 0.1 a frame towards the horizontal input x, within -1..1.
    void UpdateBank(float x);
    // Frames of drain the Hyperio gauge holds, for the countdown (0 for a
    // drain of 0 or below); the beeps start over. Items that raise the gauge
    // during the drain call it too.
    void StartGrabusterCountdown();
    // One exhaust flame; `boost` in the ex-weapon states.
    void SpawnBackFire(bool boost);
    // The stage is cleared: the laser ends at once (its gauge spent), a
    // Grabuster that is still running goes into its wind-down.
    void OnStageClear();
    // The ship's main-shot pattern for its power level, this frame.
    void FireMainShot();
    // One main shot, unless the slot's live count has reached the limit
    // (compared unsigned: 0 blocks, a negative limit never does); the ship's
    // shot sound plays whenever the limit let it through. Angle in degrees
    // from straight up, clockwise.
    void SpawnMainShot(uint8_t spriteRow, uint32_t slot, uint8_t spriteColumn, int16_t limit,
                       float angleDegrees, float speed, uint16_t attack,
                       const Mireku::Common::Vector2& position);
    // A volley of the selected sub weapon towards `direction`.
    void FireSubWeapon(const Mireku::Common::Vector2& direction);
    // Gauge for one shield step and the cooldown over.
    bool CanAutoShield() const;
    // Shields a hit if it can (always in the laser, which it then ends).
    bool TryAutoShield();
    // In the laser or the Grabuster.
    bool IsInSpecialMode() const { return state != kNormal; }

    // Animation counters shared by every drawing of the ship (not per
    // object): the hit indicator's frame 0-2, and the guard and invincibility
    // overlays' counters, which count up while shown and wrap.
    struct DrawCounters {
        uint8_t hitIndicator = 0;
        int16_t guard = 0;
        int16_t invincible = 0;
    };
    static DrawCounters& SharedDrawCounters();
    // Body frame 0 (full left) to 4 (full right) of a bank.
    static int32_t BankFrame(float bank);

    // The ship's parameter row and its shot row at the current power level;
    // null when the table or the row is missing.
    static const ShipParamRow* ShipRow();
    static const ShotParamRow* ShotRow();

    // The Grabuster weapon while in state 2 (null when the pool had no block).
    PlayerExWeapon_Grabuster* grabuster = nullptr;
    // The shield of the last auto shield; cleared once that object goes.
    PlayerExWeapon_BarionShield* shield = nullptr;
    // Gates drawing and exhaust; 0 from the end of a miss's death delay
    // until the return staging shows the ship again.
    uint8_t visible = 1;
    // The sub weapon was fired by an aim direction: the next shot or slow
    // puts the ship back on its main shot.
    uint8_t aimLatch = 0;
    // The PlayerWork record; always 0.
    uint8_t playerIndex = 0;
    // The fire rhythm: +1 after every frame of state 0 that fired through
    // shot or slow; wraps, never reset.
    uint8_t shotFrame = 0;
    uint8_t subCooldown = 0;
    // 0-15, +1 a frame.
    uint8_t cycle = 0;
    // Live main shots per slot; each shot counts itself in and out through
    // a PlayerLiveCount (which also keeps a stage's teardown safe).
    uint8_t shotCount[kShotSlots] = {};
    // Live sub-weapon objects; they count themselves the same way. 16 bits
    // like the row's limits it is held against: a byte would wrap past a
    // limit above 255 and let the volleys go on.
    int16_t subCount = 0;
    // Live Barion laser volleys (their bases), counted the same way.
    uint8_t laserCount = 0;
    int16_t laserCooldown = 0;
    uint8_t state = kNormal;
    uint8_t grabPhase = kGrabStartUp;
    int16_t grabStep = 0;
    int16_t grabTick = 0;
    // The ship row's unsigned interval: 32768 frames and more count down too.
    uint16_t shieldCooldown = 0;
    // -1 (full left) to 1 (full right).
    float bank = 0.0f;
    // Frames of drain left, for the countdown display.
    int16_t grabFramesLeft = 0;
    // The tenths digit at the last countdown beep.
    int16_t grabLastBeep = 0;
    // Unit direction of this frame's movement; (0, 0) at rest.
    Mireku::Common::Vector2 moveDir;
    int32_t slowFrames = 0;

private:
    float Speed(const ShipParamRow& row, uint32_t word);
    void Move(uint32_t word, float speed);
    void StepNormal(uint32_t word, uint32_t pressed, bool full);
    void StepLaser(const ShipParamRow& row, uint32_t word);
    void StepGrabuster(const ShipParamRow& row);
    void EndGrabusterDrain();
    // A miss: the hit flash, a life, the death object and the counters.
    void Miss();
    void PlayPilotVoice(int32_t first) const;

    void DrawExhaust(int32_t bankFrame) const;
    void DrawAura() const;
    void DrawBody(int32_t bankFrame) const;
    void DrawHitIndicator() const;
    void DrawCountdown();
};
