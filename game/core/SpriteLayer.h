// The game's 23 sprite layers, in drawing order: game objects submit to the
// layer of their kind by name (SpriteManager::GetLayer). All but the
// heads-up layer cover the 720 by 720 play field; "HUD" covers the screen.
#pragma once

#include <cstdint>

enum class SpriteLayer : uint32_t {
    kBG,
    kBGStar,
    kBGParts,
    kBGGround,
    kBGBomb,
    kBGEffect,
    kEtcUnder,
    kEnemyBombParts,
    kEnemyBomb,
    kEnemyBlend,
    kEnemyAdd,
    kPlayerShotFx,
    kPlayerShotBlend,
    kPlayerShotAdd,
    kItemBlend1,
    kItemAdd1,
    kItemBlend2,
    kItemAdd2,
    kPlayer,
    kEnemyShotBlend,
    kEnemyShotAdd,
    kEtcOver,
    kHud,
};

constexpr uint32_t kSpriteLayerCount = static_cast<uint32_t>(SpriteLayer::kHud) + 1;
static_assert(kSpriteLayerCount == 23);
