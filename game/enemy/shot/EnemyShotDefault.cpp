#include "game/enemy/shot/EnemyShotDefault.h"

#include "game/core/GlobalWork.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/shot/EnemyShotRegistry.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageResources.h"

#include <numbers>

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kFieldBottom = static_cast<float>(ScreenLayout::kFieldSize);

bool IsEmpty(const TexelRect& r) {
    return r.right == r.left || r.bottom == r.top;
}

} // namespace

const BulletParamRow* EnemyShotDefault::BulletRowOf(int32_t bullet) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw || bullet < 0)
        return nullptr;
    return gw->tables.BulletRow(gw->mode, static_cast<uint32_t>(bullet));
}

int32_t EnemyShotDefault::TextureSlotOf(int32_t bullet) {
    const GlobalWork* gw = GlobalWork::GetInstance();
    if (!gw || bullet < 0)
        return kNoTexture;
    const ResourceIndexEntry* entry = gw->tables.BulletResources(static_cast<uint32_t>(bullet));
    if (!entry)
        return kNoTexture;
    const int32_t slot = entry->Texture();
    return slot >= 0 && slot < static_cast<int32_t>(StageResources::kBulletTextures) ? slot
                                                                                     : kNoTexture;
}

float EnemyShotDefault::Width(const TexelRect& r) {
    return static_cast<float>(r.right - r.left + 1);
}

float EnemyShotDefault::Height(const TexelRect& r) {
    return static_cast<float>(r.bottom - r.top + 1);
}

EnemyShotDefault::EnemyShotDefault(GameObjectDirector* owner, GameObject* source, int32_t bullet,
                                   const Mireku::Common::Vector2& position)
    : EnemyShotBase(owner, source, bullet, position), row_(BulletRowOf(bullet)),
      textureSlot_(TextureSlotOf(bullet)) {}

EnemyShotDefault::~EnemyShotDefault() {
    UnregisterShot();
}

void EnemyShotDefault::RegisterShot() {
    if (!registered_ && EnemyShotRegistry::Add(this))
        registered_ = 1;
}

void EnemyShotDefault::UnregisterShot() {
    if (!registered_)
        return;
    EnemyShotRegistry::Remove(this);
    registered_ = 0;
}

const TexelRect* EnemyShotDefault::CurrentFrame(uint32_t track) const {
    if (!row_)
        return nullptr;
    const TexelRect* frames = track == 0 ? row_->blendTrack : row_->addTrack;
    // The counter stays within the track (see Animate); the bound holds anyway.
    const uint32_t frame = counters_[track] / kCounterPerFrame;
    return frame < BulletParamRow::kTrackFrames ? &frames[frame] : nullptr;
}

void EnemyShotDefault::Animate() {
    for (uint32_t t = 0; t < kTracks; ++t) {
        uint8_t& counter = counters_[t];
        ++counter;
        // A track holds three frames: the counter returns to 0 at 16, once it
        // would show a fourth frame, or at an empty frame.
        const TexelRect* frame = CurrentFrame(t);
        if (counter >= kCounterWrap || !frame || IsEmpty(*frame))
            counter = 0;
    }
}

void EnemyShotDefault::Update() {
    EnemyShotBase::Update();
    Animate();

    const GameObjectDirector* director = GetOwner();
    const TexelRect* frame = CurrentFrame(0);
    const float w = frame ? Width(*frame) : 0.0f;
    const float h = frame ? Height(*frame) : 0.0f;
    // The director's half map width as it stands, as the player's shots use it.
    const float half = director ? director->GetHalfMapWidth() : 0.0f;
    // The top counts too: a shot that left upwards would hold its pool
    // block for the rest of the stage.
    if (position_.x < -(w + half) || position_.x > w + half || position_.y > h + kFieldBottom ||
        position_.y < -h) {
        Vanish();
        return;
    }

    SetPositionFromVector(position_ + velocity_);

    if (row_ && row_->spin && row_->spinPeriod != 0) {
        float angle = GetAngle() + kTwoPi / static_cast<float>(row_->spinPeriod);
        // One whole turn at most either way (the period is a whole number).
        if (angle >= kPi)
            angle -= kTwoPi;
        else if (angle < -kPi)
            angle += kTwoPi;
        SetAngle(angle);
    }

    SetHitBox(0, 0, kHitBox, kHitBox);
    if (GameObjectDirector* d = GetOwner())
        d->RegisterCollision(GetCollisionGroup(), this);
}

void EnemyShotDefault::Draw() {
    const GameObjectDirector* director = GetOwner();
    if (!director || !row_ || textureSlot_ == kNoTexture)
        return;
    Mireku::Graphics::Texture* texture =
        director->GetBulletTexture(static_cast<uint16_t>(textureSlot_));
    SpriteManager* sprites = SpriteManager::GetInstance();
    if (!texture || !sprites)
        return;
    static constexpr SpriteLayer kLayers[kTracks] = {SpriteLayer::kEnemyShotBlend,
                                                     SpriteLayer::kEnemyShotAdd};
    static constexpr uint32_t kBlends[kTracks] = {SpriteQuad::kAlpha, SpriteQuad::kAdd};
    for (uint32_t t = 0; t < kTracks; ++t) {
        const TexelRect* frame = CurrentFrame(t);
        if (!frame)
            continue;
        const float w = Width(*frame), h = Height(*frame);
        SpriteQuad::Centred(sprites->GetLayer(kLayers[t]), texture, kBlends[t],
                            static_cast<float>(frame->left), static_cast<float>(frame->top), w, h,
                            screenPosition_.x, screenPosition_.y, 1.0f, angle_);
    }
}
