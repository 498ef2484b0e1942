#include "game/enemy/common/BossGauge.h"
#include "support/StageTestSupport.h"

#include <cmath>

namespace {

using stage_test::StageTest;

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
