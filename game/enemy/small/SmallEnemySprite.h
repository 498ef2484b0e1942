// The two sprite shapes the small enemy families draw beside the common
// draw: a frame rectangle of the type's sheet turned by an angle of their
// own, and a warp-in picture drawn whole.
#pragma once

#include "engine/common/Vector2.h"
#include "engine/graphics/Texture.h"
#include "game/core/SpriteQuad.h"
#include "game/core/tables/TexelRect.h"
#include "game/stage/FieldSprite.h"

#include <cstdint>

namespace SmallEnemySprite {

// The rectangle at its own size (both corners count), centred on `centre`,
// scaled and turned about its centre.
inline void Rect(SpriteLayer layer, Mireku::Graphics::Texture* sheet, const TexelRect& r,
                 const Mireku::Common::Vector2& centre, float scale, float angle,
                 uint32_t colour = SpriteQuad::kWhite) {
    SpriteQuad::Centred(FieldSprite::Layer(layer), sheet, FieldSprite::BlendOf(layer),
                        static_cast<float>(r.left), static_cast<float>(r.top), r.Width(),
                        r.Height(), centre.x, centre.y, scale, angle, colour);
}

// The whole picture, axis-aligned and unscaled, centred on `centre`;
// nothing without a picture (a warp image the stage did not load).
inline void Whole(SpriteLayer layer, Mireku::Graphics::Texture* picture,
                  const Mireku::Common::Vector2& centre) {
    if (!picture)
        return;
    const auto w = static_cast<float>(picture->GetWidth());
    const auto h = static_cast<float>(picture->GetHeight());
    SpriteQuad::Centred(FieldSprite::Layer(layer), picture, FieldSprite::BlendOf(layer), 0.0f, 0.0f,
                        w, h, centre.x, centre.y, 1.0f, 0.0f);
}

// A warp-in picture (enemy texture number `texture`: the warp pictures follow
// the enemy and bullet sheets) drawn whole on `layer`.
inline void Warp(const GameObjectDirector* director, SpriteLayer layer, int32_t texture,
                 const Mireku::Common::Vector2& centre) {
    Whole(layer, director ? director->GetEnemySheet(texture) : nullptr, centre);
}

} // namespace SmallEnemySprite
