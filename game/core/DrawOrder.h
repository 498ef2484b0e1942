// The frame's draw priorities, lowest drawn first: the render thread sorts
// every command on them. The sprite layers between the two effect layers
// take theirs from SpriteManager's layer table.
#pragma once

#include <cstdint>

namespace DrawOrder {

// A screen's opaque backdrop, under everything the effects draw on it.
constexpr uint32_t kBackdrop = 1;
// The effects runtime's layer 0, under the first background layer.
constexpr uint32_t kEffectsUnder = 2;
// The sprite layers "BG" to "EtcOver" draw at 3 to 24, in layer order.
constexpr uint32_t kFirstFieldLayer = 3;
// The screens' text and icons on the heads-up layer, over effect layer 0.
constexpr uint32_t kMenuText = 3;
constexpr uint32_t kLastFieldLayer = 24;
// A stage's play-field picture (the field layers drawn into the stage's
// render target) on the heads-up layer: opaque, so everything meant to show
// over the field draws above it.
constexpr uint32_t kStageField = 26;
// The effects runtime's layer 1, over the game layers. The heads-up layer's
// table entry is the same; the frame lifts it to kHud before any scene draws.
constexpr uint32_t kEffectsOver = 27;
// The stage screen's overlays (pause window, continue counter, game-over
// and demonstration captions) on the heads-up layer, over the field picture
// and under the display's own sprites.
constexpr uint32_t kStageOverlay = 27;
// The heads-up layer, which also carries the screens' overlays.
constexpr uint32_t kHud = 28;
// The screen-wide fade, drawn on the heads-up layer above its own sprites.
constexpr uint32_t kFade = 29;

} // namespace DrawOrder
