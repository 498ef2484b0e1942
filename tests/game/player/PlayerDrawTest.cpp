// Player::Draw on the "Player" layer: exhaust, Grabuster aura, body with its
// overlays, hit indicator and the Grabuster countdown.
#include "game/core/SpriteQuad.h"
#include "support/StageRig.h"

namespace {

using namespace stage_test;
using Slot = int32_t;

class ShipDraw : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        Begin();
        for (Slot s : {StageTextureSlot::kShip, StageTextureSlot::kShipExhaust,
                       StageTextureSlot::kShipExhaust + 1, StageTextureSlot::kShipExhaust + 2,
                       StageTextureSlot::kGuard, StageTextureSlot::kInvincible,
                       StageTextureSlot::kGrabusterCount, StageTextureSlot::kUi1,
                       StageTextureSlot::kGrabusterAdd, StageTextureSlot::kGrabusterAdd + 1,
                       StageTextureSlot::kGrabusterAdd + 2, StageTextureSlot::kGrabusterSub,
                       StageTextureSlot::kGrabusterSub + 1, StageTextureSlot::kGrabusterSub + 2})
            Texture(s, 64, 64);
        Player::SharedDrawCounters() = {};
    }
    std::vector<Quad> Drawn() {
        world.BeginFrame();
        ship->Draw();
        std::vector<Quad> quads = world.Capture(SpriteLayer::kPlayer);
        world.EndFrame();
        return quads;
    }
    std::vector<Quad> Of(const std::vector<Quad>& quads, Slot slot) {
        std::vector<Quad> out;
        for (const Quad& q : quads)
            if (q.texture == director->GetTexture(slot))
                out.push_back(q);
        return out;
    }
};

} // namespace

TEST_F(ShipDraw, AHiddenShipDrawsNothingAtAll) {
    Work().guard = 1;
    Work().invincible = 1;
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabDrain;
    ship->grabFramesLeft = 30;
    ship->visible = 0;
    EXPECT_TRUE(Drawn().empty());
    EXPECT_EQ(ship->grabLastBeep, 0) << "no countdown, no beep";
    ship->visible = 1;
    EXPECT_FALSE(Drawn().empty());
}

TEST_F(ShipDraw, BankFramesPickTheBodyAndTheExhaust) {
    struct Case {
        float bank;
        float bodyU;
        Slot exhaust;
        bool lowerHalf;
    };
    ship->cycle = 6; // column 2 (223 wide from 449), row 1
    for (const Case& c : {Case{0.0f, 192.0f, StageTextureSlot::kShipExhaust, false},
                          Case{1.0f, 384.0f, StageTextureSlot::kShipExhaust + 2, false},
                          Case{-1.0f, 0.0f, StageTextureSlot::kShipExhaust + 1, true},
                          Case{-0.5f, 96.0f, StageTextureSlot::kShipExhaust, true},
                          Case{0.5f, 288.0f, StageTextureSlot::kShipExhaust + 1, false}}) {
        ship->bank = c.bank;
        const std::vector<Quad> quads = Drawn();
        // Exhaust, body, glow, then the hit indicator's two.
        ASSERT_EQ(quads.size(), 5u) << c.bank;
        EXPECT_EQ(quads[0].texture, director->GetTexture(c.exhaust)) << c.bank;
        EXPECT_EQ(quads[0].u0, 449.0f);
        EXPECT_EQ(quads[0].v0, (c.lowerHalf ? 448.0f : 0.0f) + 112.0f) << c.bank;
        EXPECT_EQ(quads[0].x1 - quads[0].x0, 223.0f);
        EXPECT_EQ(quads[0].y0, 360.0f + 24.0f) << "below the ship";
        EXPECT_EQ(quads[0].x0, 360.0f - 111.5f);
        EXPECT_EQ(quads[0].blend, SpriteQuad::kAdd);
        const std::vector<Quad> body = Of(quads, StageTextureSlot::kShip);
        ASSERT_EQ(body.size(), 2u);
        EXPECT_EQ(body[0].u0, c.bodyU) << c.bank;
        EXPECT_EQ(body[0].v0, 0.0f);
        EXPECT_EQ(body[0].blend, SpriteQuad::kAlpha);
        EXPECT_EQ(body[1].v0, 96.0f) << "the glow";
        EXPECT_EQ(body[1].blend, SpriteQuad::kAdd);
        EXPECT_EQ(body[0].x0, 360.0f - 48.0f);
        EXPECT_EQ(body[0].y1 - body[0].y0, 96.0f);
    }
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabWindDown;
    ship->grabStep = 40; // past its images: no aura
    const std::vector<Quad> body = Of(Drawn(), StageTextureSlot::kShip);
    ASSERT_EQ(body.size(), 2u);
    EXPECT_EQ(body[0].v0, 192.0f);
    EXPECT_EQ(body[1].v0, 288.0f);
}

TEST_F(ShipDraw, OverlaysStayInsideTheirSheetsWhenTheirCountersWrap) {
    Work().guard = 1;
    Work().invincible = 1;
    Player::SharedDrawCounters().guard = 32760;
    Player::SharedDrawCounters().invincible = 32760;
    std::vector<float> guardRows, invincibleRows;
    for (int f = 0; f < 40; ++f) {
        const std::vector<Quad> quads = Drawn();
        const std::vector<Quad> guard = Of(quads, StageTextureSlot::kGuard);
        const std::vector<Quad> invincible = Of(quads, StageTextureSlot::kInvincible);
        ASSERT_EQ(guard.size(), 1u);
        ASSERT_EQ(invincible.size(), 1u);
        guardRows.push_back(guard[0].v0);
        invincibleRows.push_back(invincible[0].v0);
        EXPECT_GE(guard[0].v0, 0.0f);
        EXPECT_LE(guard[0].v0, 288.0f) << "four images of 96";
        EXPECT_GE(invincible[0].v0, 0.0f);
        EXPECT_LE(invincible[0].v0, 384.0f) << "five images of 96";
    }
    EXPECT_LT(Player::SharedDrawCounters().guard, 0) << "the counters wrapped";
    // Each image for four uses.
    EXPECT_EQ(guardRows[0], 192.0f); // 32760 / 4 = 8190, mod 4 = 2
    EXPECT_EQ(guardRows[3], 192.0f);
    EXPECT_EQ(guardRows[4], 288.0f);
    EXPECT_EQ(invincibleRows[0], 0.0f); // 8190 mod 5 = 0
    EXPECT_EQ(invincibleRows[4], 96.0f);
    // Guard first, invincibility last.
    const std::vector<Quad> quads = Drawn();
    EXPECT_EQ(quads[1].texture, director->GetTexture(StageTextureSlot::kGuard));
    EXPECT_EQ(quads[4].texture, director->GetTexture(StageTextureSlot::kInvincible));
}

TEST_F(ShipDraw, TheHitIndicatorCyclesThroughItsThreeFrames) {
    const float expected[] = {0.0f, 32.0f, 64.0f, 0.0f};
    for (float u : expected) {
        const std::vector<Quad> ui = Of(Drawn(), StageTextureSlot::kUi1);
        ASSERT_EQ(ui.size(), 2u);
        EXPECT_EQ(ui[0].u0, u);
        EXPECT_EQ(ui[0].v0, 64.0f);
        EXPECT_EQ(ui[1].v0, 96.0f);
        EXPECT_EQ(ui[0].x0, 359.0f - 16.0f);
        EXPECT_EQ(ui[0].x1 - ui[0].x0, 32.0f);
    }
}

TEST_F(ShipDraw, TheAuraKeepsItsSizeWithoutAGrabusterObject) {
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabStartUp;
    ship->grabStep = 20;
    ASSERT_EQ(ship->grabuster, nullptr);
    std::vector<Quad> quads = Drawn();
    const std::vector<Quad> add = Of(quads, StageTextureSlot::kGrabusterAdd + 1);
    const std::vector<Quad> sub = Of(quads, StageTextureSlot::kGrabusterSub);
    ASSERT_EQ(add.size(), 1u);
    ASSERT_EQ(sub.size(), 1u);
    // Frame 4 of each: column 0, row 1.
    EXPECT_EQ(add[0].u0, 0.0f);
    EXPECT_EQ(add[0].v0, 256.0f);
    EXPECT_EQ(add[0].x1 - add[0].x0, 256.0f);
    EXPECT_EQ(add[0].x0, 360.0f - 128.0f);
    EXPECT_EQ(sub[0].v0, 256.0f);

    ship->grabPhase = Player::kGrabDrain;
    ship->grabStep = 37;
    quads = Drawn();
    const std::vector<Quad> drain = Of(quads, StageTextureSlot::kGrabusterSub + 1);
    ASSERT_EQ(drain.size(), 1u);
    EXPECT_EQ(drain[0].u0, 256.0f * 1); // frame 5
    EXPECT_EQ(drain[0].v0, 256.0f);

    ship->grabPhase = Player::kGrabWindDown;
    ship->grabStep = 10;
    quads = Drawn();
    const std::vector<Quad> wind = Of(quads, StageTextureSlot::kGrabusterAdd + 2);
    const std::vector<Quad> fade = Of(quads, StageTextureSlot::kGrabusterSub + 2);
    ASSERT_EQ(wind.size(), 1u);
    ASSERT_EQ(fade.size(), 1u);
    EXPECT_EQ(wind[0].u0, 256.0f); // frame 5
    EXPECT_EQ(fade[0].u0, 512.0f); // frame 10
    EXPECT_EQ(fade[0].v0, 512.0f);
}

TEST_F(ShipDraw, TheCountdownShowsSecondsPointTenthsAndHundredths) {
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabDrain;
    ship->grabStep = 0;
    ship->grabFramesLeft = 125; // 2 seconds and 5 frames: 2.08
    ship->grabLastBeep = 100;
    std::vector<Quad> digits = Of(Drawn(), StageTextureSlot::kGrabusterCount);
    ASSERT_EQ(digits.size(), 4u);
    const auto glyph = [](int d) { return 72.0f * d + 24.0f; };
    EXPECT_EQ(digits[0].u0, glyph(2));
    EXPECT_EQ(digits[0].x0, 120.0f + 140.0f) << "hundreds and tens keep their place";
    EXPECT_EQ(digits[0].y0, 320.0f);
    EXPECT_EQ(digits[0].y1, 400.0f);
    EXPECT_EQ(digits[0].v0, 80.0f) << "fewer than three seconds: the second row";
    EXPECT_EQ(digits[1].u0, 0.0f) << "the point";
    EXPECT_EQ(digits[1].x0, 330.0f);
    EXPECT_EQ(digits[1].y0, 304.0f);
    EXPECT_EQ(digits[1].x1 - digits[1].x0, 24.0f);
    EXPECT_EQ(digits[2].u0, glyph(0));
    EXPECT_EQ(digits[2].x0, 348.0f);
    EXPECT_EQ(digits[3].u0, glyph(8));
    EXPECT_EQ(digits[3].x0, 418.0f);
    EXPECT_EQ(digits[3].x1 - digits[3].x0, 72.0f);
    EXPECT_EQ(Sounds(101), 0u) << "more than a second left";

    // 100 seconds and more: every digit, on the first row.
    ship->grabFramesLeft = 6000 + 30;
    digits = Of(Drawn(), StageTextureSlot::kGrabusterCount);
    ASSERT_EQ(digits.size(), 6u);
    EXPECT_EQ(digits[0].u0, glyph(1));
    EXPECT_EQ(digits[0].x0, 120.0f);
    EXPECT_EQ(digits[1].u0, glyph(0));
    EXPECT_EQ(digits[4].u0, glyph(5));
    EXPECT_EQ(digits[0].v0, 0.0f);
}

TEST_F(ShipDraw, TheLastSecondBeepsThreeTimesAndAGainStartsThemOver) {
    ship->state = Player::kGrabuster;
    ship->grabPhase = Player::kGrabDrain;
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
