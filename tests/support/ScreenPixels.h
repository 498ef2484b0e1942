// Pixel tests of a stage on the OpenGL backend: one frame of the director
// drawn, executed and read back from the screen, and colours compared with
// the few steps of rounding that blending and filtering leave.
#pragma once

#include "support/StageTestSupport.h"
#include "tools/sampledata/StageData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace screen_pixels {

using SampleData::Rgb;

class Screen {
public:
    // One frame of `director` (the tree into its target, then the heads-up
    // display) on a black screen, and its pixels.
    bool Draw(stage_test::StageWorld& world, GameObjectDirector* director) {
        world.BeginFrame();
        director->DrawTree();
        world.sprites->FlushLayers();
        const float black[4] = {0, 0, 0, 1};
        world.stack.Execute(black);
        pixels_ = world.stack.ReadBackBuffer();
        return pixels_.size() == 1280u * 720u * 4u;
    }
    Rgb At(int x, int y) const {
        const uint8_t* p = &pixels_[(static_cast<size_t>(y) * 1280 + static_cast<size_t>(x)) * 4];
        return {p[0], p[1], p[2]};
    }

private:
    std::vector<uint8_t> pixels_;
};

// A stage on the OpenGL backend over loose files: the sample stage map and
// the sample pictures whose paths begin with Pictures(). Skipped where
// there is no GL context. The test makes `director`; it is deleted here.
class PixelStage : public testing::Test {
protected:
    virtual const char* Pictures() const = 0;
    void SetUp() override {
        if (!world.Start(sys::gpu::Backend::OpenGL)) {
            world.Stop();
            GTEST_SKIP() << "no GL context here";
        }
        world.Write(SampleData::StageMapPath(0), SampleData::BuildStageMap(0));
        for (SampleData::StageFile& f : SampleData::BuildStageFiles())
            if (f.path.rfind(Pictures(), 0) == 0)
                world.Write(f.path, f.bytes);
        world.UseLooseFiles();
    }
    void TearDown() override {
        delete director;
        director = nullptr;
        world.Stop();
    }

    stage_test::StageWorld world;
    GameObjectDirector* director = nullptr;
    Screen screen;
};

inline ::testing::AssertionResult Near(Rgb got, Rgb want) {
    const auto off = [](uint8_t a, uint8_t b) { return std::abs(int(a) - int(b)) > 4; };
    if (off(got.r, want.r) || off(got.g, want.g) || off(got.b, want.b))
        return ::testing::AssertionFailure()
               << "got (" << int(got.r) << ", " << int(got.g) << ", " << int(got.b) << "), want ("
               << int(want.r) << ", " << int(want.g) << ", " << int(want.b) << ")";
    return ::testing::AssertionSuccess();
}

} // namespace screen_pixels
