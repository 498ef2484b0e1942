// The enemies' side on the OpenGL backend, read back from the screen: the
// first boss settled where it stands, and the stage background one plane at
// a time (the others gone): the far plane's left edge against the ship at
// ratios -1, 0 and 1, the map stack's seam moving down by (H - 720) /
// period a frame, and the hidden star fields shown at full strength 60
// frames after the holder's Activate.
#include "game/enemy/background/BG_Effect.h"
#include "game/enemy/background/BG_Plane.h"
#include "game/enemy/background/BG_UpperPlane.h"
#include "game/enemy/background/ObjBG.h"
#include "game/enemy/boss01/BossCreation.h"
#include "game/enemy/boss01/EnemyBoss01.h"
#include "support/StageRig.h"
#include "tools/sampledata/GameTableData.h"

#include <cmath>
#include <typeinfo>

namespace {

using namespace stage_test;

class EnemyPixels : public PixelTest {
protected:
    // Only planes of class T stay, and the ship goes: nothing but the plane
    // on the field.
    template <class T> void KeepOnly() {
        Play(1, 0);
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (dynamic_cast<BG_Base*>(c) && typeid(*c) != typeid(T))
                c->Vanish();
        ship->visible = 0;
        Frames(4);
    }
    // A solid w x h picture in stage texture slot `id`, empty until now (no
    // background file was written).
    void Solid(int32_t id, uint32_t w, uint32_t h, Rgb colour) {
        ASSERT_EQ(director->GetTexture(id), nullptr);
        MakeTexture(director->GetResources()->stageTextures[id], w, h, colour);
    }
    // A pixel of the field (which starts at screen x 280).
    Rgb Field(int x, int y) const { return At(static_cast<float>(280 + x), y); }
};

} // namespace

TEST_F(EnemyPixels, TheSettledBodyIsDrawnWhereItStands) {
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
    Screen();
    // The body picture of this frame with its glow added: beside the core,
    // clear of the parts, 16 pixels in from the body's left edge, 40 below
    // its centre (under the boss gauges, which reach down to y 68).
    const uint32_t image = boss->GetFrameNumber() / 4 % 4 + 1;
    char body[64], glow[64];
    std::snprintf(body, sizeof body, "texture/game/boss/stage01/mainbody%02u.dds", image);
    std::snprintf(glow, sizeof glow, "texture/game/boss/stage01/mainbody_add%02u.dds", image);
    const Rgb want =
        Sum(SampleData::PictureColour(body, 0, 0), SampleData::PictureColour(glow, 0, 0));
    const int left = 360 - look.bodyWidth / 2 + 16, row = static_cast<int>(y) + 40;
    EXPECT_TRUE(SameColour(Field(left, row), want));
    EXPECT_TRUE(SameColour(Field(360 + look.bodyWidth / 2 - 16, row), want)) << "at its right edge";
    EXPECT_TRUE(SameColour(Field(left - 32, row), {0, 0, 0})) << "nothing beside it";
    EXPECT_TRUE(SameColour(Field(360, static_cast<int>(y) + look.bodyHeight / 2 + 40), {0, 0, 0}))
        << "nor below it";
}

TEST_F(EnemyPixels, TheFarPlanesLeftEdgeShiftsAgainstTheShip) {
    const Rgb red = SampleData::Bc1Colour({200, 40, 40});
    KeepOnly<BG_Plane>();
    Solid(51, 400, 720, red); // left = 360 - 200 - (400 - 720) / 2 x ratio
    for (const float ratio : {-1.0f, 0.0f, 1.0f}) {
        director->SetScrollRatio(ratio);
        Screen();
        const int left = static_cast<int>(160.0f + 160.0f * ratio);
        EXPECT_TRUE(SameColour(Field(left + 2, 360), red)) << ratio;
        EXPECT_TRUE(SameColour(Field(left + 397, 360), red)) << ratio;
        if (left > 2) {
            EXPECT_TRUE(SameColour(Field(left - 3, 360), {0, 0, 0})) << ratio;
        }
        if (left + 403 < 720) {
            EXPECT_TRUE(SameColour(Field(left + 403, 360), {0, 0, 0})) << ratio;
        }
    }
}

TEST_F(EnemyPixels, TheMapStackMovesDownByItsExtraHeightOverItsPeriod) {
    const Rgb low = SampleData::Bc1Colour({40, 200, 40});
    const Rgb mid = SampleData::Bc1Colour({40, 40, 200});
    KeepOnly<BG_UpperPlane>();
    // Three 720-wide pictures of 800: H = 2400, (H - 720) / 5400 a frame.
    Solid(52, 720, 800, low);
    Solid(53, 720, 800, mid);
    Solid(54, 720, 800, {200, 200, 40});
    BG_UpperPlane* plane = ChildrenOf<BG_UpperPlane>()[0];
    Frames(996);
    const float rate = (2400.0f - 720.0f) / 5400.0f;
    int before = 0;
    for (int round = 0; round < 2; ++round) {
        Screen();
        EXPECT_NEAR(director->GetMapScroll(), rate * static_cast<float>(plane->GetFrameCounter()),
                    1e-2f);
        // The seam between the lowest and the next: 720 - 800 + scroll.
        const int seam = static_cast<int>(std::lround(-80.0f + director->GetMapScroll()));
        ASSERT_GT(seam, 10);
        EXPECT_TRUE(SameColour(Field(360, seam + 3), low));
        EXPECT_TRUE(SameColour(Field(360, seam - 4), mid));
        if (round) {
            EXPECT_NEAR(seam - before, 100.0f * rate, 1.0f);
        }
        before = seam;
        Frames(100);
    }
}

TEST_F(EnemyPixels, HiddenStarFieldsShineFully60FramesAfterActivate) {
    // The star layer adds: both fields at full strength add up; the shown
    // three have no pictures here: they draw nothing.
    const Rgb a = SampleData::Bc1Colour({80, 20, 0}), b = SampleData::Bc1Colour({0, 40, 120});
    KeepOnly<BG_Effect>();
    Solid(58, 360, 512, a);
    Solid(59, 360, 512, b);
    Screen();
    EXPECT_TRUE(SameColour(Field(360, 100), {0, 0, 0})) << "hidden before";
    g_currentBackground->Activate();
    Frames(59);
    EXPECT_LT(g_currentBackground->GetStarPlane(4)->GetAlpha(), 1.0f);
    Screen(); // the 60th drawn frame
    EXPECT_EQ(g_currentBackground->GetStarPlane(3)->GetAlpha(), 1.0f);
    EXPECT_EQ(g_currentBackground->GetStarPlane(4)->GetAlpha(), 1.0f);
    EXPECT_TRUE(SameColour(Field(100, 100), Sum(a, b)));
    EXPECT_TRUE(SameColour(Field(600, 100), Sum(a, b)));
}
