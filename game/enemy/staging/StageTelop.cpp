#include "game/enemy/staging/StageTelop.h"

#include "game/core/SoundManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"

StageTelop::StageTelop(GameObjectDirector* owner, uint32_t line, int32_t delay)
    : GameObject(owner), line_(line), counter_(-delay) {}

void StageTelop::LineRect(uint32_t line, float* x, float* y, float* w, float* h) {
    const uint32_t l = line < 3 ? line : 2;
    *x = 10.0f;
    *y = 688.0f - static_cast<float>(2 - l) * 28.0f;
    *w = l == 0 ? 136.0f : 288.0f;
    *h = 24.0f;
}

void StageTelop::Update() {
    ++counter_;
    switch (state_) {
    case kDelay:
        if (counter_ >= 0) {
            counter_ = 0;
            state_ = kFadeIn;
        }
        break;
    case kFadeIn:
        if (counter_ >= kFadeFrames) {
            counter_ = 0;
            state_ = kHold;
        }
        break;
    case kHold:
        if (counter_ >= kHoldFrames) {
            counter_ = 0;
            state_ = kBreakUp;
            if (line_ == 0)
                if (SoundManager* s = SoundManager::GetInstance())
                    s->PlaySE(kBreakUpSound, false);
        }
        break;
    default:
        if (counter_ / kNoiseFrames >= kNoiseImages)
            GameObject::Vanish();
        break;
    }
}

void StageTelop::Draw() {
    if (state_ == kDelay || line_ > 2)
        return;
    const auto line = static_cast<int32_t>(line_);
    int32_t slot = kFirstCaption + line;
    uint32_t blend = SpriteQuad::kAlpha;
    int32_t alpha = 255;
    if (state_ == kFadeIn) {
        alpha = counter_ * 255 / kFadeFrames;
    } else if (state_ == kBreakUp) {
        if (counter_ / kNoiseFrames >= kNoiseImages)
            return;
        slot = kFirstNoise + kNoiseImages * line + counter_ / kNoiseFrames;
        blend = SpriteQuad::kAdd;
    }
    float x = 0, y = 0, w = 0, h = 0;
    LineRect(line_, &x, &y, &w, &h);
    SpriteQuad::Place(FieldSprite::Layer(SpriteLayer::kEtcOver),
                      FieldSprite::Texture(GetOwner(), slot), blend, 0.0f, 0.0f, w, h, x, y, w, h,
                      SpriteQuad::WhiteWithAlpha(alpha));
}
