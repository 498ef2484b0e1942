#include "support/FieldRows.h"
#include "support/GameStateFixture.h"

#include <cstring>
#include <vector>

namespace {

std::vector<int32_t> g_voices;
std::vector<int32_t> g_sounds;
void RecordVoice(int32_t, int32_t voice) {
    g_voices.push_back(voice);
}
void RecordSound(int32_t id) {
    g_sounds.push_back(id);
}

class PlayerWorkTest : public GameStateTest {
protected:
    void SetUp() override {
        GameStateTest::SetUp();
        LoadTables();
        g_voices.clear();
        g_sounds.clear();
        gw->voiceHook = RecordVoice;
        gw->soundHook = RecordSound;
    }
    PlayerWork& P() { return gw->player; }
};

} // namespace

// A new game's player starts from zeros whatever the last game left, but
// for the ship chosen, the mode's first extend and the configured lives.
TEST_F(PlayerWorkTest, ResetTakesTheModesFirstExtendAndConfiguredLives) {
    gw->mode = 1;
    std::memset(&P(), 0x5A, sizeof(PlayerWork));
    P().ship = 3;
    gw->config[ConfigBlock::kOffsetLives] = 1;
    gw->ResetPlayerWork();
    const PlayerWork& p = P();
    testsupport::ExpectFields<int64_t>({
        {"score", int64_t(p.score), 0},
        {"high score", int64_t(p.hiScore), 0},
        {"next extend (the sample normal mode's first)", int64_t(p.nextExtend), 1500000},
        {"Grabuster hits", p.grabusterHits, 0},
        {"continues", p.continues, 0},
        {"extends", p.extends, 0},
        {"Barion gauge", p.barionGauge, 0},
        {"Hyperio gauge", p.hyperioGauge, 0},
        {"invincibility timer", p.invincibleTimer, 0},
        {"lives", p.lives, 0},
        {"ship", p.ship, 3},
        {"power", p.power, 0},
        {"sub-weapon mode", p.subWeaponMode, 0},
        {"sub weapon", p.subWeapon, 0},
        {"invincible", p.invincible, 0},
        {"guard", p.guard, 0},
        {"down", p.down, 0},
        {"last three bytes", p.reserved1[0] | p.reserved1[1] | p.reserved1[2], 0},
    });

    // The configured count less the ship in play; 0 and 10 are limits.
    for (const auto& [configured, lives] : {std::pair{0, 0}, {5, 4}, {10, 255}}) {
        gw->config[ConfigBlock::kOffsetLives] = static_cast<uint8_t>(configured);
        gw->ResetPlayerWork();
        EXPECT_EQ(P().lives, lives) << configured;
    }
}

TEST_F(PlayerWorkTest, OneExtendPerCallThenTheNextThresholds) {
    gw->mode = 0; // thresholds 1000000, 3000000, 6000000, step 5000000
    gw->ResetPlayerWork();
    const int16_t lives = P().lives;
    P().AddScore(3500000); // passes two thresholds: one extend only
    EXPECT_EQ(P().extends, 1);
    EXPECT_EQ(P().lives, lives + 1);
    EXPECT_EQ(P().nextExtend, 3000000u);
    EXPECT_EQ(P().hiScore, 3500000u);
    P().AddScore(1); // the second one now
    EXPECT_EQ(P().extends, 2);
    EXPECT_EQ(P().nextExtend, 6000000u);
    P().AddScore(2500000);
    EXPECT_EQ(P().extends, 3);
    EXPECT_EQ(P().nextExtend, 11000000u);
    P().AddScore(5000000);
    EXPECT_EQ(P().nextExtend, 16000000u);
    ASSERT_EQ(g_voices.size(), 4u);
    for (int32_t v : g_voices)
        EXPECT_TRUE(v == 20 || v == 21);
}

TEST_F(PlayerWorkTest, NoExtendWhenTheModeHasExtendsOff) {
    gw->mode = 8;
    gw->ResetPlayerWork();
    P().AddScore(4000000000ull);
    EXPECT_EQ(P().extends, 0);
    EXPECT_EQ(P().hiScore, 4000000000ull);
    // A missing system table behaves the same.
    gw->tables.Free();
    gw->mode = 0;
    P().AddScore(1);
    EXPECT_EQ(P().extends, 0);
}

TEST_F(PlayerWorkTest, CountersStopAtTheirLimits) {
    P().lives = 255;
    P().AddLives(5);
    EXPECT_EQ(P().lives, 256);
    P().extends = 255;
    P().Extend();
    EXPECT_EQ(P().extends, 255);
    EXPECT_EQ(P().lives, 256);
    P().continues = 254;
    EXPECT_EQ(P().AddContinue(), 255);
    EXPECT_EQ(P().AddContinue(), 255);
    // A negative score takes points away down to 0, and the score stops at
    // its top: it never wraps, so no extend threshold is passed by a wrap.
    gw->mode = 0; // extends on
    gw->ResetPlayerWork();
    const int16_t lives = P().lives;
    P().score = 50;
    P().AddScore(-100);
    EXPECT_EQ(P().score, 0u);
    P().AddScore(1);
    EXPECT_EQ(P().lives, lives);
    P().score = ~0ull - 5;
    P().AddScore(10);
    EXPECT_EQ(P().score, ~0ull);
}

TEST_F(PlayerWorkTest, GaugesFillToTheShipsMaximum) {
    gw->mode = 1;
    P().ship = 2; // sample rows: Barion max 1000, step 25%, Hyperio max 600
    P().barionGauge = 900;
    P().AddBarionGauge(50);
    EXPECT_EQ(P().barionGauge, 950);
    EXPECT_TRUE(g_sounds.empty());
    P().AddBarionGauge(80);
    EXPECT_EQ(P().barionGauge, 1000);
    EXPECT_EQ(g_sounds, std::vector<int32_t>{25});
    P().AddBarionGauge(80); // already full: nothing
    EXPECT_EQ(g_sounds.size(), 1u);
    EXPECT_TRUE(gw->IsBarionGaugeFull(P()));
    // Landing exactly on the maximum fills it too.
    P().barionGauge = 990;
    P().AddBarionGauge(10);
    EXPECT_EQ(P().barionGauge, 1000);
    EXPECT_EQ(g_sounds, (std::vector<int32_t>{25, 25}));

    P().hyperioGauge = 590;
    P().AddHyperioGauge(30);
    EXPECT_EQ(P().hyperioGauge, 600);
}

TEST_F(PlayerWorkTest, SpendingTheBarionStep) {
    gw->mode = 1;
    P().ship = 0;
    P().barionGauge = 249;
    EXPECT_FALSE(gw->HasBarionStep(P()));
    P().barionGauge = 250;
    EXPECT_TRUE(gw->HasBarionStep(P()));
    gw->SpendBarionGauge(P(), true);
    EXPECT_EQ(P().barionGauge, 250);
    gw->SpendBarionGauge(P(), false);
    EXPECT_EQ(P().barionGauge, 0);
    P().barionGauge = 100;
    gw->SpendBarionGauge(P(), false);
    EXPECT_EQ(P().barionGauge, 0);
    P().barionGauge = -5;
    gw->SpendBarionGauge(P(), true);
    EXPECT_EQ(P().barionGauge, 0);
}

TEST_F(PlayerWorkTest, ShipOutsideTheTableHasNoRow) {
    EXPECT_NE(gw->GetShipParam(5), nullptr);
    EXPECT_EQ(gw->GetShipParam(6), nullptr);
    EXPECT_EQ(gw->GetShipParam(-1), nullptr);
    EXPECT_EQ(gw->GetShotParam(0, 4), nullptr);
    EXPECT_NE(gw->GetShotParam(5, 3), nullptr);
    P().ship = 9;
    P().barionGauge = 10;
    P().AddBarionGauge(10); // no row: maximum 0, nothing added
    EXPECT_EQ(P().barionGauge, 10);
}

TEST_F(PlayerWorkTest, BeginGameAndUnlockBits) {
    gw->stage = 7;
    gw->hitsTaken = gw->misses = gw->hitsTaken2 = gw->misses2 = 3;
    gw->BeginGame(4);
    EXPECT_EQ(gw->stage, 0u);
    EXPECT_EQ(gw->gameType, 4u);
    EXPECT_EQ(gw->hitsTaken + gw->misses + gw->hitsTaken2 + gw->misses2, 0u);
    gw->SetSubWeaponUnlocked(3, true);
    EXPECT_TRUE(gw->IsSubWeaponUnlocked(3));
    EXPECT_FALSE(gw->IsSubWeaponUnlocked(2));
    gw->SetSubWeaponUnlocked(3, false);
    EXPECT_FALSE(gw->IsSubWeaponUnlocked(3));
}
