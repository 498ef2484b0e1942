#include "game/player/PlayerShotLight.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

#include <cmath>
#include <numbers>

PlayerShotLight::PlayerShotLight(GameObjectDirector* owner, const Mireku::Common::Vector2& position,
                                 uint8_t spriteFamily, float angle)
    : GameObject(owner), spriteFamily_(spriteFamily) {
    constexpr float kPi = std::numbers::pi_v<float>;
    SetPosition(position.x, position.y);
    SetAngle(angle);
    if (RandomManager* random = RandomManager::GetInstance()) {
        constexpr uint32_t kStream = RandomManager::kPresentation;
        variant_ = random->Next(kStream) & 3u;
        const float direction = angle - kPi + kPi * random->RangeFloat(kStream, 0.0f, 1.0f);
        const float speed = 2.0f + 3.0f * random->RangeFloat(kStream, 0.0f, 1.0f);
        velocity_ = {std::cos(direction) * speed, std::sin(direction) * speed};
    }
}

void PlayerShotLight::Update() {
    SetPositionFromVector(position_ + velocity_);
    if (++age_ >= kLife)
        Vanish();
}

void PlayerShotLight::Draw() {
    constexpr SpriteLayer kLayer = SpriteLayer::kPlayerShotFx;
    const float t = static_cast<float>(age_) / kLife;
    const auto alpha = static_cast<int32_t>(255.0f - 255.0f * t);
    SpriteQuad::Centred(FieldSprite::Layer(kLayer),
                        FieldSprite::Texture(owner_, StageTextureSlot::kShipShot),
                        FieldSprite::BlendOf(kLayer), 0.0f, kRow + kCell * variant_, kCell, kCell,
                        screenPosition_.x, screenPosition_.y, 2.0f - 2.0f * t, angle_,
                        SpriteQuad::WhiteWithAlpha(alpha));
}
