#include "game/player/Player.h"

#include "game/core/GameState.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/tables/ShipParamRow.h"
#include "game/core/tables/ShotParamRow.h"
#include "game/enemy/effect/PlayerEffectBackFire.h"
#include "game/enemy/effect/PlayerHitDown.h"
#include "game/player/MainShotLayouts.h"
#include "game/player/PlayerCreation.h"
#include "game/player/PlayerDead.h"
#include "game/player/PlayerExWeapon_BarionShield.h"
#include "game/player/PlayerExWeapon_Grabuster.h"
#include "game/player/PlayerShot.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageInput.h"

#include <cmath>
#include <numbers>

static_assert(sizeof(Player) <= GameObjectAllocator::kBlockSize);

namespace {

using Mireku::Common::Vector2;

constexpr uint32_t kMoveBits =
    StageInput::kUp | StageInput::kDown | StageInput::kLeft | StageInput::kRight;
constexpr uint32_t kAimBits =
    StageInput::kAimUp | StageInput::kAimDown | StageInput::kAimLeft | StageInput::kAimRight;
constexpr uint32_t kFireBits = StageInput::kShot | StageInput::kSlow;

// Pilot lines, each the first of three the presentation stream picks from.
constexpr int32_t kLaserVoice = 8;
constexpr int32_t kGrabusterVoice = 11;
constexpr int32_t kShieldVoice = 14;
constexpr int32_t kMissVoice = 17;
constexpr int32_t kVoiceChoices = 3;

// Frames of each wind-down step of the Grabuster: 50 in all.
constexpr int16_t kWindDownLengths[Player::kGrabWindDownSteps] = {
    1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

// The exhaust: three a frame in the ex-weapon states, else one every third.
constexpr uint8_t kBackFireEvery = 3;
constexpr uint32_t kBoostBackFires = 3;

GlobalWork* Work() {
    return GlobalWork::GetInstance();
}

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

bool Held(uint32_t word, uint32_t bits) {
    return (word & bits) != 0;
}

} // namespace

Player::Player(GameObjectDirector* owner, int32_t) : GameObject(owner) {
    SetHitShapeActive(true);
    SetPosition(0.0f, 360.0f);
}

const ShipParamRow* Player::ShipRow() {
    const GlobalWork* gw = Work();
    return gw ? gw->GetShipParam(gw->player.ship) : nullptr;
}

const ShotParamRow* Player::ShotRow() {
    const GlobalWork* gw = Work();
    return gw ? gw->GetShotParam(gw->player.ship, gw->player.power) : nullptr;
}

// --- The frame. ---

void Player::Update() {
    GlobalWork* gw = Work();
    if (!gw)
        return;
    PlayerWork& p = gw->player;
    if (p.lives == -1)
        return;
    if (shield && !shield->IsAlive())
        shield = nullptr;
    if (p.invincible && PlayerWork::CountDownInvincibility(p.invincibleTimer))
        p.invincible = 0;

    const ShipParamRow* row = ShipRow();
    const uint32_t word = owner_ ? owner_->GetInputWord() : 0;
    const uint32_t previous = owner_ ? owner_->GetPreviousInputWord() : 0;
    const uint32_t pressed = word & ~previous;
    // Without its row the ship stays where it is and fires nothing, but it
    // still counts down, throws exhaust and collides.
    if (row) {
        Move(word, Speed(*row, word));
    } else {
        moveDir = {0.0f, 0.0f};
    }
    UpdateBank(moveDir.x);
    if (row) {
        const bool full =
            Held(pressed, StageInput::kExWeapon) && p.barionGauge >= row->barionGaugeMax;
        switch (state) {
        case kNormal:
            StepNormal(word, pressed, full);
            break;
        case kBarionLaser:
            StepLaser(*row, word);
            break;
        case kGrabuster:
            StepGrabuster(*row);
            break;
        default:
            break;
        }
    }

    if (shieldCooldown > 0)
        --shieldCooldown;
    if (subCooldown > 0)
        --subCooldown;
    cycle = static_cast<uint8_t>((cycle + 1) % 16);

    if (visible) {
        if (state == kNormal) {
            if (cycle % kBackFireEvery == 0)
                SpawnBackFire(false);
        } else {
            for (uint32_t i = 0; i < kBoostBackFires; ++i)
                SpawnBackFire(true);
        }
    }

    // A 3 by 3 box around the screen position.
    SetHitBox(0, -1, 3, 3);
    if (owner_)
        owner_->RegisterCollision(GetCollisionGroup(), this);
}

float Player::Speed(const ShipParamRow& row, uint32_t word) {
    float s = state == kGrabuster ? row.grabusterSpeed : row.speed;
    if (!Held(word, StageInput::kSlow)) {
        slowFrames = 0;
        return s;
    }
    // Linear from the first slow frame: after `ease` frames the ship moves at
    // the slow speed, and the count stops there. The ease divides, so it is
    // at least one frame.
    const int32_t ease = row.slowEaseFrames < 1 ? 1 : row.slowEaseFrames;
    s = s - static_cast<float>(slowFrames) * (s - row.slowSpeed) / static_cast<float>(ease);
    ++slowFrames;
    if (s <= row.slowSpeed) {
        s = row.slowSpeed;
        --slowFrames;
    }
    return s;
}

void Player::Move(uint32_t word, float speed) {
    if (!Held(word, kMoveBits)) {
        moveDir = {0.0f, 0.0f};
        return;
    }
    Vector2 d{0.0f, 0.0f};
    if (Held(word, StageInput::kLeft))
        d.x -= 1.0f;
    if (Held(word, StageInput::kRight))
        d.x += 1.0f;
    if (Held(word, StageInput::kUp))
        d.y -= 1.0f;
    if (Held(word, StageInput::kDown))
        d.y += 1.0f;
    // Opposite keys cancel.
    if (d.LengthSquared() <= 0.25f) {
        moveDir = {0.0f, 0.0f};
        return;
    }
    d = d.Normalize();
    Vector2 next = position_ + d * speed;
    next.x = next.x < -kMaxX ? -kMaxX : (next.x > kMaxX ? kMaxX : next.x);
    next.y = next.y < kMinY ? kMinY : (next.y > kMaxY ? kMaxY : next.y);
    // The map and the background shift sideways with the ship.
    if (owner_)
        owner_->SetScrollRatio(next.x / kMaxX);
    SetPosition(next.x, next.y);
    moveDir = d;
}

void Player::UpdateBank(float x) {
    constexpr float kStep = 0.1f;
    if (x < -kStep) {
        bank -= kStep;
    } else if (x > kStep) {
        bank += kStep;
    } else if (bank > 0.0f) {
        bank = bank - kStep < 0.0f ? 0.0f : bank - kStep;
    } else if (bank < 0.0f) {
        bank = bank + kStep > 0.0f ? 0.0f : bank + kStep;
    }
    bank = bank < -1.0f ? -1.0f : (bank > 1.0f ? 1.0f : bank);
}

void Player::StepNormal(uint32_t word, uint32_t pressed, bool full) {
    PlayerWork& p = Work()->player;
    if (full) {
        state = kBarionLaser;
        laserCooldown = 0;
        PlayPilotVoice(kLaserVoice);
        PlaySound(kLaserStartSound);
        p.invincible = 1;
        p.invincibleTimer = kLaserInvincibleFrames;
        return;
    }
    if (Held(word, kAimBits)) {
        aimLatch = 1;
        p.subWeaponMode = 1;
        Vector2 aim{0.0f, 0.0f};
        if (Held(word, StageInput::kAimLeft))
            aim.x += 1.0f;
        if (Held(word, StageInput::kAimRight))
            aim.x -= 1.0f;
        if (Held(word, StageInput::kAimUp))
            aim.y += 1.0f;
        if (Held(word, StageInput::kAimDown))
            aim.y -= 1.0f;
        FireSubWeapon(aim.Normalize());
        return;
    }
    if (Held(pressed, StageInput::kSubWeaponMode)) {
        aimLatch = 0;
        if (p.subWeaponMode == 0)
            p.subWeaponMode = 1;
        else if (p.subWeaponMode == 1)
            p.subWeaponMode = 0;
        PlaySound(kSubWeaponModeSound);
    }
    if (!Held(word, kFireBits))
        return;
    if (aimLatch) {
        aimLatch = 0;
        p.subWeaponMode = 0;
    }
    if (p.subWeaponMode == 0)
        FireMainShot();
    else if (p.subWeaponMode == 1)
        FireSubWeapon(moveDir);
    ++shotFrame;
}

void Player::StepLaser(const ShipParamRow& row, uint32_t word) {
    PlayerWork& p = Work()->player;
    if (laserCooldown == 0) {
        if (Held(word, StageInput::kShot)) {
            laserCooldown = row.laserInterval;
            CreateBarionLaserBase(owner_, this, &row);
            PlaySound(kLaserEmitterSound);
        }
    } else {
        --laserCooldown;
    }
    p.barionGauge = static_cast<int16_t>(p.barionGauge - row.barionDrain);
    if (p.barionGauge > 0)
        return;
    p.barionGauge = 0;
    state = kGrabuster;
    grabPhase = kGrabStartUp;
    grabStep = 0;
    grabuster = CreateGrabuster(owner_, this, &row);
    PlaySound(kGrabStartSound);
    PlayPilotVoice(kGrabusterVoice);
}

void Player::StepGrabuster(const ShipParamRow& row) {
    PlayerWork& p = Work()->player;
    switch (grabPhase) {
    case kGrabStartUp:
        if (++grabStep >= kGrabStartUpFrames) {
            grabStep = 0;
            grabPhase = kGrabDrain;
            PlaySound(kGrabDrainSound);
            StartGrabusterCountdown();
        }
        break;
    case kGrabDrain:
        --grabFramesLeft;
        ++grabStep;
        p.hyperioGauge = static_cast<int16_t>(p.hyperioGauge - row.hyperioDrain);
        if (p.hyperioGauge <= 0) {
            EndGrabusterDrain();
            if (grabuster)
                grabuster->Finish();
            CreateGrabusterHamon(owner_, position_, &row);
        }
        break;
    case kGrabWindDown:
        ++grabTick;
        if (grabStep >= 0 && grabStep < kGrabWindDownSteps &&
            grabTick == kWindDownLengths[grabStep]) {
            grabTick = 0;
            ++grabStep;
        }
        if (grabStep >= kGrabWindDownSteps) {
            state = kNormal;
            grabPhase = kGrabStartUp;
            if (grabuster)
                grabuster->Vanish();
            grabuster = nullptr;
            p.invincibleTimer = kGrabusterInvincibleFrames;
            p.invincible = 1;
        }
        break;
    default:
        break;
    }
}

void Player::EndGrabusterDrain() {
    if (GlobalWork* gw = Work())
        gw->player.hyperioGauge = 0;
    grabStep = 0;
    grabTick = 0;
    grabPhase = kGrabWindDown;
    PlaySound(kGrabEndSound);
    if (SoundManager* s = SoundManager::GetInstance())
        s->StopSE(kGrabDrainSound);
}

void Player::StartGrabusterCountdown() {
    const GlobalWork* gw = Work();
    const ShipParamRow* row = ShipRow();
    const int32_t drain = row ? row->hyperioDrain : 0;
    const int32_t gauge = gw ? gw->player.hyperioGauge : 0;
    // A drain of nothing would never end the count: there is nothing to show.
    grabFramesLeft = drain > 0 ? static_cast<int16_t>((gauge + drain - 1) / drain) : 0;
    grabLastBeep = kNoBeepYet;
}

void Player::SpawnBackFire(bool boost) {
    RandomManager* random = RandomManager::GetInstance();
    if (!random || !owner_)
        return;
    constexpr uint32_t kStream = RandomManager::kPresentation;
    constexpr float kHalfPi = std::numbers::pi_v<float> * 0.5f;
    const float u1 = random->RangeFloat(kStream, 0.0f, 1.0f);
    const float u2 = random->RangeFloat(kStream, 0.0f, 1.0f);
    const bool right = (random->Next(kStream) & 1u) != 0;
    const float speed = (u1 * 2.0f + 0.5f) * (boost ? 3.0f : 1.0f);
    // 10 to 85 degrees below the horizontal, mirrored on the left.
    float angle = u2 * 1.3089969f + 0.1745329f;
    if (!right)
        angle += kHalfPi;
    const Vector2 at = position_ + Vector2{right ? 16.0f : -16.0f, 32.0f};
    GameObject::Create<PlayerEffectBackFire>(owner_, owner_, at, angle, speed);
}

void Player::OnStageClear() {
    GlobalWork* gw = Work();
    if (state == kBarionLaser) {
        if (gw)
            gw->player.barionGauge = 0;
        grabStep = 0;
        state = kNormal;
    } else if (state == kGrabuster && grabPhase != kGrabWindDown) {
        EndGrabusterDrain();
    }
}

void Player::PlayPilotVoice(int32_t first) const {
    const GlobalWork* gw = Work();
    RandomManager* random = RandomManager::GetInstance();
    SoundManager* sound = SoundManager::GetInstance();
    if (!gw || !random || !sound)
        return;
    sound->PlayVoice(gw->player.ship, random->RangeInt(RandomManager::kPresentation, first,
                                                       first + kVoiceChoices - 1));
}

// --- Main shot. ---

void Player::FireMainShot() {
    const GlobalWork* gw = Work();
    const MainShotLayouts::Ship* ship = gw ? MainShotLayouts::ShipOf(gw->player.ship) : nullptr;
    const ShotParamRow* row = ShotRow();
    if (!ship || !row || gw->player.power < 0)
        return;
    bool fires[ShotParamRow::kStreams];
    bool any = false;
    for (uint32_t s = 0; s < ShotParamRow::kStreams; ++s) {
        const int16_t interval = row->streams[s].interval;
        fires[s] = interval >= 1 && shotFrame % interval == 0;
        any = any || fires[s];
    }
    if (!any)
        return;
    const MainShotLayouts::Volley volley =
        MainShotLayouts::Of(ship->layout, static_cast<uint32_t>(gw->player.power));
    for (uint32_t i = 0; i < volley.count; ++i) {
        const MainShotLayouts::Shot& shot = volley.shots[i];
        if (!fires[shot.stream])
            continue;
        const ShotStream& stream = row->streams[shot.stream];
        SpawnMainShot(shot.spriteRow, shot.slot, shot.spriteColumn, stream.limit, shot.angle,
                      static_cast<float>(stream.speed), stream.attack,
                      position_ +
                          Vector2{static_cast<float>(shot.dx), static_cast<float>(shot.dy)});
    }
}

void Player::SpawnMainShot(uint8_t spriteRow, uint32_t slot, uint8_t spriteColumn, int16_t limit,
                           float angleDegrees, float speed, uint16_t attack,
                           const Vector2& position) {
    const GlobalWork* gw = Work();
    const MainShotLayouts::Ship* ship = gw ? MainShotLayouts::ShipOf(gw->player.ship) : nullptr;
    if (!ship || slot >= kShotSlots)
        return;
    // Unsigned: a limit of 0 blocks the slot, a negative one never does.
    if (static_cast<uint32_t>(shotCount[slot]) >=
        static_cast<uint32_t>(static_cast<int32_t>(limit)))
        return;
    const float angle = angleDegrees * 6.2831855f * 0.0027777778f;
    GameObject::Create<PlayerShot>(owner_, owner_, this, position, ship->spriteFamily, spriteRow,
                                   slot, spriteColumn, angle, speed, attack);
    // The sound plays even when the pool had no block for the shot.
    PlaySound(gw->player.power == 3 ? ship->fullPowerSound : ship->sound);
}

// --- Hits. ---

bool Player::CanAutoShield() const {
    const GlobalWork* gw = Work();
    const ShipParamRow* row = ShipRow();
    if (!gw || !row)
        return false;
    const int32_t step = row->barionGaugeMax * row->shieldStepPercent / 100;
    return gw->player.barionGauge >= step && shieldCooldown == 0;
}

bool Player::TryAutoShield() {
    GlobalWork* gw = Work();
    const ShipParamRow* row = ShipRow();
    // In the laser every hit is shielded, whatever the gauge and cooldown.
    if (!gw || !row || (!CanAutoShield() && state != kBarionLaser))
        return false;
    shieldCooldown = row->autoShieldInterval;
    gw->SpendBarionGauge(gw->player, state == kBarionLaser);
    PlaySound(kShieldSound);
    shield = CreateBarionShield(owner_, this, row);
    if (owner_)
        owner_->StartShieldHitIndicator();
    if (state == kBarionLaser)
        state = kNormal;
    return true;
}

void Player::OnCollision(GameObject* other) {
    GlobalWork* gw = Work();
    if (!gw || !other)
        return;
    PlayerWork& p = gw->player;
    // The first rule that applies decides.
    if (p.invincible)
        return;
    if (p.guard) {
        p.guard = 0;
        return;
    }
    if (state == kGrabuster || p.down || shield)
        return;
    const uint32_t kind = other->GetKind();
    if (kind != kKindEnemy && kind != kKindEnemyShot)
        return;
    if (TryAutoShield()) {
        PlayPilotVoice(kShieldVoice);
        PlaySound(kShieldedSound);
        ++gw->hitsTaken;
        ++gw->hitsTaken2;
        return;
    }
    Miss();
}

void Player::Miss() {
    GlobalWork* gw = Work();
    PlayerWork& p = gw->player;
    PlayPilotVoice(kMissVoice);
    GameObject::Create<PlayerHitDown>(owner_, owner_, position_);
    p.down = 1;
    if (gw->gameType != GameState::kScoreAttackType)
        --p.lives;
    GameObject::Create<PlayerDead>(owner_, owner_, this, static_cast<uint8_t>(p.lives < 0),
                                   playerIndex);
    ++gw->misses;
    ++gw->misses2;
    ++gw->hitsTaken;
    ++gw->hitsTaken2;
}
