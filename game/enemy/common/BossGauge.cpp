#include "game/enemy/common/BossGauge.h"

#include "engine/graphics/Texture.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"

namespace {

float FillTowards(float value, float maximum) {
    const float next = value + maximum / BossGauge::kFillFrames;
    return next > maximum ? maximum : next;
}

} // namespace

BossGauge& BossGauge::Shared() {
    static BossGauge gauge;
    return gauge;
}

void BossGauge::Reset() {
    *this = BossGauge();
}

void BossGauge::Start(float maximum, int32_t partCount) {
    bossGaugeVisible = 1;
    bossGaugeState = kFilling;
    bossHealthShown = 0.0f;
    bossHealthMax = maximum;
    bossGaugeFrame = 0;
    bossPartCount = partCount < 0                                  ? 0
                    : static_cast<uint32_t>(partCount) > kMaxParts ? static_cast<int32_t>(kMaxParts)
                                                                   : partCount;
    for (uint32_t i = 0; i < kMaxParts; ++i)
        bossPartHealth[i] = bossPartHealthMax[i] = 0.0f;
}

void BossGauge::SetPartTarget(int32_t part, int32_t target) {
    if (part < 0 || static_cast<uint32_t>(part) >= kMaxParts)
        return;
    bossPartHealth[part] = 0.0f;
    bossPartHealthMax[part] = static_cast<float>(target);
}

float BossGauge::Ratio(float part, float whole) {
    if (!(whole > 0.0f))
        return 0.0f;
    const float r = part / whole;
    return r < 0.0f ? 0.0f : (r > 1.0f ? 1.0f : r);
}

uint32_t BossGauge::PartCount() const {
    if (bossPartCount < 0)
        return 0;
    return static_cast<uint32_t>(bossPartCount) > kMaxParts ? kMaxParts
                                                            : static_cast<uint32_t>(bossPartCount);
}

void BossGauge::Step() {
    const uint32_t parts = PartCount();
    switch (bossGaugeState) {
    case kFilling: {
        bossHealthShown = FillTowards(bossHealthShown, bossHealthMax);
        bool full = bossHealthShown >= bossHealthMax;
        for (uint32_t i = 0; i < parts; ++i) {
            bossPartHealth[i] = FillTowards(bossPartHealth[i], bossPartHealthMax[i]);
            full = full && bossPartHealth[i] >= bossPartHealthMax[i];
        }
        if (full)
            bossGaugeState = kFull;
        frameRatio_ = Ratio(bossHealthShown, bossHealthMax);
        break;
    }
    case kFull:
        frameRatio_ = 1.0f;
        if (bossHealthShown <= 0.0f) {
            fadeCounter = kFadeFrames;
            bossGaugeState = kFading;
        }
        break;
    case kFading:
        if (--fadeCounter < 0) {
            fadeCounter = 0;
            bossGaugeState = kDone;
        }
        frameRatio_ = static_cast<float>(fadeCounter) / kFadeFrames;
        break;
    default:
        frameRatio_ = 0.0f;
        break;
    }
    bossGaugeFrame = (bossGaugeFrame + 1) % kAnimationFrames;
}

void BossGauge::Draw(Mireku::Renderer::SpriteRenderer* layer, const GameObjectDirector& director,
                     uint32_t colour) {
    if (!bossGaugeVisible)
        return;
    Step();
    DrawBar(layer, director, colour, static_cast<uint16_t>(kFillTexture + bossGaugeFrame), 7.0f,
            44.0f, Ratio(bossHealthShown, bossHealthMax), true);
    DrawBar(layer, director, colour, kFrameTexture, 7.0f, 44.0f, frameRatio_, false);
    for (uint32_t i = 0; i < PartCount(); ++i)
        DrawBar(layer, director, colour, kPartTexture, 150.0f, 58.0f + 4.0f * static_cast<float>(i),
                Ratio(bossPartHealth[i], bossPartHealthMax[i]), true);
}

void BossGauge::DrawBar(Mireku::Renderer::SpriteRenderer* layer, const GameObjectDirector& director,
                        uint32_t colour, uint16_t texture, float x, float y, float ratio,
                        bool cropped) const {
    Mireku::Graphics::Texture* t = director.GetBossTexture(texture);
    if (!t || ratio <= 0.0f)
        return;
    const float w = t->GetWidth(), h = t->GetHeight();
    SpriteQuad::Place(layer, t, SpriteQuad::kAdd, 0.0f, 0.0f, cropped ? w * ratio : w, h,
                      x + ScreenLayout::kFieldLeft, y, w * ratio, h, colour);
}

void BossGauge::DrawScreenFlash(Mireku::Renderer::SpriteRenderer* layer) const {
    if (!(bossWhiteOut > 0.0f))
        return;
    SpriteQuad::Place(layer, nullptr, SpriteQuad::kAlpha, 0.0f, 0.0f, 1.0f, 1.0f, 0.0f, 0.0f,
                      ScreenLayout::kWidth, ScreenLayout::kHeight,
                      SpriteQuad::WhiteWithAlpha(static_cast<int32_t>(bossWhiteOut * 255.0f)));
}
