#include "game/enemy/effect/PowerUpScore.h"

#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/GameObjectDirector.h"
#include "game/stage/StageTextureTable.h"

namespace {

constexpr float kCaptionLeft = 220.0f; // of the caption position

} // namespace

void PowerUpScore::Update() {
    const float side = static_cast<float>(side_);
    if (phase_ == 0) {
        caption_.x += side;
        caption_.y -= 12.0f;
        if (CountTo(kRiseUpdates))
            phase_ = 1;
    } else {
        caption_.x += 3.0f * side;
        caption_.y += 4.0f;
        if (CountTo(phase_ == 1 ? kDriftUpdates : kFadeUpdates)) {
            if (phase_ == 1)
                phase_ = 2;
            else
                Vanish();
        }
    }
    ++ticks_;
}

void PowerUpScore::Draw() {
    Mireku::Renderer::SpriteRenderer* layer = FieldSprite::Layer(SpriteLayer::kEtcOver);
    if (!layer)
        return;
    DrawRing(layer);
    const float x = caption_.x - kCaptionLeft, y = caption_.y;
    if (phase_ < 2) {
        // Blinks every two frames between its two pictures.
        const int32_t slot = StageTextureSlot::kItemScore + ((ticks_ & 2) ? 0 : 1);
        SpriteQuad::Place(layer, FieldSprite::Texture(owner_, slot), SpriteQuad::kAlpha, 0.0f, 0.0f,
                          360.0f, 64.0f, x, y, 360.0f, 64.0f);
        return;
    }
    SpriteQuad::Place(layer,
                      FieldSprite::Texture(owner_, StageTextureSlot::kItemScoreFade + counter_ / 3),
                      SpriteQuad::kAdd, 0.0f, 0.0f, 380.0f, 40.0f, x, y, 380.0f, 40.0f);
}
