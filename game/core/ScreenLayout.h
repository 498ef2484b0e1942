// The game's screen and play field, in pixels: the one place for both.
// Game positions have x centred on the field (-360 to 360) and y from 0 at
// the top to 720; the field layers draw them at (x + 360, y) on a 720 by 720
// target that sits on the 1280 by 720 screen at x 280.
#pragma once

#include <cstdint>

namespace ScreenLayout {

constexpr int32_t kWidth = 1280;
constexpr int32_t kHeight = 720;
constexpr int32_t kFieldSize = 720;
constexpr int32_t kFieldLeft = (kWidth - kFieldSize) / 2; // 280
constexpr int32_t kFieldRight = kFieldLeft + kFieldSize;  // 1000
// Game x plus this is the x on the field layers.
constexpr int32_t kFieldHalfWidth = kFieldSize / 2;

static_assert(kFieldLeft == 280 && kFieldRight == 1000);

constexpr float FieldLayerX(float gameX) {
    return gameX + static_cast<float>(kFieldHalfWidth);
}

} // namespace ScreenLayout
