#include "game/player/PlayerExWeapon_BarionShieldFx.h"

#include "game/core/RandomManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
// Texels of each picture's square, inclusive corners 0 to size - 1.
constexpr float kSizes[PlayerExWeapon_BarionShieldFx::kPictures] = {200.0f, 200.0f, 140.0f, 120.0f};

} // namespace

PlayerExWeapon_BarionShieldFx::PlayerExWeapon_BarionShieldFx(
    GameObjectDirector* owner, const Mireku::Common::Vector2& position, float baseScale)
    : GameObject(owner), baseScale_(baseScale) {
    Mireku::Common::Vector2 at = position;
    textureSlot_ = StageTextureSlot::kBarionShieldSpark;
    if (RandomManager* random = RandomManager::GetInstance()) {
        constexpr uint32_t kStream = RandomManager::kPresentation;
        const float u1 = random->RangeFloat(kStream, 0.0f, 1.0f);
        const float u2 = random->RangeFloat(kStream, 0.0f, 1.0f);
        at.x += (200.0f * u1 - 100.0f) * baseScale;
        at.y += (200.0f * u2 - 100.0f) * baseScale;
        const float u3 = random->RangeFloat(kStream, 0.0f, 1.0f);
        SetAngle(2.0f * kPi * u3 - kPi);
        textureSlot_ += random->Next(kStream) & 3u;
    }
    SetPositionFromVector(at);
    SetScale(0.0f);
}

float PlayerExWeapon_BarionShieldFx::PictureSize(uint32_t slot) {
    const uint32_t i = slot - StageTextureSlot::kBarionShieldSpark;
    return i < kPictures ? kSizes[i] : 0.0f;
}

void PlayerExWeapon_BarionShieldFx::Update() {
    const float c = static_cast<float>(counter_);
    if (phase_ == kOpening) {
        SetScale(c * 0.5f * baseScale_);
        if (++counter_ == kFramesPerPhase) {
            phase_ = kClosing;
            counter_ = 0;
        }
        return;
    }
    SetScale((1.0f - c * 0.5f) * baseScale_);
    if (++counter_ == kFramesPerPhase)
        Vanish();
}

void PlayerExWeapon_BarionShieldFx::Draw() {
    const float size = PictureSize(textureSlot_);
    SpriteQuad::Centred(FieldSprite::Layer(SpriteLayer::kPlayerShotAdd),
                        FieldSprite::Texture(owner_, static_cast<int32_t>(textureSlot_)),
                        SpriteQuad::kAdd, 0.0f, 0.0f, size, size, screenPosition_.x,
                        screenPosition_.y, GetScale(), GetAngle());
}
