#include "support/GameStateFixture.h"

namespace {

const ScoreBlock::DateTime kWhen = {2026, 12, 6, 17, 30, 59};

class RankingTest : public GameStateTest {
protected:
    int32_t Enter(uint32_t mode, uint64_t s, int8_t ship = 0) {
        gw->mode = mode;
        gw->player.score = s;
        gw->player.ship = ship;
        return gw->InsertRanking();
    }
    uint64_t At(uint32_t table, uint32_t i) { return ScoreBlock::EntryScore(gw->score, table, i); }
};

} // namespace

TEST_F(RankingTest, FirstScoreEntersAtTheTopWithDateAndShip) {
    EXPECT_EQ(Enter(1, 500, 4), 0);
    const uint8_t* e = ScoreBlock::Entry(gw->score, 0, 0);
    EXPECT_EQ(At(0, 0), 500u);
    uint16_t f[7];
    std::memcpy(f, e + 8, sizeof(f));
    EXPECT_GE(f[0], 2000);
    EXPECT_TRUE(f[1] >= 1 && f[1] <= 12);
    EXPECT_EQ(f[6], 4);
}

TEST_F(RankingTest, ModesUseTheirTables) {
    EXPECT_EQ(Enter(2, 10), 0);
    EXPECT_EQ(Enter(6, 20), 0);
    EXPECT_EQ(Enter(8, 30), 0);
    EXPECT_EQ(Enter(9, 40), 0);
    EXPECT_EQ(At(0, 0), 10u);
    EXPECT_EQ(At(1, 0), 20u);
    EXPECT_EQ(At(2, 0), 30u);
    EXPECT_EQ(At(3, 0), 40u);
    EXPECT_EQ(Enter(10, 50), -1); // no table for the mode
    EXPECT_EQ(Enter(11, 50), -1);
    for (uint32_t t = 4; t < 20; ++t)
        EXPECT_EQ(At(t, 0), 0u);
}

TEST_F(RankingTest, OrderTiesAndTheLastPlace) {
    for (uint64_t s = 1; s <= 20; ++s)
        Enter(0, s * 100);
    EXPECT_EQ(At(0, 0), 2000u);
    EXPECT_EQ(At(0, 19), 100u);
    EXPECT_EQ(Enter(0, 100), -1); // a tie with the last entry does not enter
    EXPECT_EQ(Enter(0, 1050, 5), 10);
    EXPECT_EQ(At(0, 10), 1050u);
    EXPECT_EQ(At(0, 19), 200u);
    // A new equal score goes above the older ones.
    EXPECT_EQ(Enter(0, 1500, 3), 5);
    uint16_t ship;
    std::memcpy(&ship, ScoreBlock::Entry(gw->score, 0, 5) + 20, 2);
    EXPECT_EQ(ship, 3);
    EXPECT_EQ(At(0, 6), 1500u);
}

TEST_F(RankingTest, ZeroContinuesAndReplaysNeverEnter) {
    EXPECT_EQ(Enter(0, 0), -1);
    gw->player.continues = 1;
    EXPECT_EQ(Enter(0, 999999), -1);
    gw->player.continues = 0;
    gw->playing = 1;
    EXPECT_EQ(Enter(0, 999999), -1);
    EXPECT_EQ(At(0, 0), 0u);
}

TEST_F(RankingTest, AStoryGameAfterAnAttractDemoRanks) {
    std::vector<uint8_t> demo(56 + 4 * 10, 0);
    demo[48] = 3; // stage
    demo[52] = 1; // mode
    ASSERT_TRUE(gw->StartReplayPlayback(demo.data(), static_cast<uint32_t>(demo.size())));
    gw->FreeReplayBuffer(); // the demo ends; it still ends as a demo
    EXPECT_EQ(gw->playing, 1);
    gw->BeginGame(4); // story, from the game menu
    EXPECT_EQ(gw->playing, 0);
    gw->player = {};
    EXPECT_EQ(Enter(5, 5000, 2), 0);
    EXPECT_EQ(At(1, 0), 5000u);
}

TEST(ScoreBlock, InsertKeepsTheSceneBytesOfMovedEntries) {
    std::vector<uint8_t> block(ScoreBlock::kSize, 0);
    ScoreBlock::Insert(block.data(), 0, 10, 0, kWhen);
    ScoreBlock::Entry(block.data(), 0, 0)[25] = 0x77;
    EXPECT_EQ(ScoreBlock::Insert(block.data(), 0, 20, 1, kWhen), 0);
    EXPECT_EQ(ScoreBlock::Entry(block.data(), 0, 1)[25], 0x77);
    EXPECT_EQ(ScoreBlock::Insert(block.data(), 20, 20, 1, kWhen), -1);
}

TEST(ProgressBlock, ClearsAndUnlocks) {
    std::vector<uint8_t> p(ProgressBlock::kSize);
    ProgressBlock::Reset(p.data());
    // An arcade clear in mode 5: ship and mode flags, no story unlocks.
    ProgressBlock::RecordClear(p.data(), 2, 3, 5);
    EXPECT_EQ(p[20 + 2], 1);
    EXPECT_EQ(p[12 + 5], 1);
    EXPECT_EQ(p[26 + 2], 0);
    EXPECT_EQ(ProgressBlock::UnlockBits(p.data()), 0u);
    ProgressBlock::RecordClear(p.data(), 1, 3, 1);
    EXPECT_EQ(p[13], 0); // modes 0-3 are not booked

    // A story clear with ship 4 alone unlocks nothing.
    ProgressBlock::RecordClear(p.data(), 4, 4, 1);
    EXPECT_EQ(p[26 + 4], 1);
    EXPECT_EQ(p[36], 0);
    // With ship 0 too: unlock A, and B since ship 4 already has one.
    ProgressBlock::RecordClear(p.data(), 0, 4, 1);
    EXPECT_EQ(p[36], 1);
    EXPECT_EQ(p[37], 1);
    EXPECT_EQ(ProgressBlock::UnlockBits(p.data()), 0x3u);
    // The next story clear (not ship 5) sets 0x8, the one after that 0x10.
    ProgressBlock::RecordClear(p.data(), 5, 4, 1);
    EXPECT_EQ(ProgressBlock::UnlockBits(p.data()), 0x3u);
    ProgressBlock::RecordClear(p.data(), 1, 4, 1);
    EXPECT_EQ(ProgressBlock::UnlockBits(p.data()), 0xBu);
    ProgressBlock::RecordClear(p.data(), 1, 4, 1);
    EXPECT_EQ(ProgressBlock::UnlockBits(p.data()), 0x1Bu);

    // A ship id outside 0-5 (damaged record) books nothing.
    std::vector<uint8_t> before = p;
    ProgressBlock::RecordClear(p.data(), 6, 4, 5);
    ProgressBlock::RecordClear(p.data(), -1, 4, 5);
    EXPECT_EQ(p, before);
}

TEST_F(RankingTest, RecordClearUsesThePlayersShipTypeAndMode) {
    gw->BeginGame(4);
    gw->mode = 7;
    gw->player.ship = 3;
    gw->RecordClear();
    EXPECT_EQ(gw->progress[20 + 3], 1);
    EXPECT_EQ(gw->progress[26 + 3], 1);
    EXPECT_EQ(gw->progress[12 + 7], 1);
    EXPECT_EQ(gw->progress[36], 1);
}
