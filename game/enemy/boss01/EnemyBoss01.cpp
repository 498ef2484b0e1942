#include "game/enemy/boss01/EnemyBoss01.h"

#include "engine/graphics/Texture.h"
#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/BossRecord.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/BossReward.h"
#include "game/enemy/boss01/EnemyBossBarrel.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/flow/SceneDriver.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kHalfPi = kPi * 0.5f;
constexpr float kThreeHalfPi = kPi * 1.5f;
constexpr float kDescendStep = kPi / 96.0f; // 48 updates to pi / 2
constexpr float kSettleStep = kPi / 24.0f;  // 12 updates to 3 pi / 2
constexpr float kSettleSwing = 10.0f;
constexpr float kDescendMargin = 10.0f;
constexpr float kOrbitStep = 0.004986655f;
constexpr float kOrbitWidth = 100.0f;
constexpr float kOrbitDepth = 50.0f;
constexpr float kFadeStep = 1.0f / 60.0f;
constexpr int32_t kWaitFrames = 19; // the fight opens after 20 frames of waiting
constexpr float kRetreatHeights = 1.5f;
constexpr float kRetreatFrames = 60.0f;
constexpr float kTiltStep = 0.001f;
constexpr float kMaxTilt = kPi / 4.0f;
constexpr float kFallenBelow = 540.0f;
constexpr int32_t kFallFrames = 60;
constexpr int32_t kSecondFormFallFrames = 120;
constexpr int32_t kSecondFormDelay = 60;
constexpr int32_t kWhiteFrames = 120;
constexpr float kShockWaveGrowth = 0.05f;
constexpr int32_t kAnimationImages = 4;
constexpr uint32_t kFramesPerImage = 4;
constexpr uint32_t kStoryBridge = 1; // GlobalWork::storyRequest
constexpr uint32_t kStoryEnding = 2;

// Whether a value stepping by `step` has reached `target`: within half a
// step, so that the float sum of the steps arrives on the step it should.
bool Reached(float value, float target, float step) {
    return step > 0.0f ? value >= target - step * 0.5f : value <= target - step * 0.5f;
}

// The offset of the hit area's centre from the body's, for a row offset
// measured from the body sprite's edge: truncated, and kept within the
// 16 bits the hit box takes, so a row offset at the end of its range keeps
// the hit area at that end.
int16_t HitOffset(float rowOffset, int16_t spriteSize, int16_t hitSize) {
    const float offset = std::trunc(rowOffset - spriteSize / 2.0f + hitSize / 2.0f);
    return static_cast<int16_t>(std::clamp(offset, -32768.0f, 32767.0f));
}

float Stream0(float low, float high) {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(RandomManager::kPresentation, low, high) : low;
}

uint32_t Stream0Word() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->Next(RandomManager::kPresentation) : 0;
}

// The row's part count within what the shared block holds.
uint32_t PartsOf(const BossRecord* row) {
    if (!row || row->partCount < 0)
        return 0;
    return static_cast<uint32_t>(row->partCount) > BossGauge::kMaxParts
               ? BossGauge::kMaxParts
               : static_cast<uint32_t>(row->partCount);
}

} // namespace

float EnemyBoss01::StartHeight(uint32_t group) {
    return group < kGroups ? kStartHeights[group] : 0.0f;
}

EnemyBoss01::EnemyBoss01(GameObjectDirector* owner, int32_t type,
                         const Mireku::Common::Vector2& /*position*/, uint32_t group)
    : EnemyBaseBoss(owner, 0, group), type_(type) {
    textureBase_ = type == kSecondForm ? kSecondFormTextures : 0;
    TextureSize(textureBase_, &spriteWidth_, &spriteHeight_);
    TextureSize(textureBase_ + kOpenCore, &hitWidth_, &hitHeight_);
    const float height = spriteHeight_;
    home_ = {0.0f, StartHeight(group_) - height / 2.0f};
    SetPosition(home_.x, home_.y);
    previous_ = home_;

    BossGauge& g = Gauge();
    g.Start(static_cast<float>(GetHealth()), static_cast<int32_t>(PartsOf(row_)));

    ResetStepAnimation();
    orbitAngle_ = phase_ = 0.0f;
    orbit_ = {0.0f, 0.0f};
    if (type == kSecondForm) {
        state_ = kFadeIn;
        timeLeft_ = kNoTimeLimit;
        g.Hide();
        Play(kSecondFormSound);
        // It stands where the first form settled: home + its height.
        offset_.y = std::sin(kHalfPi) * (height + kDescendMargin);
        orbit_ = offset_;
        offset_.y = std::sin(kThreeHalfPi) * kSettleSwing + orbit_.y;
        SetPositionFromVector(home_ + offset_);
        g.bossGaugeVisible = 1;
    } else {
        state_ = kDescend;
        timeLeft_ = type == kSecondFormFirst ? kNoTimeLimit : kTimeLimit;
    }
    const GlobalWork* gw = GlobalWork::GetInstance();
    turnDirection_ = gw && gw->player.score % 100 % 2 == 1 ? 1 : -1;
    glow_ = 1.0f;
}

EnemyBoss01::~EnemyBoss01() {
    for (uint32_t i = 0; i < partCount_; ++i)
        parts_[i]->Detach();
    partCount_ = 0;
    Stop(kEngineSound);
}

int32_t EnemyBoss01::GetHealth() const {
    return row_ ? row_->health : 0;
}

void EnemyBoss01::SpawnParts() {
    GameObjectDirector* director = GetOwner();
    BossGauge& g = Gauge();
    const uint32_t parts = PartsOf(row_);
    for (uint32_t i = 1; i <= parts && partCount_ < BossGauge::kMaxParts; ++i) {
        // A part whose row lies past the table is no part.
        const BossRecord* row = BossRowOf(i, group_);
        if (!row)
            continue;
        auto* part =
            GameObject::Create<EnemyBossBarrel>(director, director, type_, home_, i, group_);
        if (!part)
            continue;
        part->SetParent(this);
        parts_[partCount_++] = part;
        g.SetPartTarget(static_cast<int32_t>(i - 1), row->health);
    }
}

int32_t EnemyBoss01::GetHealthPercent() const {
    const int32_t health = GetHealth();
    // A body without hit points counts as spent (no division by zero).
    if (health <= 0)
        return 0;
    const float percent = static_cast<float>(static_cast<int64_t>(health) - damage_) /
                          static_cast<float>(health) * 100.0f;
    // Hits of negative attack (a damaged table) can heal a body of few hit
    // points past the 32-bit range: it then counts as the range's end.
    if (percent < -100.0f)
        return -100;
    return percent < 2147483648.0f ? static_cast<int32_t>(percent) : INT32_MAX;
}

void EnemyBoss01::RemovePart(GameObject* part) {
    for (uint32_t i = 0; i < partCount_; ++i) {
        if (parts_[i] != part)
            continue;
        for (uint32_t k = i + 1; k < partCount_; ++k)
            parts_[k - 1] = parts_[k];
        parts_[--partCount_] = nullptr;
        return;
    }
}

void EnemyBoss01::OnCollision(GameObject* other) {
    if (!other || other->GetKind() != kKindPlayerShot)
        return;
    // 32 bits: a boss of 65536 hit points or more can still die.
    damage_ += static_cast<PlayerShotBase*>(other)->GetAttackPower();
    const int64_t left = static_cast<int64_t>(GetHealth()) - damage_;
    Gauge().bossHealthShown = left > 0 ? static_cast<float>(left) : 0.0f;
    if (damage_ < GetHealth()) {
        Play(kHitSound);
        return;
    }
    SetHitShapeActive(false);
    open_ = 0;
    if (GlobalWork* gw = GlobalWork::GetInstance()) {
        gw->player.invincibleTimer = kKillInvincibility;
        gw->player.invincible = 1;
    }
    static constexpr BossReward kReward = {kKillScore, kKillSound, kGaugeShare, true};
    kReward.Pay(*this, *other, position_ - previous_);
}

void EnemyBoss01::Update() {
    previous_ = position_;
    RunBehaviour();
    SetHitShapeActive(open_ != 0);
    // The hit area is the open core, at the row's offsets from the body
    // sprite's top-left corner.
    const float ox = row_ ? row_->offsetX : 0.0f, oy = row_ ? row_->offsetY : 0.0f;
    SetHitBox(HitOffset(ox, spriteWidth_, hitWidth_), HitOffset(oy, spriteHeight_, hitHeight_),
              hitWidth_, hitHeight_);
    if (GameObjectDirector* director = GetOwner())
        director->RegisterCollision(GetCollisionGroup(), this);
    ++frameNumber_;
}

void EnemyBoss01::RunBehaviour() {
    CheckParts();
    switch (state_) {
    case kDescend:
        Descend();
        break;
    case kFadeIn:
        FadeIn();
        break;
    case kStory:
        WaitStory();
        break;
    case kSettle:
        Settle();
        break;
    case kWait:
        Wait();
        break;
    case kFight:
        Fight();
        break;
    case kRetreat:
        Retreat();
        break;
    case kFalling:
        Fall();
        break;
    case kWhiteOut:
        WhiteOut();
        break;
    case kChangeForm:
        ChangeForm();
        break;
    case kEndingStory:
        WaitEndingStory();
        break;
    default:
        break;
    }
    PlaceParts();
}

void EnemyBoss01::CheckParts() {
    bool due = false;
    for (uint32_t i = 0; i < partCount_ && !due; ++i)
        due = parts_[i]->IsAlive() && parts_[i]->TryOpen(false);
    if (!due)
        return;
    // An opening part replaces the parts open before it.
    for (uint32_t i = 0; i < partCount_; ++i)
        if (parts_[i]->IsAlive() && parts_[i]->GetFlag())
            parts_[i]->DestroyPart();
    if (GameObjectDirector* director = GetOwner())
        director->ClearEnemyShots();
    for (uint32_t i = 0; i < partCount_; ++i)
        if (parts_[i]->IsAlive())
            parts_[i]->TryOpen(true);
}

void EnemyBoss01::PlaceParts() {
    for (uint32_t i = 0; i < partCount_; ++i)
        parts_[i]->PlaceOnParent(spriteWidth_, spriteHeight_, position_.x, position_.y);
}

void EnemyBoss01::Descend() {
    const float reach = static_cast<float>(spriteHeight_) + kDescendMargin;
    phase_ += kDescendStep;
    const bool down = Reached(phase_, kHalfPi, kDescendStep);
    if (down)
        phase_ = kHalfPi;
    offset_.y = std::sin(phase_) * reach;
    orbit_ = offset_;
    SetPositionFromVector(home_ + offset_);
    if (down) {
        offset_.y = reach;
        orbit_ = offset_;
        SetPositionFromVector(home_ + offset_);
        phase_ = kPi;
        state_ = kSettle;
    }
}

void EnemyBoss01::Settle() {
    phase_ += kSettleStep;
    const bool settled = Reached(phase_, kThreeHalfPi, kSettleStep);
    if (settled)
        phase_ = kThreeHalfPi;
    offset_.y = std::sin(phase_) * kSettleSwing + orbit_.y;
    SetPositionFromVector(home_ + offset_);
    if (settled) {
        counter_ = 0;
        ResetStepAnimation();
        state_ = kWait;
    }
}

void EnemyBoss01::FadeIn() {
    BossGauge& g = Gauge();
    g.bossWhiteOut -= kFadeStep;
    if (!Reached(g.bossWhiteOut, 0.0f, -kFadeStep))
        return;
    g.bossWhiteOut = 0.0f;
    counter_ = 0;
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (gw && gw->storyMode) {
        StartStory(kStoryBridge);
        state_ = kStory;
        return;
    }
    if (GameObjectDirector* director = GetOwner())
        director->PlayBoss3Bgm();
    state_ = kWait;
}

void EnemyBoss01::WaitStory() {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (gw && gw->storyRequest != 0)
        return;
    Gauge().bossGaugeVisible = 1;
    ResetStepAnimation();
    Play(kFightSound);
    if (GameObjectDirector* director = GetOwner())
        director->PlayBoss3Bgm();
    state_ = kWait;
}

void EnemyBoss01::Wait() {
    ++counter_;
    if (counter_ <= kWaitFrames || !Gauge().IsFull())
        return;
    open_ = 1;
    orbitAngle_ = kThreeHalfPi;
    phase_ = 0.0f;
    orbit_ = {0.0f, 0.0f};
    Play(kFightSound);
    Play(kEngineSound, true);
    state_ = kFight;
}

void EnemyBoss01::Fight() {
    orbitAngle_ += static_cast<float>(turnDirection_) * kOrbitStep;
    orbit_ = {std::cos(orbitAngle_) * kOrbitWidth, (std::sin(orbitAngle_) + 1.0f) * kOrbitDepth};
    SetPositionFromVector(home_ + offset_ + orbit_);
    --timeLeft_;
    GameObjectDirector* director = GetOwner();
    if (timeLeft_ < 1) {
        open_ = 0;
        offset_ = offset_ + orbit_;
        Stop(kEngineSound);
        Play(kRetreatSound);
        if (director)
            director->ClearEnemyShots();
        state_ = kRetreat;
    } else if (!open_) {
        StartDestruction();
    } else if (timeLeft_ <= kWarningFrames && timeLeft_ % 60 == 0) {
        Play(kWarningSound);
    }
}

void EnemyBoss01::Retreat() {
    const float height = spriteHeight_;
    offset_.y -= height * kRetreatHeights / kRetreatFrames;
    SetPositionFromVector(home_ + offset_);
    if (position_.y > -height / 2.0f)
        return;
    state_ = kGone;
    Vanish();
    if (GameObjectDirector* director = GetOwner())
        director->StageClear(true);
}

void EnemyBoss01::StartDestruction() {
    GameObjectDirector* director = GetOwner();
    state_ = kFalling;
    RandomManager* random = RandomManager::GetInstance();
    counter_ = random ? random->RangeInt(RandomManager::kPresentation, 8, 15) : 8;
    secondCounter_ = type_ == kSecondForm ? kSecondFormFallFrames : kFallFrames;
    offset_ = offset_ + orbit_;
    orbitAngle_ = 0.0f;
    // The turn of a later form is always the same; the number is drawn all
    // the same, so that the stream moves as it always has.
    if (random)
        random->RangeInt(RandomManager::kPresentation, 0, 100);
    turnDirection_ = -1;
    if (type_ != kSecondFormFirst && director)
        director->StartResultTally(type_ == kSecondForm);
    secondFormDelay_ = kSecondFormDelay;
    for (uint32_t i = 0; i < partCount_; ++i)
        if (parts_[i]->IsAlive())
            parts_[i]->DestroyPart();
    Stop(kEngineSound);
    if (director)
        director->ClearEnemyShots();
}

void EnemyBoss01::Fall() {
    GameObjectDirector* director = GetOwner();
    GlobalWork* gw = GlobalWork::GetInstance();
    glow_ -= kFadeStep;
    if (glow_ < 0.0f)
        glow_ = 0.0f;
    if (--counter_ < 1) {
        ThreeExplosions();
        Stream0Word();
        Play(kBlastSound);
        counter_ = static_cast<int32_t>(Stream0Word() % 5) + 8;
        if (director)
            director->StartShake(counter_, Stream0(1.0f, 3.0f), 1.0f);
    }
    if (--secondCounter_ >= 0)
        return;
    if (type_ == kSecondFormFirst) {
        if (--secondFormDelay_ <= 0) {
            if (director)
                director->StartShake(15, 3.0f, 1.0f);
            Explosion(8.0f);
            if (SoundManager* sound = SoundManager::GetInstance())
                if (gw)
                    sound->PlayVoice(gw->player.ship, kSecondFormVoice);
            Play(kFinalSound);
            if (director)
                director->StartBgmFade(180.0f);
            shockWaveScale_ = 0.0f;
            state_ = kWhiteOut;
            return;
        }
    } else if (type_ == kSecondForm) {
        if (gw && gw->storyMode) {
            // The ending's story follows once the tally has been read.
            if (director && director->IsTallyOver()) {
                director->GetTally().Hide();
                StartStory(kStoryEnding);
                state_ = kEndingStory;
            }
            return;
        }
        if (director) {
            director->StartBgmFade(60.0f);
            director->StageClear(false);
            director->StartShake(15, 2.0f, 1.0f);
        }
        Gauge().Hide();
        Explosion(8.0f);
        Play(kFinalSound);
        shockWaveScale_ = 0.0f;
        state_ = kBlownUp;
        return;
    }
    orbitAngle_ += static_cast<float>(turnDirection_) * kTiltStep;
    orbitAngle_ =
        orbitAngle_ < -kMaxTilt ? -kMaxTilt : (orbitAngle_ > kMaxTilt ? kMaxTilt : orbitAngle_);
    SetAngle(orbitAngle_);
    // The fall decides the frame the stage clears, so it draws from the play
    // stream: a replay over a boss's death reaches the clear on the frame it
    // was recorded on, whatever the presentation stream holds.
    RandomManager* random = RandomManager::GetInstance();
    offset_.y += random ? random->RangeFloat(RandomManager::kPlay, 0.5f, 2.0f) : 0.5f;
    SetPositionFromVector(home_ + offset_);
    if (position_.y > kFallenBelow) {
        if (director) {
            director->StageClear(true);
            director->StartShake(60, 4.0f, 3.0f);
        }
        state_ = kFallen;
        Gauge().Hide();
        Explosion(4.0f);
    }
}

void EnemyBoss01::WhiteOut() {
    BossGauge& g = Gauge();
    g.bossWhiteOut += kFadeStep;
    if (!Reached(g.bossWhiteOut, 1.0f, kFadeStep))
        return;
    g.bossWhiteOut = 1.0f;
    counter_ = kWhiteFrames;
    state_ = kChangeForm;
}

void EnemyBoss01::ChangeForm() {
    if (--counter_ > 0)
        return;
    Vanish();
    // The second form places itself; it stands where this one settled.
    CreateEnemyBoss(GetOwner(), kSecondForm, kSecondFormGroup);
}

void EnemyBoss01::WaitEndingStory() {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (gw && gw->storyRequest != 0)
        return;
    if (GameObjectDirector* director = GetOwner())
        director->StageClear(false);
    Gauge().Hide();
    state_ = kDone;
}

bool EnemyBoss01::StartStory(uint32_t request) {
    GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw)
        return false;
    gw->storyRequest = request;
    gw->storyPending = 1;
    SceneDriver* scenes = SceneDriver::GetInstance();
    if (scenes && scenes->StartScreen(ScreenKind::kStory))
        return true;
    // No story scene could be started: the story is over at once, so the
    // boss does not wait for it for ever.
    gw->storyRequest = 0;
    return false;
}

void EnemyBoss01::Explosion(float scale) {
    EnemyDeadBomb::CreateTurned(GetOwner(), BossReward::kExplosionSize, position_, {0.0f, 0.0f},
                                scale);
}

void EnemyBoss01::ThreeExplosions() {
    const float w = spriteWidth_, h = spriteHeight_;
    for (int i = 0; i < 3; ++i) {
        const float x = position_.x + Stream0(-w / 2.0f, w / 2.0f);
        const float y = position_.y + Stream0(-h / 2.0f, h / 2.0f);
        EnemyDeadBomb::CreateScaledTurned(GetOwner(), BossReward::kExplosionSize, {x, y},
                                          {0.0f, 0.0f}, 0.6f, 1.6f);
    }
}

void EnemyBoss01::Play(int32_t sound, bool loop) const {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(sound, loop);
}

void EnemyBoss01::Stop(int32_t sound) const {
    if (SoundManager* s = SoundManager::GetInstance())
        s->StopSE(sound);
}

void EnemyBoss01::Draw() {
    if (state_ == kFallen)
        return;
    const float x = screenPosition_.x, y = screenPosition_.y;
    const float left = x - spriteWidth_ / 2.0f, top = y - spriteHeight_ / 2.0f;
    const uint32_t image = frameNumber_ / kFramesPerImage % kAnimationImages;
    DrawBossTexture(SpriteLayer::kEnemyBlend, textureBase_ + image, SpriteQuad::kAlpha, left, top,
                    kTopLeft);
    DrawBossTexture(SpriteLayer::kEnemyBlend, textureBase_ + kGlowTexture + image, SpriteQuad::kAdd,
                    left, top, kTopLeft,
                    SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(glow_ * 255.0f)));

    if (state_ < kFalling) {
        const float coreLeft = left + (row_ ? row_->offsetX : 0);
        const float coreTop = top + (row_ ? row_->offsetY : 0);
        const Mireku::Graphics::Texture* core = DrawBossTexture(
            SpriteLayer::kEnemyBlend, textureBase_ + (open_ ? kOpenCore : kClosedCore),
            SpriteQuad::kAlpha, coreLeft, coreTop, kTopLeft);
        const float cx = coreLeft + (core ? core->GetWidth() / 2.0f : 0.0f);
        const float cy = coreTop + (core ? core->GetHeight() / 2.0f : 0.0f);
        DrawBossTexture(SpriteLayer::kEnemyBlend, open_ ? kOpenRing : kClosedRing, SpriteQuad::kAdd,
                        cx, cy);
        if (state_ >= kFight)
            DrawStepAnimation(GetOwner(), SpriteLayer::kPlayerShotBlend, cx, cy, kFirstSparkle);
    }

    if (state_ == kWhiteOut || state_ == kBlownUp) {
        shockWaveScale_ += kShockWaveGrowth;
        Mireku::Renderer::SpriteRenderer* layer;
        Mireku::Graphics::Texture* shock;
        if (GetOwner() && GetOwner()->GetSprite(SpriteLayer::kEnemyBlend,
                                                StageTextureSlot::kBossShockWave, &layer, &shock))
            SpriteQuad::Centred(layer, shock, SpriteQuad::kAdd, 0.0f, 0.0f, shock->GetWidth(),
                                shock->GetHeight(), x, y, shockWaveScale_, 0.0f);
    }
}
