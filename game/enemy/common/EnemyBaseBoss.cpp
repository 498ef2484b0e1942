#include "game/enemy/common/EnemyBaseBoss.h"

#include "engine/graphics/Texture.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"

namespace {

constexpr uint32_t kGroupMask = 0xFF;

} // namespace

EnemyBaseBoss::EnemyBaseBoss(GameObjectDirector* owner, uint32_t index, uint32_t group)
    : EBSS_Driver(owner, index, group & kGroupMask), group_(group & kGroupMask),
      row_(BossRowOf(index, group & kGroupMask)), index_(index) {}

void EnemyBaseBoss::ResetStepAnimation() {
    stepCountdown_ = 0;
    stepIndex_ = 0;
}

int32_t EnemyBaseBoss::DrawStepAnimation(GameObjectDirector* director, SpriteLayer layer, float x,
                                         float y, uint32_t firstTexture) {
    int32_t image = static_cast<int32_t>(stepIndex_);
    bool draw;
    if (kStepLengths[stepIndex_] != 0) {
        if (stepCountdown_ == 0)
            stepCountdown_ = kStepLengths[stepIndex_++];
        --stepCountdown_;
        draw = kStepLengths[stepIndex_] != 0;
    } else {
        // The last image lingers while its countdown runs out.
        if (stepCountdown_ == 0)
            return kNothingDrawn;
        --stepCountdown_;
        draw = stepCountdown_ != 0;
        image = static_cast<int32_t>(stepIndex_) - 1;
    }
    if (!draw)
        return kNothingDrawn;
    Mireku::Graphics::Texture* texture =
        director ? director->GetBossTexture(static_cast<uint16_t>(firstTexture + image)) : nullptr;
    SpriteManager* sprites = SpriteManager::GetInstance();
    if (texture && sprites) {
        const float w = texture->GetWidth(), h = texture->GetHeight();
        SpriteQuad::Place(sprites->GetLayer(layer), texture, SpriteQuad::kAdd, 0.0f, 0.0f, w, h,
                          x - w * 0.5f, y - h * 0.5f, w, h);
    }
    return image;
}

void EnemyBaseBoss::TextureSize(uint32_t slot, int16_t* width, int16_t* height) const {
    const GameObjectDirector* director = GetOwner();
    const Mireku::Graphics::Texture* t =
        director ? director->GetBossTexture(static_cast<uint16_t>(slot)) : nullptr;
    *width = t ? t->GetWidth() : 0;
    *height = t ? t->GetHeight() : 0;
}

Mireku::Graphics::Texture* EnemyBaseBoss::DrawBossTexture(SpriteLayer layer, uint32_t slot,
                                                          uint32_t blend, float x, float y,
                                                          Anchor anchor, uint32_t colour) const {
    const GameObjectDirector* director = GetOwner();
    SpriteManager* sprites = SpriteManager::GetInstance();
    Mireku::Graphics::Texture* t =
        director ? director->GetBossTexture(static_cast<uint16_t>(slot)) : nullptr;
    if (!t || !sprites)
        return t;
    const float w = t->GetWidth(), h = t->GetHeight();
    if (anchor == kTopLeft) {
        x += w / 2.0f;
        y += h / 2.0f;
    }
    SpriteQuad::Centred(sprites->GetLayer(layer), t, blend, 0.0f, 0.0f, w, h, x, y, scale_, angle_,
                        colour);
    return t;
}
