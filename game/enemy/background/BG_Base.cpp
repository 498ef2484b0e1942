#include "game/enemy/background/BG_Base.h"

#include "engine/graphics/Texture.h"
#include "game/core/ScreenLayout.h"
#include "game/core/SpriteManager.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/GameObjectDirector.h"

BG_Base::BG_Base(GameObjectDirector* owner, uint32_t context)
    : GameObject(owner), context_(context) {}

void BG_Base::Setup(uint8_t flag, uint32_t layer, int32_t textureId) {
    flag_ = flag;
    layer_ = layer;
    textureId_ = textureId;
}

void BG_Base::SetSpeed(float speed) {
    speed_ = speed;
}

Mireku::Graphics::Texture* BG_Base::Texture(int32_t id) const {
    const GameObjectDirector* director = GetOwner();
    return director && id != kNoTexture ? director->GetTexture(id) : nullptr;
}

float BG_Base::LeftOf(float w) const {
    const GameObjectDirector* director = GetOwner();
    const float ratio = director ? director->GetScrollRatio() : 0.0f;
    constexpr float kField = ScreenLayout::kFieldSize;
    return kField / 2.0f - w / 2.0f - (w - kField) / 2.0f * ratio;
}

void BG_Base::Submit(Mireku::Graphics::Texture* texture, float x, float y, uint32_t colour) const {
    SpriteManager* sprites = SpriteManager::GetInstance();
    if (!texture || !sprites || layer_ >= SpriteManager::kLayerCount)
        return;
    const float w = texture->GetWidth(), h = texture->GetHeight();
    SpriteQuad::Place(sprites->GetLayerAt(layer_), texture, SpriteManager::kLayers[layer_].blend,
                      0.0f, 0.0f, w, h, x, y, w, h, colour);
}
