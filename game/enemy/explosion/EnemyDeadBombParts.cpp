#include "game/enemy/explosion/EnemyDeadBombParts.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <numbers>

EnemyDeadBombParts::EnemyDeadBombParts(GameObjectDirector* owner,
                                       const Mireku::Common::Vector2& position, uint32_t variant)
    : GameObject(owner), variant_(variant < 3 ? variant : 0) {
    constexpr float kPi = std::numbers::pi_v<float>;
    if (RandomManager* random = RandomManager::GetInstance()) {
        constexpr uint32_t kStream = RandomManager::kPresentation;
        image_ = random->Next(kStream) % (kHighestImage[variant_] + 1);
        const float speed = random->RangeFloat(kStream, 3.0f, 8.0f);
        const float direction = random->RangeFloat(kStream, -kPi, kPi);
        velocity_ = {std::cos(direction) * speed, std::sin(direction) * speed};
    }
    SetPosition(position.x, position.y);
}

void EnemyDeadBombParts::Update() {
    SetPositionFromVector(position_ + velocity_);
    if (++age_ == kLife)
        Vanish();
}

void EnemyDeadBombParts::Draw() {
    Mireku::Renderer::SpriteRenderer* layer;
    Mireku::Graphics::Texture* texture;
    if (!GetOwner()->GetSprite(SpriteLayer::kEnemyBombParts, StageTextureSlot::kDebris, &layer,
                               &texture))
        return;
    constexpr float kTurn = 2.0f * std::numbers::pi_v<float>;
    const float age = static_cast<float>(age_);
    SpriteQuad::Centred(layer, texture, SpriteQuad::kAdd, static_cast<float>(variant_) * kCell,
                        static_cast<float>(image_) * kCell, kCell, kCell, screenPosition_.x,
                        screenPosition_.y, 2.0f - age * 2.0f / kLife, kTurn - age * kTurn / kLife);
}
