#include "game/enemy/common/BossGauge.h"
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
    void Draw() {
        world.BeginFrame();
        gauge.Draw(world.sprites->GetLayer(SpriteLayer::kHud), *director, 0xFFFFFFFFu);
        world.EndFrame();
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
    gauge.bossGaugeVisible = 1;
    gauge.bossHealthMax = 3000.0f;
    gauge.bossPartCount = 2;
    gauge.bossPartHealthMax[0] = 600.0f;
    gauge.bossPartHealthMax[1] = 90.0f;
    for (int frame = 1; frame < 60; ++frame) {
        Draw();
        EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFilling) << frame;
    }
    EXPECT_NEAR(gauge.bossHealthShown, 2950.0f, 0.01f);
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull);
    EXPECT_EQ(gauge.bossHealthShown, 3000.0f);
    EXPECT_EQ(gauge.bossPartHealth[1], 90.0f);
    EXPECT_EQ(gauge.bossGaugeFrame, 60 % 9);

    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull) << "stays full while the boss lives";
    gauge.bossHealthShown = 0.0f;
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFading);
    for (int frame = 0; frame < 60; ++frame)
        Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFading);
    Draw();
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kDone);
}

TEST_F(BossGaugeTest, HiddenGaugesNeitherStepNorDraw) {
    gauge.bossHealthMax = 100.0f;
    Draw();
    EXPECT_EQ(gauge.bossHealthShown, 0.0f);
    EXPECT_EQ(gauge.bossGaugeFrame, 0);
}

TEST_F(BossGaugeTest, PartCountsAndMaximaFromBossRowsStayInBounds) {
    gauge.bossGaugeVisible = 1;
    gauge.bossPartCount = 40; // more than the 24 entries
    EXPECT_EQ(gauge.PartCount(), 24u);
    gauge.bossPartCount = -2;
    EXPECT_EQ(gauge.PartCount(), 0u);
    gauge.bossPartCount = 3;
    gauge.bossHealthMax = 0.0f; // no maximum: nothing to divide by
    Draw();
    EXPECT_FALSE(std::isnan(gauge.bossHealthShown));
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFull) << "an empty gauge is full at once";
}

TEST_F(BossGaugeTest, WhiteOutCoversTheScreen) {
    gauge.bossWhiteOut = 0.5f;
    world.BeginFrame();
    gauge.DrawScreenFlash(world.sprites->GetLayer(SpriteLayer::kHud));
    auto quads = world.Capture(SpriteLayer::kHud);
    world.EndFrame();
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].x0, 0.0f);
    EXPECT_EQ(quads[0].x1, 1280.0f);
    EXPECT_EQ(quads[0].y1, 720.0f);
    EXPECT_EQ(quads[0].colour, 0x7FFFFFFFu) << "alpha 127: 0.5 x 255 truncated";
    gauge.bossWhiteOut = 0.0f;
    world.BeginFrame();
    gauge.DrawScreenFlash(world.sprites->GetLayer(SpriteLayer::kHud));
    EXPECT_TRUE(world.Capture(SpriteLayer::kHud).empty());
    world.EndFrame();
}

TEST_F(BossGaugeTest, StartShowsAnEmptyGaugeWithItsPartsAndIsFullOnceFilled) {
    gauge.bossPartHealth[5] = 9.0f;
    gauge.Start(600.0f, 2);
    EXPECT_EQ(gauge.bossGaugeVisible, 1);
    EXPECT_EQ(gauge.bossGaugeState, BossGauge::kFilling);
    EXPECT_EQ(gauge.bossPartHealth[5], 0.0f) << "every part cleared";
    gauge.SetPartTarget(0, 120);
    gauge.SetPartTarget(1, 60);
    EXPECT_FALSE(gauge.IsFull());
    for (int frame = 0; frame < 30; ++frame)
        Draw();
    EXPECT_FLOAT_EQ(gauge.bossHealthShown, 300.0f) << "a sixtieth of the maximum a frame";
    EXPECT_FLOAT_EQ(gauge.bossPartHealth[0], 60.0f);
    for (int frame = 0; frame < 30; ++frame)
        Draw();
    EXPECT_TRUE(gauge.IsFull());
    gauge.Hide();
    EXPECT_EQ(gauge.bossGaugeVisible, 0);
}

// Boss rows give the part count and indices: more than 24 parts would run
// past the arrays, an index outside them would write past them.
TEST_F(BossGaugeTest, PartCountsAndIndicesStayInsideTheGauge) {
    gauge.Start(100.0f, 40);
    EXPECT_EQ(gauge.bossPartCount, 24);
    gauge.Start(100.0f, -3);
    EXPECT_EQ(gauge.bossPartCount, 0);
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
    // No maximum and no target: ratios of 0, never NaN.
    EXPECT_EQ(BossGauge::Ratio(5.0f, 0.0f), 0.0f);
    EXPECT_EQ(BossGauge::Ratio(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(BossGauge::Ratio(5.0f, -1.0f), 0.0f);
    EXPECT_EQ(BossGauge::Ratio(15.0f, 10.0f), 1.0f);
}

TEST_F(BossGaugeTest, BarsAreCroppedOrStretchedByTheirRatio) {
    StageResources& res = *director->GetResources();
    const auto dds = SampleData::SolidDds(512, 24, {255, 255, 255});
    const auto part = SampleData::SolidDds(128, 4, {255, 255, 255});
    for (uint16_t id = 116; id <= 125; ++id)
        res.bossTextures[id] =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
    res.bossTextures[126] = Mireku::Graphics::CreateTextureFromMemory(
        part.data(), static_cast<uint32_t>(part.size()), Mireku::Graphics::kTextureFormatFromFile);
    gauge.Start(1000.0f, 2);
    gauge.SetPartTarget(0, 100);
    gauge.SetPartTarget(1, 0); // no target: no bar
    for (int frame = 0; frame < 30; ++frame)
        Draw();
    world.BeginFrame();
    gauge.Draw(world.sprites->GetLayer(SpriteLayer::kHud), *director, 0xFFFFFFFFu);
    const auto quads = world.Capture(SpriteLayer::kHud);
    world.EndFrame();
    // Fill (31 frames: 31/60 of the way), the frame, one part bar.
    ASSERT_EQ(quads.size(), 3u);
    const float ratio = 31.0f / 60.0f;
    EXPECT_EQ(quads[0].texture, res.bossTextures[117 + 31 % 9]) << "the fill's animation frame";
    EXPECT_EQ(quads[0].x0, 287.0f);
    EXPECT_EQ(quads[0].y0, 44.0f);
    EXPECT_NEAR(quads[0].x1 - quads[0].x0, 512.0f * ratio, 0.01f);
    EXPECT_NEAR(quads[0].u1, 512.0f * ratio, 0.01f) << "cropped";
    EXPECT_EQ(quads[0].blend, 2u);
    EXPECT_EQ(quads[1].texture, res.bossTextures[116]);
    EXPECT_NEAR(quads[1].x1 - quads[1].x0, 512.0f * ratio, 0.01f);
    EXPECT_EQ(quads[1].u1, 512.0f) << "stretched";
    EXPECT_EQ(quads[2].texture, res.bossTextures[126]);
    EXPECT_EQ(quads[2].x0, 430.0f);
    EXPECT_EQ(quads[2].y0, 58.0f);
    EXPECT_NEAR(quads[2].x1 - quads[2].x0, 128.0f * ratio, 0.01f);
}
