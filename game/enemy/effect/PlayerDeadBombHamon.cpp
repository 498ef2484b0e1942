#include "game/enemy/effect/PlayerDeadBombHamon.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>

PlayerDeadBombHamon::PlayerDeadBombHamon(GameObjectDirector* owner,
                                         const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    SetPosition(position.x, position.y);
}

void PlayerDeadBombHamon::Update() {
    constexpr float kPi = std::numbers::pi_v<float>;
    switch (phase_) {
    case 0: {
        ringScale_ += 0.05f;
        const float left =
            static_cast<float>(kSpinUpdates - counter_) / static_cast<float>(kSpinUpdates);
        spin_ = left * left * 2.0f * kPi;
        if (++counter_ == kSpinUpdates) {
            phase_ = 1;
            counter_ = 0;
        }
        break;
    }
    case 1:
        ringScale_ += 0.02f;
        if (++counter_ == kGrowUpdates) {
            phase_ = 2;
            counter_ = 0;
        }
        break;
    default:
        ringScale_ += 0.01f;
        spin_ = static_cast<float>(counter_) * kPi / static_cast<float>(kFadeUpdates);
        if (++counter_ == kFadeUpdates)
            Vanish();
        break;
    }
}

void PlayerDeadBombHamon::Draw() {
    int32_t alpha = 255;
    if (phase_ == 2)
        alpha = static_cast<int32_t>(255.0f - static_cast<float>(counter_) * 255.0f /
                                                  static_cast<float>(kFadeUpdates));
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kPlayerBombRing),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kSize, kSize, screenPosition_.x,
                        screenPosition_.y, ringScale_, spin_, SpriteQuad::WhiteWithAlpha(alpha));
}
