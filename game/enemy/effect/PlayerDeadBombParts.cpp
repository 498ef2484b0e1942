#include "game/enemy/effect/PlayerDeadBombParts.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <numbers>

PlayerDeadBombParts::PlayerDeadBombParts(GameObjectDirector* owner,
                                         const Mireku::Common::Vector2& position)
    : GameObject(owner) {
    constexpr float kPi = std::numbers::pi_v<float>;
    if (RandomManager* random = RandomManager::GetInstance()) {
        constexpr uint32_t kStream = RandomManager::kPresentation;
        variant_ = random->Next(kStream) & 7u;
        const float speed = 3.0f + 5.0f * random->RangeFloat(kStream, 0.0f, 1.0f);
        const float direction = 2.0f * kPi * random->RangeFloat(kStream, 0.0f, 1.0f) - kPi;
        velocity_ = {std::cos(direction) * speed, std::sin(direction) * speed};
    }
    SetPosition(position.x, position.y);
}

void PlayerDeadBombParts::Update() {
    SetPositionFromVector(position_ + velocity_);
    if (++age_ == kLife)
        Vanish();
}

void PlayerDeadBombParts::Draw() {
    constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
    const float t = static_cast<float>(age_) / static_cast<float>(kLife);
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kPlayerDebris),
                        SpriteQuad::kAdd, 0.0f, kCell * static_cast<float>(variant_), kCell, kCell,
                        screenPosition_.x, screenPosition_.y, 1.0f - t, kTurn * (1.0f - t));
}
