#include "support/FlowSceneRig.h"

#include "game/core/InputManager.h"
#include "game/core/ScoreBlock.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"

#include <cstring>
#include <string>

namespace {

class RankingTest : public flow_test::FlowRig {
protected:
    SceneRanking* ToBrowse() {
        ranking = Push<SceneRanking>();
        return ranking ? RunUntilState<SceneRanking>(4, 100) : nullptr;
    }
    void Press(uint32_t button) {
        Frame(button);
        Frames(3);
    }
    void PutEntry(uint32_t table, uint32_t entry, uint64_t score, const uint16_t (&fields)[7]) {
        uint8_t* e = ScoreBlock::Entry(work->score, table, entry);
        std::memcpy(e, &score, 8);
        std::memcpy(e + 8, fields, sizeof fields);
    }
    std::string TextAt(float y, float x0, float x1) const {
        return FlowRig::TextAt(ranking->GetTexture(SceneRanking::kGlyphs), y, x0, x1);
    }

    SceneRanking* ranking = nullptr;
};

TEST_F(RankingTest, FromTheMenuTheFirstPageOpensOnTheFirstRow) {
    work->SetSceneArgs(1, -1);
    ASSERT_NE(ToBrowse(), nullptr);
    EXPECT_EQ(ranking->GetPage(), 0);
    EXPECT_EQ(ranking->GetCursor(), 0);
    ASSERT_NE(flow_test::RecordingVfxInstance::Find("setup/setup.vfxb"), nullptr)
        << "the setup screen's background effect";
}

TEST_F(RankingTest, AThirdPlaceInModeNineOpensPageThreeOnRowTwoAndGlints) {
    work->SetSceneArgs(9, 2);
    ASSERT_NE(ToBrowse(), nullptr);
    EXPECT_EQ(ranking->GetPage(), 3);
    EXPECT_EQ(ranking->GetCursor(), 2);
    Frame();
    EXPECT_EQ(TextAt(105, 30, 1280), "gamemode:challengemode5min");
    const auto cursorOf = [this](int frameOfGlint) {
        return SpritesOf(ranking->GetTexture(SceneRanking::kFirstCursor + frameOfGlint - 2));
    };
    ASSERT_EQ(cursorOf(2).size(), 1u);
    EXPECT_EQ(cursorOf(2)[0].y0, 158.0f + 90.0f);
    EXPECT_EQ(cursorOf(2)[0].y1, 206.0f + 90.0f);

    // No glint during the first 60 frames; then one starts at random.
    int frames = 1;
    while (ranking->GetGlintStep() < 0 && frames < 5000) {
        Frame();
        ++frames;
    }
    ASSERT_GT(frames, 60);
    ASSERT_LT(frames, 5000);
    std::vector<int> glint;
    while (ranking->GetGlintStep() >= 0) {
        glint.push_back(ranking->GetGlintFrame());
        Frame();
    }
    // Frames 2 to 10, three steps each (frame 2 also at the start), 27 steps.
    ASSERT_EQ(glint.size(), 27u);
    EXPECT_EQ(glint[0], 2);
    EXPECT_EQ(glint[3], 3);
    EXPECT_EQ(glint[26], 10);
    EXPECT_EQ(ranking->GetGlintFrame(), 2);
    EXPECT_EQ(ranking->GetGlintDelay(), 60);
}

TEST_F(RankingTest, CursorAndPagesWrapAndOkLeavesForTheMenu) {
    ASSERT_NE(ToBrowse(), nullptr);
    const uint32_t moved = SoundCount(3);
    Press(InputManager::kUp);
    EXPECT_EQ(ranking->GetCursor(), 10) << "up from the first row is the ok button";
    Frame();
    EXPECT_EQ(SpritesOf(ranking->GetTexture(SceneRanking::kOkOn)).size(), 1u);
    EXPECT_TRUE(SpritesOf(ranking->GetTexture(SceneRanking::kOkOff)).empty());
    Press(InputManager::kDown);
    EXPECT_EQ(ranking->GetCursor(), 0);
    Press(InputManager::kLeft);
    EXPECT_EQ(ranking->GetPage(), 3);
    Press(InputManager::kRight);
    Press(InputManager::kRight);
    EXPECT_EQ(ranking->GetPage(), 1);
    EXPECT_EQ(SoundCount(3), moved + 5);

    Press(InputManager::kShot);
    EXPECT_EQ(ranking->GetState(), 4) << "shot on a row does nothing";
    Press(InputManager::kUp);
    const uint32_t decided = SoundCount(4);
    Frame(InputManager::kShot);
    EXPECT_EQ(ranking->GetState(), 5);
    EXPECT_EQ(SoundCount(4), decided + 1);
    EXPECT_EQ(ranking->GetMusicSlot(), -1);
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_EQ(Active<SceneRanking>(), nullptr);
}

// The score is 64 bits wide: printed unsigned, ten digits at least.
TEST_F(RankingTest, RowsShowPlaceScoreDateTimeAndPilot) {
    PutEntry(0, 0, (uint64_t{1} << 32) + 5, {2024, 3, 7, 9, 5, 1, 4});
    PutEntry(0, 1, 42, {1999, 12, 31, 23, 59, 58, 0});
    ASSERT_NE(ToBrowse(), nullptr);
    Frame();
    EXPECT_EQ(TextAt(155, 90, 230), "1st");
    EXPECT_EQ(TextAt(155, 235, 690), "4294967301");
    EXPECT_EQ(TextAt(155, 690, 1000), "2024/03/07");
    EXPECT_EQ(TextAt(155, 1030, 1280), "09:05:01");
    EXPECT_EQ(TextAt(200, 235, 690), "0000000042");
    EXPECT_EQ(TextAt(200, 690, 1000), "1999/12/31");
    EXPECT_EQ(TextAt(560, 90, 230), "10th");
    std::vector<flow_test::Sprite> icons;
    for (const flow_test::Sprite& s : SpritesOf(ranking->GetTexture(SceneRanking::kGlyphs)))
        if (s.u0 == 390)
            icons.push_back(s);
    ASSERT_EQ(icons.size(), 10u);
    EXPECT_EQ(icons[0].v0, 180.0f) << "pilot 5's icon";
    EXPECT_EQ(icons[0].v1, 225.0f);
    EXPECT_EQ(icons[0].x0, 555.0f);
    EXPECT_EQ(icons[0].y0, 150.0f);
    EXPECT_EQ(icons[1].v0, 0.0f);
    EXPECT_EQ(icons[1].y1, 240.0f);
    EXPECT_EQ(icons[0].colour, 0xFFFFFFFFu);
    const std::vector<flow_test::Sprite> text =
        SpritesOf(ranking->GetTexture(SceneRanking::kGlyphs));
    EXPECT_EQ(text.front().colour, 0xFF20FFBAu) << "0xBA, 0xFF, 0x20 from the top byte down";
    EXPECT_EQ(text.front().priority, 3u);
}

// The pilot is a u16 of the save: only 0-5 have an icon in the column.
TEST_F(RankingTest, APilotOutsideTheSixDrawsNoIcon) {
    PutEntry(0, 0, 300, {2024, 1, 1, 0, 0, 0, 6});
    PutEntry(0, 1, 200, {2024, 1, 1, 0, 0, 0, 0xFFFF});
    PutEntry(0, 2, 100, {2024, 1, 1, 0, 0, 0, 5});
    ASSERT_NE(ToBrowse(), nullptr);
    Frame();
    std::vector<flow_test::Sprite> icons;
    for (const flow_test::Sprite& s : SpritesOf(ranking->GetTexture(SceneRanking::kGlyphs)))
        if (s.u0 == 390 && s.x0 == 555 && s.Width() == 120) // the icon column
            icons.push_back(s);
    ASSERT_EQ(icons.size(), 8u) << "rows 0 and 1 have none";
    EXPECT_EQ(icons[0].y0, 240.0f) << "the third row's icon comes first";
    EXPECT_EQ(icons[0].v0, 225.0f) << "pilot 6's icon, the column's last";
    EXPECT_EQ(icons[0].v1, 270.0f);
    for (const flow_test::Sprite& icon : icons)
        EXPECT_LE(icon.v1, 270.0f);
    EXPECT_EQ(TextAt(155, 235, 690), "0000000300") << "the row itself is still shown";
}

} // namespace
