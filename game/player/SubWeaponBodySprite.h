// The body of a blast shot or an aimed bomb: a 48 by 48 cell of
// "subwp_ef.dds" drawn twice, alpha-blended then additive, 48 wide centred
// on the screen x and from the screen y down. Frame f of pass p is the cell
// at (48 (f mod 10), rowBase + 96 p + 48 (f div 10)).
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/SpriteQuad.h"
#include "game/stage/FieldSprite.h"
#include "game/stage/StageTextureTable.h"

#include <cstdint>

namespace SubWeaponBodySprite {

constexpr float kCell = 48.0f;
// The blast shot's rows start at the top, the bomb's below them.
constexpr float kBlastShotRows = 0.0f;
constexpr float kBombRows = 192.0f;

inline void Draw(const GameObjectDirector* owner, const Mireku::Common::Vector2& screen,
                 int32_t frame, float rowBase) {
    constexpr SpriteLayer kPasses[2] = {SpriteLayer::kPlayerShotBlend, SpriteLayer::kPlayerShotAdd};
    Mireku::Graphics::Texture* texture =
        FieldSprite::Texture(owner, StageTextureSlot::kSubWeaponBodies);
    for (int32_t pass = 0; pass < 2; ++pass)
        SpriteQuad::Place(
            FieldSprite::Layer(kPasses[pass]), texture, FieldSprite::BlendOf(kPasses[pass]),
            kCell * static_cast<float>(frame % 10),
            rowBase + 96.0f * static_cast<float>(pass) + kCell * static_cast<float>(frame / 10),
            kCell, kCell, screen.x - kCell * 0.5f, screen.y, kCell, kCell);
}

} // namespace SubWeaponBodySprite
