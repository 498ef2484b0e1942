// The first boss on the OpenGL backend: once it has come down and settled,
// its body picture (with its glow added over it) is on the screen where the
// body stands, and the field beside it is empty.
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "support/EnemyTestSupport.h"
#include "support/ScreenPixels.h"
#include "tools/sampledata/GameTableData.h"

#include <algorithm>

namespace {

using SampleData::Rgb;
using screen_pixels::Near;

class BossPixels : public enemy_test::EnemyTest {
protected:
    void SetUp() override {
        if (!world.Start(sys::gpu::Backend::OpenGL)) {
            world.Stop();
            GTEST_SKIP() << "no GL context here";
        }
        world.Stop();
        StartWorld(sys::gpu::Backend::OpenGL);
    }
    void DrawAndRead() { ASSERT_TRUE(screen.Draw(world, director)); }
    Rgb At(int x, int y) const { return screen.At(x, y); }
    screen_pixels::Screen screen;
};

} // namespace

TEST_F(BossPixels, TheSettledBodyIsDrawnWhereItStands) {
    WriteStageFiles(0);
    Play(1, 0);
    auto* boss = static_cast<EnemyBoss01*>(CreateEnemyBoss(director, 280, 0));
    ASSERT_NE(boss, nullptr);
    for (int i = 0; i < 100 && boss->GetState() != EnemyBoss01::kWait; ++i)
        Frame();
    ASSERT_EQ(boss->GetState(), EnemyBoss01::kWait);
    const SampleData::SampleBossLayout look = SampleData::BossLayout(0);
    // Settled at its group's start height - half its height + its height.
    const float y = -32.0f + look.bodyHeight / 2.0f;
    ASSERT_EQ(boss->GetPosition()->y, y);
    DrawAndRead();

    // The body picture of this frame with its glow added: beside the core,
    // clear of the parts, 16 pixels in from the body's left edge.
    const uint32_t image = boss->GetFrameNumber() / 4 % 4 + 1;
    char body[64], glow[64];
    std::snprintf(body, sizeof body, "texture/game/boss/stage01/mainbody%02u.dds", image);
    std::snprintf(glow, sizeof glow, "texture/game/boss/stage01/mainbody_add%02u.dds", image);
    const Rgb b = SampleData::PictureColour(body, 0, 0);
    const Rgb g = SampleData::PictureColour(glow, 0, 0);
    const auto add = [](uint8_t p, uint8_t q) {
        return static_cast<uint8_t>(std::min(255, int(p) + int(q)));
    };
    const Rgb want = {add(b.r, g.r), add(b.g, g.g), add(b.b, g.b)};
    // 40 below its centre: under the boss gauges, which span the top of the
    // field down to y 68.
    const int screenX = 280 + 360 - look.bodyWidth / 2 + 16;
    const int screenY = static_cast<int>(y) + 40;
    EXPECT_TRUE(Near(At(screenX, screenY), want));
    EXPECT_TRUE(Near(At(280 + 360 + look.bodyWidth / 2 - 16, screenY), want))
        << "and at its right edge";
    EXPECT_TRUE(Near(At(screenX - 32, screenY), {0, 0, 0})) << "nothing beside it";
    EXPECT_TRUE(Near(At(640, static_cast<int>(y) + look.bodyHeight / 2 + 40), {0, 0, 0}))
        << "nor below it";
}
