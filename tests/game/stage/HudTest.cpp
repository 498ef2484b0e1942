#include "game/core/GameState.h"
#include "game/stage/StageTextureTable.h"
#include "support/StageTestSupport.h"

#include <algorithm>

namespace {

using stage_test::InstallTexture;
using stage_test::Quad;
using stage_test::StageTest;

class HudTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector(1, 0);
        ui1 = InstallTexture(director, StageTextureSlot::kUi1, 512, 512);
        ui2 = InstallTexture(director, StageTextureSlot::kUi2, 1024, 768);
    }
    // One drawn frame of the display; the heads-up layer's sprites.
    std::vector<Quad> DrawHud() {
        world.BeginFrame();
        director->GetHud().Draw(*director, world.sprites->GetLayer(SpriteLayer::kHud));
        std::vector<Quad> quads = world.Capture(SpriteLayer::kHud);
        world.EndFrame();
        return quads;
    }
    static std::vector<Quad> From(const std::vector<Quad>& quads,
                                  const Mireku::Graphics::Texture* t) {
        std::vector<Quad> out;
        std::copy_if(quads.begin(), quads.end(), std::back_inserter(out),
                     [t](const Quad& q) { return q.texture == t; });
        return out;
    }
    // The quads cut from the rectangle (u, v) of a texture.
    static std::vector<Quad> At(const std::vector<Quad>& quads, const Mireku::Graphics::Texture* t,
                                float u, float v) {
        std::vector<Quad> out;
        for (const Quad& q : From(quads, t))
            if (q.u0 == u && q.v0 == v)
                out.push_back(q);
        return out;
    }

    Mireku::Graphics::Texture* ui1 = nullptr;
    Mireku::Graphics::Texture* ui2 = nullptr;
};

} // namespace

TEST_F(HudTest, TheScoreShowsTenDigitsLeadingZerosIncluded) {
    world.gw->player.score = 123;
    const std::vector<Quad> quads = DrawHud();
    std::vector<Quad> digits;
    for (const Quad& q : From(quads, ui1))
        if (q.v0 == 0.0f && q.u0 >= 144.0f && q.u0 < 384.0f && q.y0 == 0.0f && q.x0 >= 384.0f &&
            q.x0 < 740.0f)
            digits.push_back(q);
    ASSERT_EQ(digits.size(), 10u);
    std::sort(digits.begin(), digits.end(),
              [](const Quad& a, const Quad& b) { return a.x0 < b.x0; });
    const int expected[10] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(digits[k].u0, 144.0f + 24.0f * expected[k]) << k;
        EXPECT_FLOAT_EQ(digits[k].x0, 384.0f + 21.6f * k) << k;
        EXPECT_EQ(digits[k].x1 - digits[k].x0, 24.0f);
    }
}

TEST_F(HudTest, TopBarFadesUnderTheShip) {
    EXPECT_EQ(StageHud::TopBarAlpha(360.0f), 255);
    EXPECT_EQ(StageHud::TopBarAlpha(150.0f), 255);
    EXPECT_EQ(StageHud::TopBarAlpha(75.0f), 127);
    EXPECT_EQ(StageHud::TopBarAlpha(10.0f), 48) << "never below 48";
    // Without a ship the bar is whole.
    auto label = At(DrawHud(), ui1, 0.0f, 0.0f);
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].colour >> 24, 255u);
}

TEST_F(HudTest, PanelsStageNumberAndLivesSitInTheirPlaces) {
    world.gw->stage = 6;
    world.gw->player.lives = 40;
    const std::vector<Quad> quads = DrawHud();
    auto left = At(quads, ui2, 0.0f, 0.0f);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].x1, 280.0f);
    EXPECT_EQ(left[0].y1, 720.0f);
    auto right = At(quads, ui2, 280.0f, 0.0f);
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].x0, 1000.0f);
    EXPECT_EQ(right[0].x1, 1280.0f);
    auto stageLabel = At(quads, ui1, 0.0f, 32.0f);
    ASSERT_EQ(stageLabel.size(), 1u);
    EXPECT_EQ(stageLabel[0].x0, 76.0f);
    EXPECT_EQ(stageLabel[0].y1, 708.0f);
    // "07": digits at 172 and 193.6.
    auto seven = At(quads, ui1, 144.0f + 24.0f * 7, 0.0f);
    ASSERT_EQ(seven.size(), 1u);
    EXPECT_FLOAT_EQ(seven[0].x0, 172.0f + 21.6f);
    EXPECT_EQ(seven[0].y0, 676.0f);
    EXPECT_EQ(At(quads, ui1, 96.0f, 64.0f).size(), 30u) << "at most 30 ships shown";

    world.gw->gameType = GameState::kScoreAttackType;
    const std::vector<Quad> sa = DrawHud();
    EXPECT_EQ(At(sa, ui1, 96.0f, 64.0f).size(), 0u);
    EXPECT_EQ(At(sa, ui1, 408.0f, 0.0f).size(), 1u);
}

TEST_F(HudTest, SubWeaponPlateSlidesInAndOnlyForTheFive) {
    world.gw->subWeaponUnlocked = 0b11111;
    world.gw->player.subWeapon = 3;
    world.gw->player.subWeaponMode = 1;
    auto plates = At(DrawHud(), ui1, 0.0f, 168.0f);
    ASSERT_EQ(plates.size(), 1u);
    EXPECT_EQ(plates[0].x0, 288.0f);
    EXPECT_EQ(plates[0].y0, 57.0f);
    EXPECT_EQ(plates[0].x1 - plates[0].x0, 152.0f);

    director->SelectNextSubWeapon(); // to 4, display 30: the plate starts at 188
    auto sliding = DrawHud();
    auto plate4 = At(sliding, ui1, 152.0f, 168.0f);
    ASSERT_EQ(plate4.size(), 1u);
    EXPECT_EQ(plate4[0].x0, 188.0f);
    auto highlight = At(sliding, ui1, 0.0f, 208.0f);
    ASSERT_EQ(highlight.size(), 1u);
    EXPECT_EQ(highlight[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);

    // Items give sub weapons 5 and 6: there is no plate for them.
    for (uint8_t s : {5, 6}) {
        world.gw->player.subWeapon = s;
        for (const Quad& q : From(DrawHud(), ui1))
            EXPECT_FALSE(q.v0 >= 128.0f && q.v0 < 248.0f) << "a plate for sub weapon " << int(s);
    }
}

TEST_F(HudTest, SubWeaponListIsGreyWithoutAShipInNormalFlight) {
    world.gw->subWeaponUnlocked = 0b00101;
    world.gw->player.subWeapon = 2;
    auto quads = DrawHud();
    auto grey = At(quads, ui2, 560.0f, 480.0f);
    ASSERT_EQ(grey.size(), 2u) << "one per unlocked weapon";
    EXPECT_EQ(grey[0].y0, 176.0f);
    EXPECT_EQ(grey[1].y0, 176.0f + 96.0f);
}

TEST_F(HudTest, GaugeFillsFromTheRowOfTheGaugesLevel) {
    auto* fillTexture = InstallTexture(director, StageTextureSlot::kGaugeBarion, 93, 521);
    auto* glow = InstallTexture(director, StageTextureSlot::kGaugeBarionAdd, 93, 521);
    const int16_t max = world.gw->BarionGaugeMax(world.gw->player);
    ASSERT_GT(max, 0);
    struct Case {
        int16_t gauge;
        float top;
    };
    for (const Case c :
         {Case{0, 472.0f}, Case{static_cast<int16_t>(max / 2), 322.0f}, Case{max, 172.0f}}) {
        world.gw->player.barionGauge = c.gauge;
        const auto quads = DrawHud();
        auto fill = From(quads, fillTexture);
        ASSERT_EQ(fill.size(), 1u);
        EXPECT_EQ(fill[0].v0, c.top);
        EXPECT_EQ(fill[0].v1, 521.0f);
        EXPECT_EQ(fill[0].y0, 192.0f + c.top);
        EXPECT_EQ(fill[0].x0, 1024.0f);
        EXPECT_EQ(From(quads, glow).size(), c.gauge == max ? 1u : 0u);
    }
    // A ship without its row has no maximum: the gauge shows empty.
    world.gw->player.ship = 9;
    world.gw->player.barionGauge = 500;
    auto fill = From(DrawHud(), fillTexture);
    ASSERT_EQ(fill.size(), 1u);
    EXPECT_EQ(fill[0].v0, 472.0f);
}

TEST_F(HudTest, ShieldHitShakesTheGaugesFromTheCosmeticStream) {
    InstallTexture(director, StageTextureSlot::kGaugeBack, 93, 521);
    world.random->SeedFixed();
    const Mireku::Common::Random play = world.random->Stream(RandomManager::kPlay);
    director->StartShieldHitIndicator();
    const StageHud& hud = director->GetHud();
    bool moved = false;
    for (int frame = 0; frame < 15; ++frame) {
        DrawHud();
        EXPECT_GE(hud.GetGaugeOffsetX(), -16.0f);
        EXPECT_LT(hud.GetGaugeOffsetX(), 16.0f);
        moved |= hud.GetGaugeOffsetX() != 0.0f || hud.GetGaugeOffsetY() != 0.0f;
    }
    EXPECT_TRUE(moved);
    // The display also runs while paused: the play stream must not move.
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).x, play.x);
    EXPECT_EQ(world.random->Stream(RandomManager::kPlay).w, play.w);
    DrawHud();
    EXPECT_EQ(hud.GetGaugeOffsetX(), 0.0f) << "only the first 15 frames shake";
    EXPECT_TRUE(hud.IsShieldHitShown());
    for (int frame = 16; frame < 60; ++frame)
        DrawHud();
    EXPECT_FALSE(hud.IsShieldHitShown()) << "shown for 60 frames";
}

TEST_F(HudTest, ScreenShakeMovesTheFieldAndSettles) {
    world.gw->mode = 3;
    ASSERT_TRUE(world.RunUntilPlay(director));
    director->StartShake(4, 10.0f, 1.0f);
    const StageHud& hud = director->GetHud();
    const float expected[4] = {0.0f, 7.5f, 0.0f, -2.5f}; // sin(2pi t) x 10 x (1 - t)
    for (float e : expected) {
        DrawHud();
        EXPECT_NEAR(hud.GetShakeOffset(), e, 1e-4f);
    }
    EXPECT_EQ(hud.GetShakeFrames(), 0);
    DrawHud();
    EXPECT_EQ(hud.GetShakeOffset(), 0.0f);
}

TEST_F(HudTest, TheScoreAttackClockReadsMinutesAndSeconds) {
    char text[16];
    EXPECT_EQ(StageHud::ClockRemaining(8, 1, false), 7259);
    StageHud::ClockText(7259, text, sizeof text);
    EXPECT_STREQ(text, "2:00");
    EXPECT_EQ(StageHud::ClockRemaining(8, 6661, false), 599);
    StageHud::ClockText(599, text, sizeof text);
    EXPECT_STREQ(text, "0:09");
    EXPECT_EQ(StageHud::ClockRemaining(8, 7260, false), 0);
    EXPECT_EQ(StageHud::ClockRemaining(8, 9000, false), 0);
    EXPECT_EQ(StageHud::ClockRemaining(8, 100, true), 0) << "the tally stops the clock";
    EXPECT_EQ(StageHud::ClockRemaining(9, 1, false), 18059);
    StageHud::ClockText(18059, text, sizeof text);
    EXPECT_STREQ(text, "5:00");
}

TEST_F(HudTest, TheClockSwitchesRowsInItsLastTenSeconds) {
    auto* clock = InstallTexture(director, StageTextureSlot::kClockDigits, 560, 116);
    world.gw->gameType = GameState::kScoreAttackType;
    world.gw->mode = 8;
    ASSERT_TRUE(world.RunUntilPlay(director));
    for (int i = 0; i < 1; ++i)
        world.Frame(director);
    auto chars = From(DrawHud(), clock);
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[0].u0, 54.0f * 2); // "2:00"
    EXPECT_EQ(chars[0].x0, 1075.0f);
    EXPECT_EQ(chars[1].u0, 540.0f);
    EXPECT_EQ(chars[1].x1 - chars[1].x0, 18.0f);
    EXPECT_EQ(chars[3].x0, 1201.0f);
    EXPECT_EQ(chars[0].v0, 0.0f);
    EXPECT_EQ(chars[0].y0, 42.0f);
    EXPECT_EQ(chars[0].y1, 97.0f);
    while (director->GetFrameCounter() < 6661)
        world.Frame(director);
    auto late = From(DrawHud(), clock);
    ASSERT_EQ(late.size(), 4u);
    EXPECT_EQ(late[0].v0, 60.0f);
    EXPECT_EQ(director->GetHud().GetLastClockSecond(), 9);
}

TEST_F(HudTest, RankPicturesByScore) {
    EXPECT_EQ(StageHud::RankOf(0), 0u);
    EXPECT_EQ(StageHud::RankOf(9999), 0u);
    EXPECT_EQ(StageHud::RankOf(10000), 1u);
    EXPECT_EQ(StageHud::RankOf(49999999), 3u);
    EXPECT_EQ(StageHud::RankOf(399999999), 9u);
    EXPECT_EQ(StageHud::RankOf(400000000), 10u);
    EXPECT_EQ(StageHud::RankOf(uint64_t{1} << 32), 10u);
}

TEST_F(HudTest, TheStageTallyPaysFiveMillionInStepsOf41666) {
    world.gw->misses = 0;
    world.gw->hitsTaken = 0;
    world.gw->player.lives = 2;
    world.gw->player.score = 0;
    director->StartResultTally(true);
    const ResultTally& tally = director->GetTally();
    EXPECT_EQ(tally.GetBonus(), 5000000);
    EXPECT_EQ(tally.GetStep(), 41666);
    std::vector<uint64_t> steps;
    uint64_t last = 0;
    int32_t overAt = 0;
    for (int frame = 0; frame < 400 && tally.GetBonus() > 0; ++frame) {
        DrawHud();
        const uint64_t score = world.gw->player.score;
        if (score != last)
            steps.push_back(score - last);
        if (tally.GetTimer() > -130) {
            EXPECT_EQ(score, 0u) << "nothing paid before -130";
        }
        if (!overAt && director->IsTallyOver())
            overAt = tally.GetTimer();
        last = score;
    }
    EXPECT_EQ(overAt, -221) << "the staging may close from here";
    EXPECT_EQ(world.gw->player.score, 5000000u);
    ASSERT_EQ(steps.size(), 121u);
    EXPECT_EQ(steps.front(), 41666u);
    EXPECT_EQ(steps.back(), 5000000u - 120u * 41666u);
    EXPECT_EQ(tally.GetTimer(), -130 - 120);
}

TEST_F(HudTest, TheTallyCountsMissesDamageAndItsRate) {
    world.gw->misses = 2;
    world.gw->hitsTaken = 0;
    world.gw->player.lives = 0;
    director->StartResultTally(false);
    EXPECT_EQ(director->GetTally().GetBonus(), 1000000 + 500000);
    EXPECT_EQ(director->GetTally().GetNoMissBonus(), 0);
    world.gw->hitsTaken = 3;
    world.gw->player.lives = -1;
    director->StartResultTally(true);
    EXPECT_EQ(director->GetTally().GetBonus(), 0);
}

TEST_F(HudTest, ResultLinesAppearOneAfterAnother) {
    auto* result = InstallTexture(director, StageTextureSlot::kResult, 384, 96);
    auto* noMiss = InstallTexture(director, StageTextureSlot::kResultNoMiss, 328, 40);
    auto* digits = InstallTexture(director, StageTextureSlot::kResultDigits, 480, 48);
    auto* times = InstallTexture(director, StageTextureSlot::kResultTimes, 48, 48);
    auto* note = InstallTexture(director, StageTextureSlot::kResultBonusNote, 304, 40);
    world.gw->player.lives = 2;
    director->StartResultTally(true);
    for (int i = 0; i < 59; ++i)
        EXPECT_TRUE(From(DrawHud(), result).empty());
    auto first = From(DrawHud(), result); // timer 0
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].x0, 168.0f + 280.0f);
    EXPECT_EQ(first[0].y0, 92.0f);
    for (int i = 0; i < 39; ++i)
        EXPECT_TRUE(From(DrawHud(), noMiss).empty());
    auto line = DrawHud(); // timer -40
    ASSERT_EQ(From(line, noMiss).size(), 1u);
    // "1000000" centred: seven cells from (1280 - 336) / 2.
    auto cells = From(line, digits);
    ASSERT_EQ(cells.size(), 7u);
    EXPECT_EQ(cells[0].x0, 472.0f);
    EXPECT_EQ(cells[0].u0, 48.0f);
    EXPECT_EQ(cells[1].u0, 0.0f);
    EXPECT_EQ(cells[0].y0, 246.0f);
    while (director->GetTally().GetTimer() > -120)
        DrawHud();
    // "1000000 X 3": eleven characters, the X from its own picture.
    auto remain = DrawHud();
    auto x = From(remain, times);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_EQ(x[0].x0, (1280.0f - 48.0f * 11) / 2 + 48.0f * 8);
    EXPECT_EQ(x[0].y0, 486.0f);
    while (director->GetTally().GetTimer() > -159)
        EXPECT_TRUE(From(DrawHud(), note).empty());
    EXPECT_EQ(From(DrawHud(), note).size(), 1u);
}
