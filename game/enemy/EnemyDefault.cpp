#include "game/enemy/EnemyDefault.h"

#include "game/core/GlobalWork.h"
#include "game/core/RandomManager.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/EnemyRecord.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"
#include "game/enemy/item/ItemHyperio.h"
#include "game/player/Player.h"
#include "game/player/PlayerShotBase.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageResources.h"

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kTwoPi = 2.0f * kPi;
constexpr float kHalfPi = 0.5f * kPi;
constexpr TexelRect kEmptyRect{0, 0, 0, 0};

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

const ResourceIndexEntry* ResourcesOf(uint32_t type) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    return gw ? gw->tables.EnemyResources(type) : nullptr;
}

} // namespace

EnemyDefault::EnemyDefault(GameObjectDirector* owner, int32_t type,
                           const Mireku::Common::Vector2& spawn)
    : EnemyBase(owner, type), spawn_(spawn) {
    if (row_ && row_->mirror != 0 && owner && owner->GetScrollRatio() > 0.0f) {
        mirrored_ = 1;
        spawn_.x = -spawn_.x;
    }
    previous_ = spawn_;
    SetPosition(spawn_.x, spawn_.y);
}

float EnemyDefault::SpeedOf(int32_t percent) {
    const float speed = static_cast<float>(percent) * kSpeedPercent * kSpeedScale;
    return speed > 0.0f ? speed : kDefaultSpeed;
}

// --- Frame. ---

void EnemyDefault::Update() {
    previous_ = position_;
    if (emittersEnabled_)
        UpdateEmitters(0);
    Animate();
    Move();
    SetHitShapeActive(true);
    if (row_)
        SetHitBox(row_->hitOffsetX, row_->hitOffsetY, row_->hitWidth, row_->hitHeight);
    if (GameObjectDirector* director = GetOwner())
        director->RegisterCollision(GetCollisionGroup(), this);
    Rotate();
}

void EnemyDefault::Move() {
    Mireku::Common::Vector2 sum{0.0f, 0.0f};
    bool ok = SampleOverridePath(sum);
    if (!ok)
        ok = SampleBasePath(sum);
    if (!ok) {
        // The paths are over: the enemy stays where it is for its last frames.
        GameObject::Vanish();
    } else {
        offset_ = sum;
        if (mirrored_)
            offset_.x = -offset_.x;
        const float speed = row_ ? static_cast<float>(row_->speed) : 0.0f;
        pathPosition_ += (speed * 0.01f + 1.0f) * 1000.0f / 60.0f;
    }
    SetPositionFromVector(spawn_ + offset_);
}

bool EnemyDefault::SampleBasePath(Mireku::Common::Vector2& sum) const {
    const ResourceIndexEntry* res = ResourcesOf(rowNumber_);
    return res && SamplePath(res->BasePath(), sum);
}

bool EnemyDefault::SampleOverridePath(Mireku::Common::Vector2& sum) const {
    const ResourceIndexEntry* res = ResourcesOf(rowNumber_);
    return res && SamplePath(res->OverridePath(), sum);
}

bool EnemyDefault::SamplePath(int32_t index, Mireku::Common::Vector2& sum) const {
    const GameObjectDirector* director = GetOwner();
    // A path of no points is no path: sampled, it would read point -1.
    const StagePath* path = director ? director->GetEnemyPath(index) : nullptr;
    if (!path)
        return false;
    sum = sum + PathPoint(*path, pathPosition_);
    return PathRuns(*path, pathPosition_);
}

Mireku::Common::Vector2 EnemyDefault::PathPoint(const StagePath& path, float t) {
    const uint32_t n = path.pointCount;
    if (n == 0 || !path.points)
        return {0.0f, 0.0f};
    const auto point = [&path](uint32_t i) {
        return Mireku::Common::Vector2{path.points[2 * i], path.points[2 * i + 1]};
    };
    const float truncated = std::trunc(t);
    if (truncated < 0.0f)
        return point(0);
    if (truncated < static_cast<float>(n - 1)) {
        const auto i = static_cast<uint32_t>(truncated);
        const Mireku::Common::Vector2 a = point(i), b = point(i + 1);
        return a + (b - a) * (t - truncated);
    }
    return point(n - 1);
}

bool EnemyDefault::PathRuns(const StagePath& path, float t) {
    return path.pointCount > 0 && std::trunc(t) <= static_cast<float>(path.pointCount);
}

float EnemyDefault::WrapAngle(float angle) {
    // A remainder, not one add or subtract: a large step (or many) still
    // lands in range, and a period of 0 never gets here.
    float a = std::remainder(angle, kTwoPi);
    if (a <= -kPi)
        a += kTwoPi;
    return a;
}

void EnemyDefault::Rotate() {
    if (!row_)
        return;
    Mireku::Common::Vector2 d;
    if (row_->facePlayer) {
        const GameObjectDirector* director = GetOwner();
        const Mireku::Common::Vector2 player = GameObjectDirector::ToScreen(
            director ? director->GetPlayerPosition() : Mireku::Common::Vector2{0.0f, 0.0f});
        d = screenPosition_ - player;
    } else if (row_->faceMotion) {
        d = position_ - previous_;
    } else if (row_->spin) {
        // A period of 0 turns nothing, as for enemy shots.
        if (row_->turnDivisor != 0)
            SetAngle(WrapAngle(GetAngle() + kTwoPi / static_cast<float>(row_->turnDivisor)));
        return;
    } else {
        return;
    }
    float angle = std::atan2(d.y, d.x) - kHalfPi;
    if (angle <= -kPi)
        angle += kTwoPi;
    else if (angle > kPi)
        angle -= kTwoPi;
    SetAngle(angle);
}

const TexelRect& EnemyDefault::FrameRect(uint32_t track, uint32_t frame) const {
    if (!row_ || frame >= kFrames || track >= kTracks)
        return kEmptyRect;
    return track == 0 ? row_->trackA[frame] : row_->trackB[frame];
}

void EnemyDefault::StepTrack(uint32_t track, bool wrap, uint8_t mask) {
    uint8_t& frame = frame_[track];
    // A track that ran past its last frame (no wrap) stays there.
    if (!row_ || frame >= kFrames)
        return;
    ++frameCounter_[track];
    if (static_cast<int32_t>(frameCounter_[track]) < row_->frameLengths[frame])
        return;
    frameCounter_[track] = 0;
    if (mask != 0) {
        frame = static_cast<uint8_t>((frame + 1) & mask);
        return;
    }
    ++frame;
    if (!wrap)
        return;
    if (frame >= kFrames) {
        frame = 0;
        return;
    }
    const TexelRect& r = FrameRect(track, frame);
    if (r.right == r.left || r.bottom == r.top)
        frame = 0;
}

void EnemyDefault::Animate() {
    for (uint32_t track = 0; track < kTracks; ++track)
        StepTrack(track, true, 0);
}

Mireku::Graphics::Texture* EnemyDefault::GetSheet() const {
    const ResourceIndexEntry* res = ResourcesOf(rowNumber_);
    const GameObjectDirector* director = GetOwner();
    return res && director ? director->GetEnemySheet(res->Texture()) : nullptr;
}

void EnemyDefault::Draw() {
    DrawTrack(0, frame_[0]);
    DrawTrack(1, frame_[1]);
}

void EnemyDefault::DrawTrack(uint32_t track, uint32_t frame) const {
    if (frame >= kFrames)
        return;
    const SpriteLayer which = track == 0 ? SpriteLayer::kEnemyBlend : SpriteLayer::kEnemyAdd;
    const TexelRect& r = FrameRect(track, frame);
    const float w = r.Width(), h = r.Height();
    SpriteQuad::Centred(FieldSprite::Layer(which), GetSheet(), FieldSprite::BlendOf(which),
                        static_cast<float>(r.left), static_cast<float>(r.top), w, h,
                        screenPosition_.x, screenPosition_.y, scale_, angle_);
}

int32_t EnemyDefault::BodyWidth() const {
    const TexelRect& r = FrameRect(0, 0);
    return r.right - r.left;
}

int32_t EnemyDefault::BodyHeight() const {
    const TexelRect& r = FrameRect(0, 0);
    return r.bottom - r.top;
}

// --- Hits. ---

void EnemyDefault::OnCollision(GameObject* other) {
    if (!row_ || !other || other->GetKind() != kKindPlayerShot)
        return;
    auto* weapon = static_cast<PlayerShotBase*>(other);
    damage_ = static_cast<uint16_t>(damage_ + weapon->GetAttackPower());
    if (static_cast<int32_t>(damage_) < row_->health) {
        PlayHitSound();
        return;
    }
    SetHitShapeActive(false);
    Vanish();
    Reward(other);
}

void EnemyDefault::Reward(GameObject* killer) {
    auto* weapon = static_cast<PlayerShotBase*>(killer);
    GlobalWork* gw = GlobalWork::GetInstance();
    GameObjectDirector* director = GetOwner();
    const uint32_t family = weapon->GetWeaponFamily();
    if (!gw || family > PlayerShotBase::kFamilyGrabuster)
        return; // another weapon: no reward, but the enemy is gone all the same
    PlayerWork& player = gw->player;
    // The row's score is signed: a negative one takes points away.
    auto score = static_cast<int64_t>(row_->score);
    if (family == PlayerShotBase::kFamilyGrabuster) {
        ++player.grabusterHits;
        SetChainLevel(player.grabusterHits);
        score *= static_cast<int64_t>(GetChainScore());
    }
    player.AddScore(score);
    PlayDeathSound();

    const int32_t type = GetType();
    const Mireku::Common::Vector2 motion = position_ - previous_;
    if (type >= kFirstMiddleType && type <= kLastMiddleType) {
        GameObject::Create<EnemyDeadBomb_Middle>(director, director, position_);
    } else if (family == PlayerShotBase::kFamilyBarionLaser) {
        GameObject::Create<EnemyDeadBomb>(director, director, EnemyDeadBomb::kSizeSmallB, position_,
                                          motion, weapon->GetAngle(), 1.0f);
    } else if (family == PlayerShotBase::kFamilyShot && type >= kFirstLargeType &&
               type <= kLastLargeType) {
        EnemyDeadBomb::CreateTurned(director, EnemyDeadBomb::kSizeIce, position_, motion, 1.0f);
    } else {
        EnemyDeadBomb::CreateTurned(director, EnemyDeadBomb::kSizeSmall, position_, motion, 1.0f);
    }

    switch (family) {
    case PlayerShotBase::kFamilyShot:
        if (director)
            director->AddBarionGauge(player, row_->barionReward);
        break;
    case PlayerShotBase::kFamilyBarionLaser:
        GameObject::Create<ItemHyperio>(director, director, position_, uint8_t{0});
        break;
    default:
        break;
    }
}

void EnemyDefault::PlayHitSound() {
    PlaySound(kHitSound);
}

void EnemyDefault::PlayDeathSound() {
    uint32_t r = 0;
    if (RandomManager* random = RandomManager::GetInstance())
        r = random->Next(RandomManager::kPresentation);
    PlaySound(kFirstDeathSound + static_cast<int32_t>(r & 3));
}
