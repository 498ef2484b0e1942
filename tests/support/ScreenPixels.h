// Reading a stage's picture back from the screen on the OpenGL backend: one
// frame of the director drawn, its sprite layers flushed, the frame shown and
// the back buffer read; pixels compared with a small tolerance (the sample
// pictures are BC1, and blending rounds).
#pragma once

#include "game/stage/GameObjectDirector.h"
#include "support/StageTestSupport.h"
#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace screen_pixels {

// The screen's 1280 x 720 RGBA pixels after one drawn frame of `director`.
inline std::vector<uint8_t> DrawAndRead(stage_test::StageWorld& world,
                                        GameObjectDirector& director) {
    world.BeginFrame();
    director.DrawTree();
    world.sprites->FlushLayers();
    const float black[4] = {0, 0, 0, 1};
    world.stack.Execute(black);
    return world.stack.ReadBackBuffer();
}

inline SampleData::Rgb At(const std::vector<uint8_t>& pixels, int x, int y) {
    const uint8_t* p = &pixels[(static_cast<size_t>(y) * 1280 + x) * 4];
    return {p[0], p[1], p[2]};
}

inline ::testing::AssertionResult Near(SampleData::Rgb got, SampleData::Rgb want) {
    const auto off = [](uint8_t a, uint8_t b) { return std::abs(int(a) - int(b)) > 4; };
    if (off(got.r, want.r) || off(got.g, want.g) || off(got.b, want.b))
        return ::testing::AssertionFailure()
               << "got (" << int(got.r) << ", " << int(got.g) << ", " << int(got.b) << "), want ("
               << int(want.r) << ", " << int(want.g) << ", " << int(want.b) << ")";
    return ::testing::AssertionSuccess();
}

} // namespace screen_pixels
