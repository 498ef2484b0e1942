// What a stage object needs to draw one sprite: the sprite layer of its kind
// (null without the sprite manager) and that layer's own blend. A missing
// stage texture still draws: the renderer then uses its default texture.
#pragma once

#include "game/core/SpriteLayer.h"
#include "game/core/SpriteManager.h"
#include "game/stage/GameObjectDirector.h"

#include <cstdint>

namespace FieldSprite {

inline Mireku::Renderer::SpriteRenderer* Layer(SpriteLayer layer) {
    SpriteManager* sprites = SpriteManager::GetInstance();
    return sprites ? sprites->GetLayer(layer) : nullptr;
}

inline uint32_t BlendOf(SpriteLayer layer) {
    return SpriteManager::kLayers[static_cast<uint32_t>(layer)].blend;
}

// The stage texture of a slot; null without a director or an empty slot.
inline Mireku::Graphics::Texture* Texture(const GameObjectDirector* director, int32_t slot) {
    return director ? director->GetTexture(slot) : nullptr;
}

} // namespace FieldSprite
