#include "game/player/PlayerExWeapon_BarionShieldOK.h"

#include "game/core/SpriteQuad.h"
#include "game/player/Player.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <numbers>

namespace {

constexpr float kTurn = 0.01f;
constexpr float kSpinStep = 0.03f;

} // namespace

PlayerExWeapon_BarionShieldOK::PlayerExWeapon_BarionShieldOK(GameObjectDirector* owner,
                                                             Player* player)
    : GameObject(owner), player_(player) {
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
    SetScale(0.0f);
}

void PlayerExWeapon_BarionShieldOK::Update() {
    if (player_)
        SetPositionFromVector(*player_->GetPosition());
    SetAngle(GetAngle() + kTurn);
    const float c = static_cast<float>(counter_);
    switch (phase_) {
    case 0:
        SetScale(c / 15.0f * 0.8f);
        break;
    case 1:
        SetScale(c * 0.05f * 0.4f + 0.8f);
        break;
    default:
        SetScale(c * 0.1f * 0.3f + 1.2f);
        alpha_ = static_cast<uint8_t>(255.0f - c * 0.1f * 255.0f);
        break;
    }
    if (++counter_ == kPhaseFrames[phase_ < 3 ? phase_ : 2]) {
        counter_ = 0;
        if (phase_ < 2)
            ++phase_;
        else
            Vanish();
    }
    spin_ = spin_ - kSpinStep < -1.0f ? -1.0f : spin_ - kSpinStep;
}

void PlayerExWeapon_BarionShieldOK::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kPlayerShotAdd);
    const float x = screenPosition_.x, y = screenPosition_.y, s = GetScale();
    SpriteQuad::Centred(layer, FieldSprite::Texture(owner_, StageTextureSlot::kBarionShieldRing),
                        SpriteQuad::kAdd, 0.0f, 0.0f, kRing, kRing, x, y, s, GetAngle(),
                        SpriteQuad::WhiteWithAlpha(alpha_));
    if (!layer)
        return;
    // The bars: each squeezed by the spin along one axis, then turned upright.
    Mireku::Graphics::Texture* cross =
        FieldSprite::Texture(owner_, StageTextureSlot::kBarionShieldCross);
    constexpr float kUpright = std::numbers::pi_v<float> * 0.5f;
    const float squeezes[2][2] = {{s * spin_, s}, {s, s * spin_}};
    for (const auto& squeeze : squeezes) {
        layer->SetBlend(SpriteQuad::kAdd);
        layer->SetTexture(cross);
        layer->SetRectRotatedScaled2(x - kCross * 0.5f, y - kCross * 0.5f, kCross, kCross,
                                     squeeze[0], squeeze[1], kUpright);
        layer->SetTexCoord0(0.0f, 0.0f, kCross, kCross);
        layer->SetColor(0, SpriteQuad::kWhite);
        layer->Submit();
    }
}
