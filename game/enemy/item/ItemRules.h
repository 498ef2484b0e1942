// What the pick-up items share: their hit box (doubled while the ship is in
// its Grabuster state, so the Grabuster gathers from further off) in the
// items' group, the pick-up's own vanish, flying home to the ship, the
// protection a power-up gives, the Hyperio display's refresh, and a
// centred sprite of a stage texture.
#pragma once

#include "engine/common/Vector2.h"
#include "game/core/SpriteLayer.h"

#include <cstdint>

class GameObject;
class GameObjectDirector;

namespace ItemRules {

constexpr uint32_t kGroup = 1;
constexpr float kHomingSpeed = 20.0f;

// A w x h box centred on the item (2w x 2h in the Grabuster state),
// registered for the next collision pass.
void RegisterBox(GameObject& item, int16_t w, int16_t h);
// Hit shape off and the 3-frame vanish: the item is taken.
void Take(GameObject& item);
// 20 units towards the ship; nothing without a ship or when the item is
// already on it (there is no direction to go).
void Home(GameObject& item);
// The invincibility the mode's system row gives after a power-up.
void Protect();
// The Hyperio gauge raised: the ship shows its level again.
void RefreshHyperioDisplay(GameObjectDirector* director);
// The ship's state byte (0 without a ship).
uint8_t ShipState(const GameObjectDirector* director);
// The texel rectangle (u, v, w, h) of stage texture `slot` at its own size
// centred on `centre` (screen), on `layer` with its blend.
void Centred(const GameObjectDirector* director, SpriteLayer layer, int32_t slot, float u, float v,
             float w, float h, const Mireku::Common::Vector2& centre);

} // namespace ItemRules
