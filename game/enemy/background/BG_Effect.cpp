#include "game/enemy/background/BG_Effect.h"

#include "engine/graphics/Texture.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteQuad.h"
#include "game/enemy/background/ObjBG.h"

#include <cmath>

BG_Effect::~BG_Effect() {
    if (g_currentBackground)
        g_currentBackground->ForgetStarPlane(this);
}

void BG_Effect::Start(bool visible, int32_t countdown, float factor, float alpha) {
    visible_ = visible ? 1 : 0;
    boosted_ = 0;
    countdown_ = countdown;
    factor_ = factor;
    scroll_ = 0.0f;
    alpha_ = alpha;
}

void BG_Effect::Boost() {
    visible_ = 1;
    boosted_ = 1;
}

void BG_Effect::Step() {
    if (boosted_) {
        factor_ = factor_ + kFactorRise < kFastFactor ? factor_ + kFactorRise : kFastFactor;
        // Full after 60 frames: the float sum of the sixtieths falls short.
        alpha_ = alpha_ + kAlphaRise < 1.0f - kAlphaRise * 0.5f ? alpha_ + kAlphaRise : 1.0f;
    } else if (--countdown_ < 0) {
        countdown_ = -1; // stays run out
        factor_ = factor_ - kFactorFall > 1.0f ? factor_ - kFactorFall : 1.0f;
    }
    scroll_ += factor_ * speed_;
}

void BG_Effect::Draw() {
    if (textureId_ == kNoTexture || !visible_)
        return;
    Step();
    Mireku::Graphics::Texture* texture = Texture(textureId_);
    if (!texture)
        return;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    const float offset = scroll_ - kWrap * std::trunc(scroll_ / kWrap);
    const uint32_t colour = SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(alpha_ * 255.0f));
    constexpr float kField = ScreenLayout::kFieldSize;
    for (int32_t r = 0; r < kRows; ++r)
        for (int32_t c = 0; c < kColumns; ++c)
            Submit(texture, static_cast<float>(c) * w + (kField - 2.0f * w) / 2.0f,
                   offset - static_cast<float>(r) * h, colour);
}
