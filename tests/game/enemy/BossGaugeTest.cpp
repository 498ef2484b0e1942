// The boss gauges: the shared block a director starts with, filling over
// sixty drawn frames and fading once emptied, the bounds of part counts
// and indices, the bars' crop and stretch, and the white-out.
#include "game/enemy/common/BossGauge.h"
#include "support/FieldRows.h"
#include "support/StageRig.h"

#include <cmath>

namespace {

using namespace stage_test;

class BossGaugeTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector();
        gauge.Reset();
    }
    // The gauges drawn once; their sprites.
    std::vector<Quad> Draw(int frames = 1) {
        std::vector<Quad> quads;
        for (int i = 0; i < frames; ++i) {
            world.BeginFrame();
            gauge.Draw(world.sprites->GetLayer(SpriteLayer::kHud), *director, 0xFFFFFFFFu);
            quads = world.Capture(SpriteLayer::kHud);
            world.EndFrame();
        }
        return quads;
    }

    BossGauge& gauge = BossGauge::Shared();
};

} // namespace

TEST_F(BossGaugeTest, TheDirectorStartsWithAClearBlock) {
    gauge.bossGaugeVisible = 1;
    gauge.bossWhiteOut = 0.5f;
    gauge.bossPartHealth[23] = 7.0f;
    DeleteDirector();
    MakeDirector();
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
    EXPECT_EQ(gauge.bossWhiteOut, 0.0f);
    EXPECT_EQ(gauge.bossPartHealth[23], 0.0f);
}

TEST_F(BossGaugeTest, GaugesFillInSixtyFramesThenFadeOnceEmptied) {
    // Hidden gauges neither step nor draw.
    gauge.bossHealthMax = 100.0f;
    EXPECT_TRUE(Draw().empty());
    EXPECT_EQ(gauge.bossHealthShown + gauge.bossGaugeFrame, 0.0f);
    // Start shows an empty gauge with its parts, every part cleared.
    gauge.bossPartHealth[5] = 9.0f;
    gauge.Start(3000.0f, 2);
    EXPECT_EQ(gauge.bossGaugeVisible, 1);
    EXPECT_EQ(gauge.bossPartHealth[5], 0.0f);
    gauge.SetPartTarget(0, 600);
    gauge.SetPartTarget(1, 90);
    for (int frame = 1; frame < 60; ++frame) {
        Draw();
        ASSERT_EQ(gauge.bossGaugeState, BossGauge::kFilling) << frame;
        ASSERT_FALSE(gauge.IsFull());
        if (frame == 30) {
            EXPECT_FLOAT_EQ(gauge.bossHealthShown, 1500.0f) << "a sixtieth of the maximum a frame";
            EXPECT_FLOAT_EQ(gauge.bossPartHealth[0], 300.0f);
        }
    }
    EXPECT_NEAR(gauge.bossHealthShown, 2950.0f, 0.01f);
    Draw();
    EXPECT_TRUE(gauge.IsFull());
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull);
    EXPECT_TRUE(Near({gauge.bossHealthShown, gauge.bossPartHealth[1], float(gauge.bossGaugeFrame)},
                     {3000, 90, 60 % 9}));
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull) << "stays full while the boss lives";
    gauge.bossHealthShown = 0.0f;
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFading);
    Draw(60);
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFading);
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kDone);
    gauge.Hide();
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
}

// Boss rows give the part count and indices: more than 24 parts would run
// past the arrays, an index outside them would write past them; no maximum
// would divide by zero.
TEST_F(BossGaugeTest, PartCountsIndicesAndMaximaStayInBounds) {
    for (const auto& [count, kept] : {std::pair{40, 24}, std::pair{-3, 0}}) {
        gauge.Start(100.0f, count);
        EXPECT_EQ(gauge.bossPartCount, kept);
        gauge.bossPartCount = count;
        EXPECT_EQ(gauge.PartCount(), static_cast<uint32_t>(kept));
    }
    gauge.Start(100.0f, 3);
    gauge.bossPartHealth[23] = 7.0f;
    gauge.SetPartTarget(-1, 50);
    gauge.SetPartTarget(24, 50);
    EXPECT_EQ(gauge.bossPartCount, 3) << "nothing written before the parts";
    EXPECT_EQ(gauge.bossPartHealth[23], 7.0f);
    EXPECT_EQ(gauge.bossGaugeFrame, 0) << "nor after them";
    EXPECT_EQ(gauge.bossWhiteOut, 0.0f);
    gauge.SetPartTarget(23, 50);
    EXPECT_EQ(gauge.bossPartHealthMax[23], 50.0f);
    EXPECT_EQ(gauge.bossPartHealth[23], 0.0f);
    // No maximum and no target: ratios of 0, never NaN; an empty gauge is
    // full at once.
    for (const auto& [shown, max, ratio] :
         {std::tuple{5.0f, 0.0f, 0.0f}, std::tuple{0.0f, 0.0f, 0.0f}, std::tuple{5.0f, -1.0f, 0.0f},
          std::tuple{15.0f, 10.0f, 1.0f}})
        EXPECT_EQ(BossGauge::Ratio(shown, max), ratio) << shown << " of " << max;
    gauge.bossHealthMax = 0.0f;
    Draw();
    EXPECT_FALSE(std::isnan(gauge.bossHealthShown));
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull);
}

TEST_F(BossGaugeTest, WhiteOutCoversTheScreen) {
    for (const float white : {0.5f, 0.0f}) {
        gauge.bossWhiteOut = white;
        world.BeginFrame();
        gauge.DrawScreenFlash(world.sprites->GetLayer(SpriteLayer::kHud));
        const auto quads = world.Capture(SpriteLayer::kHud);
        world.EndFrame();
        ASSERT_EQ(quads.size(), white > 0.0f ? 1u : 0u);
        if (white > 0.0f) {
            EXPECT_TRUE(Near(Sprite(quads[0]), {0, 0, 1280, 720}));
            EXPECT_EQ(quads[0].colour, 0x7FFFFFFFu) << "alpha 127: 0.5 x 255 truncated";
        }
    }
}

TEST_F(BossGaugeTest, BarsAreCroppedOrStretchedByTheirRatio) {
    StageResources& res = *director->GetResources();
    for (uint16_t id = 116; id <= 125; ++id)
        MakeTexture(res.bossTextures[id], 512, 24);
    MakeTexture(res.bossTextures[126], 128, 4);
    gauge.Start(1000.0f, 2);
    gauge.SetPartTarget(0, 100);
    gauge.SetPartTarget(1, 0); // no target: no bar
    // Fill (31 frames: 31/60 of the way), the frame, one part bar.
    const auto quads = Draw(31);
    ASSERT_EQ(quads.size(), 3u);
    const float ratio = 31.0f / 60.0f;
    EXPECT_EQ(quads[0].texture, res.bossTextures[117 + 31 % 9]) << "the fill's animation frame";
    EXPECT_TRUE(Near(Sprite(quads[0]), {287, 44, 512 * ratio, _, 0, 0, 512 * ratio}, 0.01f))
        << "cropped";
    EXPECT_EQ(quads[0].blend, 2u);
    EXPECT_EQ(quads[1].texture, res.bossTextures[116]);
    EXPECT_TRUE(Near(Sprite(quads[1]), {_, _, 512 * ratio, _, 0, 0, 512}, 0.01f)) << "stretched";
    EXPECT_EQ(quads[2].texture, res.bossTextures[126]);
    EXPECT_TRUE(Near(Sprite(quads[2]), {430, 58, 128 * ratio}, 0.01f));
}

// A boss that arrives after another starts its gauges afresh: shown,
// filling from 0 towards its own maximum, the animation at its first frame,
// every part of the last boss cleared.
TEST_F(BossGaugeTest, ANewBossStartsItsGaugesFromWhatTheLastOneLeft) {
    gauge.Start(500.0f, 24);
    for (int32_t part = 0; part < 24; ++part)
        gauge.SetPartTarget(part, 40);
    Draw(70);
    gauge.bossHealthShown = 0.0f;
    Draw(70);
    ASSERT_EQ(gauge.bossGaugeState, BossGauge::kDone);
    ASSERT_NE(gauge.bossGaugeFrame, 0);
    gauge.Hide();
    gauge.Start(3000.0f, 2);
    testsupport::ExpectFields<double>({
        {"visible", double(gauge.bossGaugeVisible), 1},
        {"state (filling)", double(gauge.bossGaugeState), BossGauge::kFilling},
        {"health shown", gauge.bossHealthShown, 0},
        {"health maximum", gauge.bossHealthMax, 3000},
        {"part count", double(gauge.bossPartCount), 2},
        {"animation frame", double(gauge.bossGaugeFrame), 0},
        {"first part's health", gauge.bossPartHealth[0], 0},
        {"last part's health", gauge.bossPartHealth[23], 0},
        {"first part's maximum", gauge.bossPartHealthMax[0], 0},
        {"last part's maximum", gauge.bossPartHealthMax[23], 0},
    });
}
