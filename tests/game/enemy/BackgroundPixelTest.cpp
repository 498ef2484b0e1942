// The stage background on the OpenGL backend, one plane at a time (the
// others gone): the far plane's left edge against the ship at ratios -1, 0
// and 1, the map stack's seam moving down by (H - 720) / period a frame,
// and the hidden star fields shown at full strength 60 frames after the
// holder's Activate.
#include "game/enemy/background/BG_Effect.h"
#include "game/enemy/background/BG_Plane.h"
#include "game/enemy/background/BG_UpperPlane.h"
#include "game/enemy/background/ObjBG.h"
#include "game/stage/StageResources.h"
#include "support/EnemyTestSupport.h"
#include "support/ScreenPixels.h"

#include <cmath>
#include <typeinfo>

namespace {

using SampleData::Rgb;
using screen_pixels::Near;

constexpr int kFieldLeft = 280; // the field's left edge on the screen

class BackgroundPixels : public enemy_test::EnemyTest {
protected:
    void SetUp() override {
        if (!world.Start(sys::gpu::Backend::OpenGL)) {
            world.Stop();
            GTEST_SKIP() << "no GL context here";
        }
        world.Stop();
        StartWorld(sys::gpu::Backend::OpenGL);
        Play(1, 0);
        world.gw->player.invincible = 1;
    }
    // Only planes of class T stay.
    template <class T> void KeepOnly() {
        for (GameObject* c = director->GetFirstChild(); c; c = c->GetNextSibling())
            if (dynamic_cast<BG_Base*>(c) && typeid(*c) != typeid(T))
                c->Vanish();
        // The ship goes too: nothing but the plane on the field.
        if (Player* p = director->GetPlayer())
            p->visible = 0;
        Frames(4);
    }
    // A solid w x h picture in stage texture slot `id`.
    void Solid(int32_t id, uint32_t w, uint32_t h, Rgb colour) {
        // No background files were written: the slot is empty, and the
        // stage's resources release what is put there.
        Mireku::Graphics::Texture*& slot = director->GetResources()->stageTextures[id];
        ASSERT_EQ(slot, nullptr);
        const auto dds = SampleData::SolidDds(w, h, colour);
        slot =
            Mireku::Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                      Mireku::Graphics::kTextureFormatFromFile);
    }
    Rgb At(int fieldX, int y) const { return screen.At(kFieldLeft + fieldX, y); }
    screen_pixels::Screen screen;
};

} // namespace

TEST_F(BackgroundPixels, TheFarPlanesLeftEdgeShiftsAgainstTheShip) {
    const Rgb red = SampleData::Bc1Colour({200, 40, 40});
    Solid(51, 400, 720, red); // left = 360 - 200 - (400 - 720) / 2 x ratio
    KeepOnly<BG_Plane>();
    for (const float ratio : {-1.0f, 0.0f, 1.0f}) {
        director->SetScrollRatio(ratio);
        ASSERT_TRUE(screen.Draw(world, director));
        const int left = static_cast<int>(160.0f + 160.0f * ratio);
        EXPECT_TRUE(Near(At(left + 2, 360), red)) << ratio;
        EXPECT_TRUE(Near(At(left + 397, 360), red)) << ratio;
        if (left > 2) {
            EXPECT_TRUE(Near(At(left - 3, 360), {0, 0, 0})) << ratio;
        }
        if (left + 403 < 720) {
            EXPECT_TRUE(Near(At(left + 403, 360), {0, 0, 0})) << ratio;
        }
    }
}

TEST_F(BackgroundPixels, TheMapStackMovesDownByItsExtraHeightOverItsPeriod) {
    const Rgb low = SampleData::Bc1Colour({40, 200, 40});
    const Rgb mid = SampleData::Bc1Colour({40, 40, 200});
    // Three 720-wide pictures of 800: H = 2400, (H - 720) / 5400 a frame.
    Solid(52, 720, 800, low);
    Solid(53, 720, 800, mid);
    Solid(54, 720, 800, {200, 200, 40});
    KeepOnly<BG_UpperPlane>();
    BG_UpperPlane* plane = ChildrenOf<BG_UpperPlane>()[0];
    Frames(996);
    ASSERT_TRUE(screen.Draw(world, director));
    const float rate = (2400.0f - 720.0f) / 5400.0f;
    EXPECT_NEAR(director->GetMapScroll(), rate * static_cast<float>(plane->GetFrameCounter()),
                1e-2f);
    // The seam between the lowest and the next: 720 - 800 + scroll.
    const int seam = static_cast<int>(std::lround(-80.0f + director->GetMapScroll()));
    ASSERT_GT(seam, 10);
    EXPECT_TRUE(Near(At(360, seam + 3), low));
    EXPECT_TRUE(Near(At(360, seam - 4), mid));
    const int before = seam;
    Frames(100);
    ASSERT_TRUE(screen.Draw(world, director));
    const int after = static_cast<int>(std::lround(-80.0f + director->GetMapScroll()));
    EXPECT_NEAR(after - before, 100.0f * rate, 1.0f);
    EXPECT_TRUE(Near(At(360, after + 3), low));
    EXPECT_TRUE(Near(At(360, after - 4), mid));
}

TEST_F(BackgroundPixels, HiddenStarFieldsShineFully60FramesAfterActivate) {
    // The star layer adds: both fields at full strength add up.
    const Rgb a = SampleData::Bc1Colour({80, 20, 0}), b = SampleData::Bc1Colour({0, 40, 120});
    const Rgb star{static_cast<uint8_t>(a.r + b.r), static_cast<uint8_t>(a.g + b.g),
                   static_cast<uint8_t>(a.b + b.b)};
    Solid(58, 360, 512, a);
    Solid(59, 360, 512, b);
    // The shown three have no pictures here: they draw nothing.
    KeepOnly<BG_Effect>();
    ASSERT_TRUE(screen.Draw(world, director));
    EXPECT_TRUE(Near(At(360, 100), {0, 0, 0})) << "hidden before";
    g_currentBackground->Activate();
    Frames(59);
    EXPECT_LT(g_currentBackground->GetStarPlane(4)->GetAlpha(), 1.0f);
    ASSERT_TRUE(screen.Draw(world, director)); // the 60th drawn frame
    EXPECT_EQ(g_currentBackground->GetStarPlane(3)->GetAlpha(), 1.0f);
    EXPECT_EQ(g_currentBackground->GetStarPlane(4)->GetAlpha(), 1.0f);
    EXPECT_TRUE(Near(At(100, 100), star));
    EXPECT_TRUE(Near(At(600, 100), star));
}
