// The stage's heads-up display: score, panels, lives, plates and gauges,
// the shakes, the score-attack clock and the result tally.
#include "support/StageRig.h"

#include <algorithm>

namespace {

using namespace stage_test;

class HudTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        MakeDirector(1, 0);
        ui1 = Texture(StageTextureSlot::kUi1, 512, 512);
        ui2 = Texture(StageTextureSlot::kUi2, 1024, 768);
    }
    // One drawn frame of the display: the heads-up layer's sprites (of one
    // texture when given).
    std::vector<Quad> DrawHud(const Mireku::Graphics::Texture* t = nullptr) {
        world.BeginFrame();
        director->GetHud().Draw(*director, world.sprites->GetLayer(SpriteLayer::kHud));
        std::vector<Quad> quads;
        for (const Quad& q : world.Capture(SpriteLayer::kHud))
            if (!t || q.texture == t)
                quads.push_back(q);
        world.EndFrame();
        return quads;
    }
    // The quads cut from the rectangle (u, v) of a texture.
    static std::vector<Quad> At(const std::vector<Quad>& quads, const Mireku::Graphics::Texture* t,
                                float u, float v) {
        std::vector<Quad> out;
        for (const Quad& q : quads)
            if (q.texture == t && q.u0 == u && q.v0 == v)
                out.push_back(q);
        return out;
    }

    Mireku::Graphics::Texture* ui1 = nullptr;
    Mireku::Graphics::Texture* ui2 = nullptr;
};

} // namespace

TEST_F(HudTest, TheScoreShowsTenDigitsLeadingZerosIncluded) {
    world.gw->player.score = 123;
    std::vector<Quad> digits;
    for (const Quad& q : DrawHud(ui1))
        if (q.v0 == 0.0f && q.u0 >= 144.0f && q.u0 < 384.0f && q.y0 == 0.0f && q.x0 >= 384.0f &&
            q.x0 < 740.0f)
            digits.push_back(q);
    ASSERT_EQ(digits.size(), 10u);
    std::sort(digits.begin(), digits.end(),
              [](const Quad& a, const Quad& b) { return a.x0 < b.x0; });
    const int expected[10] = {0, 0, 0, 0, 0, 0, 0, 1, 2, 3};
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE(Near(Sprite(digits[k]),
                         {384.0f + 21.6f * k, 0, 24, 24, 144.0f + 24.0f * expected[k], 0, 24, 24}))
            << k;
}

TEST_F(HudTest, TopBarFadesUnderTheShip) {
    const std::pair<float, int> rows[] = {{360, 255}, {150, 255}, {75, 127}, {10, 48}};
    for (const auto& [y, alpha] : rows)
        EXPECT_EQ(StageHud::TopBarAlpha(y), alpha) << y << ": never below 48";
    // Without a ship the bar is whole.
    auto label = At(DrawHud(), ui1, 0.0f, 0.0f);
    ASSERT_EQ(label.size(), 1u);
    EXPECT_EQ(label[0].colour >> 24, 255u);
}

TEST_F(HudTest, PanelsStageNumberAndLivesSitInTheirPlaces) {
    world.gw->stage = 6;
    world.gw->player.lives = 40;
    const std::vector<Quad> quads = DrawHud();
    auto left = At(quads, ui2, 0.0f, 0.0f), right = At(quads, ui2, 280.0f, 0.0f);
    ASSERT_EQ(left.size() + right.size(), 2u);
    EXPECT_TRUE(Near(Sprite(left[0]), {0, 0, 280, 720}));
    EXPECT_TRUE(Near(Sprite(right[0]), {1000, 0, 280, 720}));
    auto stageLabel = At(quads, ui1, 0.0f, 32.0f);
    ASSERT_EQ(stageLabel.size(), 1u);
    EXPECT_TRUE(Near(Sprite(stageLabel[0]), {76, 676, 96, 32}));
    // "07": digits at 172 and 193.6.
    auto seven = At(quads, ui1, 144.0f + 24.0f * 7, 0.0f);
    ASSERT_EQ(seven.size(), 1u);
    EXPECT_TRUE(Near(Sprite(seven[0]), {172.0f + 21.6f, 676}));
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
    EXPECT_TRUE(Near(Sprite(plates[0]), {288, 57, 152}));
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
        for (const Quad& q : DrawHud(ui1))
            EXPECT_FALSE(q.v0 >= 128.0f && q.v0 < 248.0f) << "a plate for sub weapon " << int(s);
    }
}

TEST_F(HudTest, SubWeaponListIsGreyWithoutAShipInNormalFlight) {
    world.gw->subWeaponUnlocked = 0b00101;
    world.gw->player.subWeapon = 2;
    auto grey = At(DrawHud(), ui2, 560.0f, 480.0f);
    ASSERT_EQ(grey.size(), 2u) << "one per unlocked weapon";
    EXPECT_EQ(grey[0].y0, 176.0f);
    EXPECT_EQ(grey[1].y0, 176.0f + 96.0f);
}

TEST_F(HudTest, GaugeFillsFromTheRowOfTheGaugesLevel) {
    auto* fill = Texture(StageTextureSlot::kGaugeBarion, 93, 521);
    auto* glow = Texture(StageTextureSlot::kGaugeBarionAdd, 93, 521);
    const int16_t max = world.gw->BarionGaugeMax(world.gw->player);
    ASSERT_GT(max, 0);
    const std::pair<int16_t, float> rows[] = {{0, 472}, {int16_t(max / 2), 322}, {max, 172}};
    for (const auto& [gauge, top] : rows) {
        world.gw->player.barionGauge = gauge;
        const auto filled = DrawHud(fill);
        ASSERT_EQ(filled.size(), 1u);
        EXPECT_TRUE(Near(Sprite(filled[0]), {1024, 192 + top, _, _, _, top, _, 521 - top}));
        EXPECT_EQ(DrawHud(glow).size(), gauge == max ? 1u : 0u);
    }
    // A ship without its row has no maximum: the gauge shows empty.
    world.gw->player.ship = 9;
    world.gw->player.barionGauge = 500;
    auto empty = DrawHud(fill);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].v0, 472.0f);
}

TEST_F(HudTest, ShieldHitShakesTheGaugesFromTheCosmeticStream) {
    Texture(StageTextureSlot::kGaugeBack, 93, 521);
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
    for (float e : {0.0f, 7.5f, 0.0f, -2.5f}) { // sin(2pi t) x 10 x (1 - t)
        DrawHud();
        EXPECT_NEAR(hud.GetShakeOffset(), e, 1e-4f);
    }
    EXPECT_EQ(hud.GetShakeFrames(), 0);
    DrawHud();
    EXPECT_EQ(hud.GetShakeOffset(), 0.0f);
}

TEST_F(HudTest, TheScoreAttackClockReadsMinutesAndSeconds) {
    struct Row {
        uint32_t mode, frame;
        bool tally;
        int32_t remaining;
        const char* text;
    };
    for (const Row r : {Row{8, 1, false, 7259, "2:00"}, Row{8, 6661, false, 599, "0:09"},
                        Row{8, 7260, false, 0, "0:00"}, Row{8, 9000, false, 0, "0:00"},
                        Row{8, 100, true, 0, "0:00"}, Row{9, 1, false, 18059, "5:00"}}) {
        EXPECT_EQ(StageHud::ClockRemaining(r.mode, r.frame, r.tally), r.remaining) << r.frame;
        char text[16];
        StageHud::ClockText(r.remaining, text, sizeof text);
        EXPECT_STREQ(text, r.text);
    }
}

// In its last 600 frames the clock switches to its second row and beeps
// (sound 99) at each new second; never before.
TEST_F(HudTest, TheClockSwitchesRowsAndBeepsOnlyInItsLastTenSeconds) {
    auto* clock = Texture(StageTextureSlot::kClockDigits, 560, 116);
    world.gw->gameType = GameState::kScoreAttackType;
    world.gw->mode = 8;
    ASSERT_TRUE(world.RunUntilPlay(director));
    Frame();
    auto chars = DrawHud(clock);
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_TRUE(Near(Sprite(chars[0]), {1075, 42, 54, 55, 54 * 2, 0, 54, 55})) << "2:00";
    EXPECT_TRUE(Near(Sprite(chars[1]), {1129, 42, 18, 55, 540, 0, 18, 55}));
    EXPECT_TRUE(Near(Sprite(chars[2]), {1148, 42, 54, 55, 0, 0}));
    EXPECT_TRUE(Near(Sprite(chars[3]), {1201, 42, 54, 55, 0, 0}));
    std::vector<uint32_t> beeps;
    while (director->GetFrameCounter() < 7200) {
        sound->StopSE(99); // its voices counted afresh: a start in this frame makes 1
        Frame();
        if (Sounds(99) != 0)
            beeps.push_back(director->GetFrameCounter());
        if (director->GetFrameCounter() == 6661) {
            EXPECT_EQ(DrawHud(clock)[0].v0, 60.0f) << "0:09, the second row";
            EXPECT_EQ(director->GetHud().GetLastClockSecond(), 9);
        }
    }
    EXPECT_EQ(beeps,
              (std::vector<uint32_t>{6661, 6721, 6781, 6841, 6901, 6961, 7021, 7081, 7141, 7200}));
}

TEST_F(HudTest, RankPicturesByScore) {
    const std::pair<uint64_t, uint32_t> rows[] = {{0, 0},          {9999, 0},      {10000, 1},
                                                  {49999999, 3},   {399999999, 9}, {400000000, 10},
                                                  {1ull << 32, 10}};
    for (const auto& [score, rank] : rows)
        EXPECT_EQ(StageHud::RankOf(score), rank) << score;
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
    auto* result = Texture(StageTextureSlot::kResult, 384, 96);
    auto* noMiss = Texture(StageTextureSlot::kResultNoMiss, 328, 40);
    auto* digits = Texture(StageTextureSlot::kResultDigits, 480, 48);
    auto* times = Texture(StageTextureSlot::kResultTimes, 48, 48);
    auto* note = Texture(StageTextureSlot::kResultBonusNote, 304, 40);
    world.gw->player.lives = 2;
    director->StartResultTally(true);
    for (int i = 0; i < 59; ++i)
        EXPECT_TRUE(DrawHud(result).empty());
    auto first = DrawHud(result); // timer 0
    ASSERT_EQ(first.size(), 1u);
    EXPECT_TRUE(Near(Sprite(first[0]), {168 + 280, 92}));
    for (int i = 0; i < 39; ++i)
        EXPECT_TRUE(DrawHud(noMiss).empty());
    auto line = DrawHud(); // timer -40
    ASSERT_EQ(At(line, noMiss, 0, 0).size(), 1u);
    // "1000000" centred: seven cells from (1280 - 336) / 2.
    std::vector<Quad> cells;
    std::copy_if(line.begin(), line.end(), std::back_inserter(cells),
                 [&](const Quad& q) { return q.texture == digits; });
    ASSERT_EQ(cells.size(), 7u);
    EXPECT_TRUE(Near(Sprite(cells[0]), {472, 246, 48, 48, 48, 0}));
    EXPECT_EQ(cells[1].u0, 0.0f);
    while (director->GetTally().GetTimer() > -120)
        DrawHud();
    // "1000000 X 3": eleven characters, the X from its own picture.
    auto x = DrawHud(times);
    ASSERT_EQ(x.size(), 1u);
    EXPECT_TRUE(Near(Sprite(x[0]), {(1280.0f - 48.0f * 11) / 2 + 48.0f * 8, 486}));
    while (director->GetTally().GetTimer() > -159)
        EXPECT_TRUE(DrawHud(note).empty());
    EXPECT_EQ(DrawHud(note).size(), 1u);
}
