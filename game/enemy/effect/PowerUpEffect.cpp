#include "game/enemy/effect/PowerUpEffect.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kCaptionWidth = 480.0f;
constexpr float kCaptionHeight = 64.0f;
constexpr float kCaptionLeft = 220.0f; // of the caption position
constexpr float kCaptionScale = 0.75f;

} // namespace

void PowerUpEffect::Update() {
    if (phase_ == 0) {
        caption_.y -= 12.0f;
        if (CountTo(kRiseUpdates))
            phase_ = 1;
    } else {
        caption_.x -= 3.0f;
        caption_.y += 4.0f;
        if (CountTo(kDriftUpdates))
            Vanish();
    }
    ++ticks_;
}

void PowerUpEffect::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kEtcUnder);
    if (!layer)
        return;
    DrawRing(layer);
    const auto alpha = phase_ == 0
                           ? static_cast<int32_t>(static_cast<float>(counter_) * 0.1f * 255.0f)
                           : static_cast<int32_t>(255.0f - static_cast<float>(counter_) * 255.0f /
                                                               static_cast<float>(kDriftUpdates));
    Mireku::Graphics::Texture* texture = FieldSprite::Texture(owner_, StageTextureSlot::kSozai1);
    // The glow, then the letters over it.
    constexpr float kRows[2] = {672.0f, 608.0f};
    constexpr uint32_t kBlends[2] = {SpriteQuad::kAdd, SpriteQuad::kAlpha};
    for (int pass = 0; pass < 2; ++pass) {
        layer->SetBlend(kBlends[pass]);
        layer->SetTexture(texture);
        layer->SetRectScaledUniform(caption_.x - kCaptionLeft, caption_.y, kCaptionWidth,
                                    kCaptionHeight, kCaptionScale);
        layer->SetTexCoord0(0.0f, kRows[pass], kCaptionWidth, kCaptionHeight);
        layer->SetColor(0, SpriteQuad::WhiteWithAlpha(alpha));
        layer->Submit();
    }
}
