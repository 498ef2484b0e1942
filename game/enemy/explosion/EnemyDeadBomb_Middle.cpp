#include "game/enemy/explosion/EnemyDeadBomb_Middle.h"

#include "engine/graphics/Texture.h"
#include "game/core/RandomManager.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/explosion/EnemyDeadBomb.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr uint32_t kStream = RandomManager::kPresentation;

uint32_t NextWord() {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->Next(kStream) : 0;
}

float Uniform(float low, float high) {
    RandomManager* random = RandomManager::GetInstance();
    return random ? random->RangeFloat(kStream, low, high) : low;
}

void PlaySound(int32_t id) {
    if (SoundManager* s = SoundManager::GetInstance())
        s->PlaySE(id, false);
}

} // namespace

EnemyDeadBomb_Middle::EnemyDeadBomb_Middle(GameObjectDirector* owner,
                                           const Mireku::Common::Vector2& position)
    : GameObject(owner), centre_(position) {}

void EnemyDeadBomb_Middle::Burst() {
    GameObjectDirector* owner = GetOwner();
    const Mireku::Common::Vector2 zero{0.0f, 0.0f};
    // The three steps add up: a burst wanders away from the centre.
    Mireku::Common::Vector2 at = centre_;
    for (int32_t i = 0; i < kExplosionsPerBurst; ++i) {
        at.x += Uniform(-kStep, kStep);
        at.y += Uniform(-kStep, kStep);
        EnemyDeadBomb::CreateScaledTurned(owner, EnemyDeadBomb::kSizeMiddle, at, zero, 0.8f, 1.2f);
    }
    NextWord();
    PlaySound(kBurstSound);
    --burstsLeft_;
    countdown_ = static_cast<int32_t>(NextWord() & 3) + 6;
    if (burstsLeft_ >= 0)
        return;
    EnemyDeadBomb::CreateTurned(owner, EnemyDeadBomb::kSizeMiddle, at, zero, 2.0f);
    PlaySound(kFinalSound);
    countdown_ = kRingFrames;
    ringScale_ = 0.0f;
    ringOpacity_ = 1.0f;
    state_ = kRing;
}

void EnemyDeadBomb_Middle::Update() {
    if (state_ == kBursting) {
        if (--countdown_ < 1)
            Burst();
        return;
    }
    if (state_ == kRing) {
        if (--countdown_ < 1) {
            Vanish();
            state_ = kDone;
        }
        ringOpacity_ -= 1.0f / kRingFrames;
        ringScale_ += 0.05f;
    }
}

void EnemyDeadBomb_Middle::Draw() {
    if (state_ != kRing)
        return;
    Mireku::Renderer::SpriteRenderer* layer;
    Mireku::Graphics::Texture* texture;
    if (!GetOwner()->GetSprite(SpriteLayer::kEnemyBomb, StageTextureSlot::kExplosionRing, &layer,
                               &texture))
        return;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, 0.0f, 0.0f, w, h,
                        ScreenLayout::FieldLayerX(centre_.x), centre_.y, ringScale_, 0.0f,
                        SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(ringOpacity_ * 255.0f)));
}
