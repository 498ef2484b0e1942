// Player::Draw on the "Player" layer: exhaust, Grabuster aura, body with its
// overlays, hit indicator and the Grabuster countdown.
#include "game/core/SpriteQuad.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;
using Slot = int32_t;
namespace S = StageTextureSlot;

class ShipDraw : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Begin();
        for (Slot s :
             {S::kShip, S::kShipExhaust, S::kShipExhaust + 1, S::kShipExhaust + 2, S::kGuard,
              S::kInvincible, S::kGrabusterCount, S::kUi1, S::kGrabusterAdd, S::kGrabusterAdd + 1,
              S::kGrabusterAdd + 2, S::kGrabusterSub, S::kGrabusterSub + 1, S::kGrabusterSub + 2})
            Texture(s, 64, 64);
        Player::SharedDrawCounters() = {};
    }
    // The ship drawn once: its sprites (those of one texture when a slot is
    // given).
    std::vector<Quad> Drawn(Slot slot = -1) {
        std::vector<Quad> out;
        for (const Quad& q : DrawnBy(ship, SpriteLayer::kPlayer))
            if (slot < 0 || q.texture == director->GetTexture(slot))
                out.push_back(q);
        return out;
    }
    void Grabuster(uint8_t phase, uint8_t step) {
        ship->state = Player::kGrabuster;
        ship->grabPhase = phase;
        ship->grabStep = step;
    }
};

} // namespace

TEST_F(ShipDraw, AHiddenShipDrawsNothingAtAll) {
    Work().guard = 1;
    Work().invincible = 1;
    Grabuster(Player::kGrabDrain, 0);
    ship->grabFramesLeft = 30;
    ship->visible = 0;
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(ship->grabLastBeep, 0) << "no countdown, no beep";
    ship->visible = 1;
    EXPECT_FALSE(Drawn().empty());
}

// Bank frame b = 2 + trunc(2 sin(bank pi / 2)) picks the body (96 b) and
// the exhaust's texture (2, 1, 1, 2, 3 for b = 0-4) and half (the lower one
// for b 0 and 1); the exhaust cell of cycle 6 is column 2 (223 wide from
// 449), row 1, centred with its top 24 below the ship.
TEST_F(ShipDraw, BankFramesPickTheBodyAndTheExhaust) {
    struct Case {
        float bank, bodyU;
        Slot exhaust;
        bool lowerHalf;
    };
    ship->cycle = 6;
    for (const Case& c :
         {Case{0.0f, 192.0f, S::kShipExhaust, false},
          Case{1.0f, 384.0f, S::kShipExhaust + 2, false},
          Case{-1.0f, 0.0f, S::kShipExhaust + 1, true}, Case{-0.5f, 96.0f, S::kShipExhaust, true},
          Case{0.5f, 288.0f, S::kShipExhaust + 1, false}}) {
        SCOPED_TRACE(c.bank);
        ship->bank = c.bank;
        const std::vector<Quad> quads = Drawn();
        // Exhaust, body, glow, then the hit indicator's two.
        ASSERT_EQ(quads.size(), 5u);
        EXPECT_EQ(quads[0].texture, director->GetTexture(c.exhaust));
        EXPECT_TRUE(Near(Sprite(quads[0]),
                         {360 - 111.5f, 384, 223, 112, 449, (c.lowerHalf ? 448 : 0) + 112.0f}));
        EXPECT_EQ(quads[0].blend, SpriteQuad::kAdd);
        const std::vector<Quad> body = Drawn(S::kShip);
        ASSERT_EQ(body.size(), 2u);
        EXPECT_TRUE(Near(Sprite(body[0]), {360 - 48, 360 - 48, 96, 96, c.bodyU, 0}));
        EXPECT_TRUE(Near(Texels(body[1]), {c.bodyU, 96})) << "the glow";
        EXPECT_EQ(body[0].blend, SpriteQuad::kAlpha);
        EXPECT_EQ(body[1].blend, SpriteQuad::kAdd);
    }
    Grabuster(Player::kGrabWindDown, 40); // past its images: no aura
    const std::vector<Quad> body = Drawn(S::kShip);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_TRUE(Near({body[0].v0, body[1].v0}, {192, 288}));
}

TEST_F(ShipDraw, OverlaysStayInsideTheirSheetsWhenTheirCountersWrap) {
    Work().guard = 1;
    Work().invincible = 1;
    Player::SharedDrawCounters().guard = 32760;
    Player::SharedDrawCounters().invincible = 32760;
    std::vector<float> guardRows, invincibleRows;
    for (int f = 0; f < 40; ++f) {
        const std::vector<Quad> guard = Drawn(S::kGuard), invincible = Drawn(S::kInvincible);
        ASSERT_EQ(guard.size() + invincible.size(), 2u);
        guardRows.push_back(guard[0].v0);
        invincibleRows.push_back(invincible[0].v0);
        EXPECT_TRUE(guard[0].v0 >= 0.0f && guard[0].v0 <= 288.0f) << "four images of 96";
        EXPECT_TRUE(invincible[0].v0 >= 0.0f && invincible[0].v0 <= 384.0f) << "five of 96";
    }
    EXPECT_LT(Player::SharedDrawCounters().guard, 0) << "the counters wrapped";
    // Each image for four uses (each Drawn above drew the ship twice).
    // 32760 / 4 = 8190: guard image 8190 mod 4 = 2, invincibility 8190 mod 5 = 0.
    EXPECT_TRUE(
        Near({guardRows[0], guardRows[1], guardRows[2], invincibleRows[0], invincibleRows[2]},
             {192, 192, 288, 0, 96}));
    // Guard first, invincibility last.
    const std::vector<Quad> quads = Drawn();
    EXPECT_EQ(quads[1].texture, director->GetTexture(S::kGuard));
    EXPECT_EQ(quads[4].texture, director->GetTexture(S::kInvincible));
}

TEST_F(ShipDraw, TheHitIndicatorCyclesThroughItsThreeFrames) {
    for (float u : {0.0f, 32.0f, 64.0f, 0.0f}) {
        const std::vector<Quad> ui = Drawn(S::kUi1);
        ASSERT_EQ(ui.size(), 2u);
        EXPECT_TRUE(Near(Sprite(ui[0]), {359 - 16, 360 - 16, 32, 32, u, 64}));
        EXPECT_TRUE(Near(Texels(ui[1]), {u, 96}));
    }
}

// Frame f of an aura sheet is the 256 by 256 cell (f mod 4, f / 4), centred
// on the ship at the Grabuster's scale (1 without one).
TEST_F(ShipDraw, TheAuraKeepsItsSizeWithoutAGrabusterObject) {
    ASSERT_EQ(ship->grabuster, nullptr);
    struct Aura {
        uint8_t phase, step;
        Slot slot;
        float u, v;
    };
    for (const Aura a : {Aura{Player::kGrabStartUp, 20, S::kGrabusterAdd + 1, 0, 256},
                         Aura{Player::kGrabStartUp, 20, S::kGrabusterSub, 0, 256},
                         Aura{Player::kGrabDrain, 37, S::kGrabusterSub + 1, 256, 256},
                         Aura{Player::kGrabWindDown, 10, S::kGrabusterAdd + 2, 256, 256},
                         Aura{Player::kGrabWindDown, 10, S::kGrabusterSub + 2, 512, 512}}) {
        SCOPED_TRACE(testing::Message() << int(a.phase) << " " << int(a.step) << " " << a.slot);
        Grabuster(a.phase, a.step);
        const std::vector<Quad> aura = Drawn(a.slot);
        ASSERT_EQ(aura.size(), 1u);
        EXPECT_TRUE(Near(Sprite(aura[0]), {360 - 128, 360 - 128, 256, 256, a.u, a.v}));
    }
}

TEST_F(ShipDraw, TheCountdownShowsSecondsPointTenthsAndHundredths) {
    Grabuster(Player::kGrabDrain, 0);
    ship->grabFramesLeft = 125; // 2 seconds and 5 frames: 2.08
    ship->grabLastBeep = 100;
    std::vector<Quad> digits = Drawn(S::kGrabusterCount);
    ASSERT_EQ(digits.size(), 4u);
    const auto glyph = [](int d) { return 72.0f * d + 24.0f; };
    // Hundreds and tens keep their place; fewer than three seconds: the
    // second row; the point between.
    EXPECT_TRUE(Near(Sprite(digits[0]), {120 + 140, 320, 72, 80, glyph(2), 80}));
    EXPECT_TRUE(Near(Sprite(digits[1]), {330, 304, 24, 80, 0, 80}));
    EXPECT_TRUE(Near(Sprite(digits[2]), {348, 320, 72, 80, glyph(0), 80}));
    EXPECT_TRUE(Near(Sprite(digits[3]), {418, 320, 72, 80, glyph(8), 80}));
    EXPECT_EQ(Sounds(101), 0u) << "more than a second left";
    // 100 seconds and more: every digit, on the first row.
    ship->grabFramesLeft = 6000 + 30;
    digits = Drawn(S::kGrabusterCount);
    ASSERT_EQ(digits.size(), 6u);
    EXPECT_TRUE(Near(Sprite(digits[0]), {120, 320, 72, 80, glyph(1), 0}));
    EXPECT_EQ(digits[1].u0, glyph(0));
    EXPECT_EQ(digits[4].u0, glyph(5));
}

TEST_F(ShipDraw, TheLastSecondBeepsThreeTimesAndAGainStartsThemOver) {
    Grabuster(Player::kGrabDrain, 0);
    ship->grabLastBeep = 100;
    std::vector<int> beeps;
    for (int16_t t = 120; t >= 0; --t) {
        ship->grabFramesLeft = t;
        sound->Update();
        const uint32_t before = Sounds(101);
        Drawn();
        if (Sounds(101) != before)
            beeps.push_back(t);
    }
    // Tenths 9 at 59 frames (98 hundredths), 6 at 41 (68), 3 at 23 (38).
    EXPECT_EQ(beeps, (std::vector<int>{59, 41, 23}));
    EXPECT_EQ(ship->grabLastBeep, 3);
    Work().hyperioGauge = 60;
    ship->StartGrabusterCountdown();
    EXPECT_EQ(ship->grabLastBeep, 100);
    ship->grabFramesLeft = 50;
    sound->Update();
    const uint32_t before = Sounds(101);
    Drawn();
    EXPECT_EQ(Sounds(101), before + 1) << "the beeps start over";
}
