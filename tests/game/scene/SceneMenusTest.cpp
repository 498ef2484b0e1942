// The menu screens under scripted presses: the game menu's entries and
// cursor, the ranking's pages, rows and glint, the next-loop question, the
// pilot select's grid and panels, and the setup's values, buttons, saved
// configuration and captured bindings.
#include "engine/graphics/GraphicsDevice.h"
#include "engine/peripheral/InputDevice.h"
#include "engine/sound/StaticSound.h"
#include "game/core/ConfigBlock.h"
#include "game/core/ProgressBlock.h"
#include "game/core/ScoreBlock.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneStoryOpening.h"
#include "support/SceneRig.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

using namespace scene_test;

class MenusTest : public SceneRig {
protected:
    // The screen pushed and run to its input state, 4.
    template <class T> T* ToInput() { return Push<T>() ? RunUntilState<T>(4, 100) : nullptr; }
};

TEST_F(MenusTest, TheGameMenuWaitsForItsFadeInThenItsCursorMoves) {
    auto* menu = Push<SceneSelectGameMenu>();
    ASSERT_NE(menu, nullptr);
    RecordingVfxInstance* effect = RecordingVfxInstance::Find("game_menu/game_menu.vfxb");
    ASSERT_NE(effect, nullptr);
    ASSERT_NE(RunUntilState<SceneSelectGameMenu>(3, 5), nullptr);
    EXPECT_EQ(effect->calls.front(), (RecordingVfxInstance::Call{RecordingVfxInstance::kPlay, 0}));
    uint32_t moved = SoundCount(3);
    int frames = 0;
    for (; menu->GetState() == 3 && frames < 100; ++frames)
        Frame(frames % 4 == 0 ? kDown : kShot * (frames == 30));
    EXPECT_EQ(frames, 60) << "the 60-frame fade-in ignores presses";
    EXPECT_EQ(menu->GetCursor(), 0);
    EXPECT_EQ(SoundCount(3), moved);
    EXPECT_EQ(effect->Parameters(), (std::vector<uint32_t>{1})) << "the first entry lit";
    EXPECT_EQ((std::vector<uint32_t>{hud[0].priority, hud[0].blend, hud[0].colour}),
              (std::vector<uint32_t>{1, 0, 0xFF000000u}))
        << "an opaque black backdrop";
    // Up and down wrap around the six entries; left and right only switch
    // the bottom row's two. Each move lights its entry (bit cursor + 1)
    // with sound 3.
    const uint32_t moves[][3] = {{kUp, 5, 6},    {kDown, 0, 1}, {kLeft, 0, 0}, {kRight, 0, 0},
                                 {kDown, 1, 2},  {kLeft, 1, 0}, {kDown, 2, 3}, {kRight, 2, 0},
                                 {kDown, 3, 4},  {kLeft, 3, 0}, {kDown, 4, 5}, {kRight, 5, 6},
                                 {kRight, 4, 5}, {kLeft, 5, 6}, {kDown, 0, 1}};
    for (const auto& [button, cursor, bit] : moves) {
        const size_t bits = effect->Parameters().size();
        moved = SoundCount(3);
        Press(button);
        EXPECT_EQ(menu->GetCursor(), int(cursor)) << button << " to " << cursor;
        EXPECT_EQ(SoundCount(3), moved + (bit ? 1 : 0)) << button << " to " << cursor;
        EXPECT_EQ(effect->Parameters().back(), bit ? bit : effect->Parameters()[bits - 1]);
        EXPECT_EQ(effect->Parameters().size(), bits + (bit ? 1 : 0));
    }
}

// Each entry: its decision bit, the game state it sets and the screen that
// follows the 60-frame fade (none for the last: the window's close request
// is the way out).
TEST_F(MenusTest, EachEntryDecidesAfterTheFade) {
    for (int entry = 0; entry < 6; ++entry) {
        SCOPED_TRACE(entry);
        driver->ClearAll();
        auto* menu = ToInput<SceneSelectGameMenu>();
        ASSERT_NE(menu, nullptr);
        for (int i = 0; i < entry; ++i)
            Press(kDown);
        work->mode = 7;
        work->storyMode = 1;
        work->gameType = 0;
        work->stage = 9;
        const uint32_t decided = SoundCount(4);
        Frame(kShot);
        EXPECT_EQ(menu->GetState(), 5);
        EXPECT_EQ(RecordingVfxInstance::Find("game_menu/game_menu.vfxb")->Parameters().back(),
                  uint32_t(8 + entry));
        EXPECT_EQ(SoundCount(4), decided + 1);
        EXPECT_EQ(menu->GetMusicSlot(), -1) << "the music goes as the fade starts";
        EXPECT_EQ((std::vector<uint32_t>{work->mode, work->storyMode}),
                  (std::vector<uint32_t>{1, entry == 1 ? 1u : 0u}));
        Frames(58);
        Frame(kDown);
        EXPECT_EQ(menu->GetCursor(), entry) << "no input while the fade runs";
        ASSERT_EQ(Active<SceneSelectGameMenu>(), menu);
        Frame();
        EXPECT_EQ(Active<SceneSelectGameMenu>(), nullptr);
        if (entry < 3) {
            EXPECT_NE(Active<SceneSelectPilot>(), nullptr);
            EXPECT_EQ((std::vector<uint32_t>{work->gameType, work->stage}),
                      (std::vector<uint32_t>{uint32_t(3 + entry), 0}));
        } else if (entry == 3) {
            EXPECT_NE(Active<SceneRanking>(), nullptr);
            EXPECT_EQ(work->rankingMode, 1u);
            EXPECT_EQ(work->rankingPlace, -1);
        } else if (entry == 4) {
            EXPECT_NE(Active<SceneSetup>(), nullptr);
        } else {
            EXPECT_EQ(driver->GetFirstActive(), nullptr);
            EXPECT_EQ(driver->GetFirstPending(), nullptr);
        }
    }
}

// The page and row the ranking opens on: the first from the menu, a third
// place in mode 9 on page 3, row 2, its cursor glinting at random after 60
// frames through frames 2 to 10, three steps each.
TEST_F(MenusTest, TheRankingOpensOnTheNewPlaceAndItGlints) {
    work->SetSceneArgs(1, -1);
    auto* ranking = ToInput<SceneRanking>();
    ASSERT_NE(ranking, nullptr);
    EXPECT_EQ((std::vector<int32_t>{ranking->GetPage(), ranking->GetCursor()}),
              (std::vector<int32_t>{0, 0}));
    EXPECT_NE(RecordingVfxInstance::Find("setup/setup.vfxb"), nullptr)
        << "the setup screen's background effect";
    // Without a new place the mode does not choose the page.
    driver->ClearAll();
    work->SetSceneArgs(9, -1);
    ASSERT_NE(ranking = ToInput<SceneRanking>(), nullptr);
    EXPECT_EQ((std::vector<int32_t>{ranking->GetPage(), ranking->GetCursor()}),
              (std::vector<int32_t>{0, 0}));
    driver->ClearAll();
    work->SetSceneArgs(9, 2);
    ASSERT_NE(ranking = ToInput<SceneRanking>(), nullptr);
    EXPECT_EQ((std::vector<int32_t>{ranking->GetPage(), ranking->GetCursor()}),
              (std::vector<int32_t>{3, 2}));
    Frame();
    EXPECT_EQ(TextAt(ranking->GetTexture(SceneRanking::kGlyphs), 105, 30, 1280),
              "gamemode:challengemode5min");
    const Sprite cursor = One(ranking->GetTexture(SceneRanking::kFirstCursor));
    EXPECT_EQ((std::vector<float>{cursor.y0, cursor.y1}), (std::vector<float>{158 + 90, 206 + 90}))
        << "on the third row";
    const int quiet = FramesUntil([&] { return ranking->GetGlintDelay() == 0; }, 100);
    ASSERT_LT(quiet, 100);
    // From then on each frame's word r of stream 0 starts a glint when
    // r mod 121 < 2.
    int waited = 0;
    for (; ranking->GetGlintStep() < 0 && waited < 5000; ++waited) {
        Mireku::Common::Random next = RandomManager::GetInstance()->Stream(RandomManager::kPresentation);
        const bool starts = next.Next() % 121 < 2;
        Frame();
        ASSERT_EQ(ranking->GetGlintStep() >= 0, starts) << waited;
    }
    ASSERT_GT(quiet + waited, 59);
    std::vector<int> glint;
    while (ranking->GetGlintStep() >= 0) {
        glint.push_back(ranking->GetGlintFrame());
        Frame();
    }
    ASSERT_EQ(glint.size(), 27u);
    EXPECT_EQ((std::vector<int>{glint[0], glint[3], glint[26]}), (std::vector<int>{2, 3, 10}));
    EXPECT_EQ(ranking->GetGlintFrame(), 2);
    EXPECT_EQ(ranking->GetGlintDelay(), 60);
}

TEST_F(MenusTest, TheRankingsCursorAndPagesWrapAndOkLeavesForTheMenu) {
    auto* ranking = ToInput<SceneRanking>();
    ASSERT_NE(ranking, nullptr);
    const uint32_t moved = SoundCount(3);
    Press(kUp);
    EXPECT_EQ(ranking->GetCursor(), 10) << "up from the first row is the ok button";
    EXPECT_EQ(SpritesOf(ranking->GetTexture(SceneRanking::kOkOn)).size(), 1u);
    EXPECT_TRUE(SpritesOf(ranking->GetTexture(SceneRanking::kOkOff)).empty());
    Press(kDown);
    EXPECT_EQ(ranking->GetCursor(), 0);
    Press(kLeft);
    EXPECT_EQ(ranking->GetPage(), 3);
    Press(kRight);
    Press(kRight);
    EXPECT_EQ(ranking->GetPage(), 1);
    EXPECT_EQ(SoundCount(3), moved + 5);
    Press(kShot);
    EXPECT_EQ(ranking->GetState(), 4) << "shot on a row does nothing";
    Press(kUp);
    const uint32_t decided = SoundCount(4);
    Frame(kShot);
    EXPECT_EQ(ranking->GetState(), 5);
    EXPECT_EQ(SoundCount(4), decided + 1);
    EXPECT_EQ(ranking->GetMusicSlot(), -1);
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_EQ(Active<SceneRanking>(), nullptr);
}

// The score is 64 bits wide: printed unsigned, ten digits at least. The
// pilot is a u16 of the save: only 0-5 have an icon in the column (45
// texels a pilot from v 0), any other draws none.
TEST_F(MenusTest, TheRankingsRowsShowPlaceScoreDateTimeAndPilot) {
    const struct {
        uint64_t score;
        uint16_t fields[7];
    } entries[] = {{(uint64_t{1} << 32) + 5, {2024, 3, 7, 9, 5, 1, 4}},
                   {42, {1999, 12, 31, 23, 59, 58, 0}},
                   {30, {2024, 1, 1, 0, 0, 0, 6}},
                   {20, {2024, 1, 1, 0, 0, 0, 0xFFFF}},
                   {10, {2024, 1, 1, 0, 0, 0, 5}}};
    for (uint32_t i = 0; i < 5; ++i) {
        uint8_t* e = ScoreBlock::Entry(work->score, 0, i);
        std::memcpy(e, &entries[i].score, 8);
        std::memcpy(e + 8, entries[i].fields, sizeof entries[i].fields);
    }
    auto* ranking = ToInput<SceneRanking>();
    ASSERT_NE(ranking, nullptr);
    Frame();
    const auto* glyphs = ranking->GetTexture(SceneRanking::kGlyphs);
    const struct {
        float y, x0, x1;
        const char* text;
    } texts[] = {{155, 90, 230, "1st"},          {155, 235, 690, "4294967301"},
                 {155, 690, 1000, "2024/03/07"}, {155, 1030, 1280, "09:05:01"},
                 {200, 235, 690, "0000000042"},  {200, 690, 1000, "1999/12/31"},
                 {245, 235, 690, "0000000030"},  {560, 90, 230, "10th"}};
    for (const auto& t : texts)
        EXPECT_EQ(TextAt(glyphs, t.y, t.x0, t.x1), t.text) << t.y << " " << t.x0;
    std::vector<Sprite> icons;
    for (const Sprite& s : SpritesOf(glyphs))
        if (s.u0 == 390 && s.x0 == 555 && s.Width() == 120)
            icons.push_back(s);
    ASSERT_EQ(icons.size(), 8u) << "rows 2 and 3 have none";
    EXPECT_EQ(icons[0].Rect(), (Box{555, 150, 675, 195}));
    EXPECT_EQ((std::vector<float>{icons[0].v0, icons[0].v1, icons[1].v0, icons[2].y0, icons[2].v0,
                                  icons[2].v1}),
              (std::vector<float>{180, 225, 0, 330, 225, 270}))
        << "pilots 5, 1 and 6";
    EXPECT_EQ(icons[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(SpritesOf(glyphs).front().colour, 0xFF20FFBAu)
        << "0xBA, 0xFF, 0x20 from the top byte";
    EXPECT_EQ(SpritesOf(glyphs).front().priority, 3u);
}

class NextLoopTest : public MenusTest {
protected:
    NextLoopTest() {}
    void SetUp() override {
        MenusTest::SetUp();
        work->stage = 11;
        work->mode = 2;
        work->player.ship = 3;
    }
    // Frames until the step changes: how many.
    int FramesInStep() {
        const int32_t step = next->GetStep();
        return FramesUntil([&] { return next->GetStep() != step; }, 1000);
    }
    SceneGotoNextLoop* next = nullptr;
};

// The line types in 216 frames (8 a character), the question follows 92
// later, "no" under the cursor.
TEST_F(NextLoopTest, TheLineTypesAndTheQuestionFollows) {
    work->progress[ProgressBlock::kOffsetProgressFlag] = 0;
    next = Push<SceneGotoNextLoop>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(work->progress[ProgressBlock::kOffsetProgressFlag], 1)
        << "reaching the screen unlocks the second-loop start";
    ASSERT_NE(RunUntilState<SceneGotoNextLoop>(4, 100), nullptr);
    Frames(72);
    EXPECT_EQ(next->GetShown(), 9);
    EXPECT_EQ(SpritesOf(next->GetGlyphTexture()).size(), 8u) << "\"welcom to\": eight glyphs";
    EXPECT_EQ(72 + FramesInStep(), 216);
    EXPECT_EQ(next->GetShown(), 27);
    EXPECT_EQ(FramesInStep() + FramesInStep(), 92);
    EXPECT_EQ(next->GetStep(), SceneGotoNextLoop::kOnNo);
    Frame();
    // 24 glyphs of the line (its three spaces draw nothing), "yes" and "no".
    const std::vector<Sprite> glyphs = SpritesOf(next->GetGlyphTexture());
    ASSERT_EQ(glyphs.size(), 24u + 3u + 2u);
    EXPECT_EQ(glyphs[0].Rect(), (Box{66.25f, 292.5f, 111.25f, 337.5f})) << "scale 1.5";
    EXPECT_EQ(glyphs[0].u0, 30.0f * ('w' - 'n'));
    EXPECT_EQ((std::vector<float>{glyphs[24].x0, glyphs[27].x0, glyphs[27].y0}),
              (std::vector<float>{252.5f, 915, 382.5f}));
    EXPECT_EQ(glyphs[24].colour, 0xFF0A553Eu) << "yes, not under the cursor: dim";
    EXPECT_EQ(glyphs[27].colour, 0xFF20FFBAu) << "no, under the cursor: bright";
}

// Yes goes on to stage 12. No (shot, or ex weapon from "yes") shows the
// caption, fading in over 61 frames; a button then leaves at once, or the
// caption's counter runs from its parity to 301: a new first place opens
// the ranking, no place the title.
TEST_F(NextLoopTest, TheAnswers) {
    const struct {
        const char* name;
        std::vector<uint32_t> presses;
        uint64_t score;
        bool yes;
        uint32_t sound;
    } rows[] = {{"YesGoesOnToStageTwelve", {kRight, kShot}, 0, true, 4},
                {"NoThenAButtonToTheRankingOfANewFirstPlace", {kShot}, 5000, false, 4},
                {"ExWeaponAnswersNoTheCaptionRunsOutToTheTitle", {kLeft, kEx}, 0, false, 9}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        driver->ClearAll();
        stageStarts.clear();
        work->stage = 11;
        work->player.score = r.score;
        next = Push<SceneGotoNextLoop>();
        ASSERT_NE(RunUntilState<SceneGotoNextLoop>(4, 100), nullptr);
        ASSERT_TRUE(RunUntil([this] { return next->GetStep() == SceneGotoNextLoop::kOnNo; }, 400));
        const uint32_t sounds = SoundCount(r.sound), moved = SoundCount(3);
        for (uint32_t button : r.presses)
            Press(button);
        EXPECT_EQ(SoundCount(3), moved + r.presses.size() - 1) << "a move sounds";
        EXPECT_EQ(next->GetAnswer(), r.yes);
        EXPECT_EQ(SoundCount(r.sound), sounds + 1);
        if (r.yes) {
            EXPECT_EQ(next->GetState(), 5);
            Frames(30);
            ASSERT_EQ(stageStarts.size(), 1u);
            EXPECT_EQ(LastStageStart().stage, 12u);
            continue;
        }
        EXPECT_EQ(FramesInStep() + 3, 61) << "the caption fades in over 61 frames";
        EXPECT_LE(next->GetFrameCounter(), 2) << "only the parity kept, and this frame's draw";
        Frame();
        EXPECT_TRUE(SpritesOf(next->GetGlyphTexture()).empty()) << "the caption alone";
        EXPECT_EQ(SpritesOf(next->GetTexture(0)).size() + SpritesOf(next->GetTexture(1)).size(),
                  1u);
        if (r.score) {
            Frame(kEx);
            EXPECT_EQ(next->GetState(), 5) << "a button leaves at once";
            Frames(30);
            ASSERT_NE(Active<SceneRanking>(), nullptr);
            EXPECT_EQ((std::vector<int64_t>{work->rankingMode, work->rankingPlace}),
                      (std::vector<int64_t>{2, 0}));
            EXPECT_EQ(ScoreBlock::EntryScore(work->score, 0, 0), 5000u);
        } else {
            const int caption = FramesUntil([&] { return next->GetState() != 4; }, 1000);
            EXPECT_TRUE(caption >= 298 && caption <= 299) << caption;
            Frames(30);
            EXPECT_NE(Active<SceneTitle>(), nullptr);
            EXPECT_EQ(stageStarts.size(), 0u);
            EXPECT_EQ(work->stage, 11u);
        }
    }
}

class PilotTest : public MenusTest {
protected:
    // The pilot grid of a game of `type`, flags as the progress data holds
    // them (pilots 1 to 6).
    SceneSelectPilot* ToGrid(uint32_t type) {
        driver->ClearAll();
        work->BeginGame(type);
        work->storyMode = type == 4 ? 1 : 0;
        return select = ToInput<SceneSelectPilot>();
    }
    void SetPilotFlags(const std::array<uint8_t, 6>& flags) {
        std::memcpy(work->progress + ProgressBlock::kOffsetDefaultOnFlags, flags.data(), 4);
        work->progress[ProgressBlock::kOffsetUnlockA] = flags[4];
        work->progress[ProgressBlock::kOffsetUnlockB] = flags[5];
    }
    // The pilots the cursor visits going right (or left) from the start.
    std::vector<int32_t> Visit(uint32_t button, int presses) {
        std::vector<int32_t> seen{select->GetPilot()};
        for (int i = 0; i < presses; ++i) {
            Frame(button);
            seen.push_back(select->GetPilot());
        }
        return seen;
    }
    // Grid shot, then the frames of the panel opening: the panel's state.
    int32_t OpenPanel() {
        Frame(kShot);
        Frames(29);
        return select->GetState();
    }
    // The final choice and the fade out: the next screen begins.
    void ChooseAndFade() {
        Frame(kShot);
        Frames(60);
    }
    SceneSelectPilot* select = nullptr;
};

// Damaged progress data: without any flag the count was 0 and the step
// divided by it; with a gap a locked pilot was selectable.
TEST_F(PilotTest, TheCursorVisitsTheUnlockedPilots) {
    const struct {
        const char* name;
        std::array<uint8_t, 6> flags;
        std::vector<int32_t> right, left;
    } rows[] = {
        {"FourInFreshData", {1, 1, 1, 1, 0, 0}, {0, 1, 2, 3, 0}, {0, 3, 2, 1, 0}},
        {"AllSixInOrder", {1, 1, 1, 1, 1, 1}, {0, 1, 2, 3, 4, 5, 0}, {0, 5}},
        {"NoFlagLeavesPilotOneAlone", {0, 0, 0, 0, 0, 0}, {0, 0, 0}, {0, 0}},
        {"LockedPilotsAreSteppedOver", {0, 1, 0, 1, 0, 1}, {1, 3, 5, 1}, {1, 5, 3, 1}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        SetPilotFlags(r.flags);
        ASSERT_NE(ToGrid(3), nullptr);
        const uint32_t moved = SoundCount(5);
        EXPECT_EQ(Visit(kRight, int(r.right.size()) - 1), r.right);
        Frames(3);
        EXPECT_EQ(Visit(kLeft, int(r.left.size()) - 1), r.left);
        EXPECT_GT(SoundCount(5), moved);
    }
    ASSERT_EQ(OpenPanel(), 7);
    ChooseAndFade();
    ASSERT_EQ(stageStarts.size(), 1u);
    EXPECT_EQ(LastStageStart().ship, 1) << "with a gap, the first unlocked pilot";
}

TEST_F(PilotTest, TheDifficultyPanelOpensClosesAndBacksOutToTheMenu) {
    ASSERT_NE(ToGrid(3), nullptr);
    EXPECT_EQ(select->GetOptionCursor(), 1) << "the middle row";
    Frame(kShot);
    Frames(28);
    EXPECT_EQ(select->GetState(), 5);
    Frame();
    EXPECT_EQ(select->GetState(), 7) << "29 frames for three rows";
    EXPECT_EQ(select->GetPanelTimer(), 29);
    const int32_t cursors[] = {0, 2, 0};
    int i = 0;
    for (uint32_t button : {kUp, kUp, kDown}) {
        Frame(button);
        EXPECT_EQ(select->GetOptionCursor(), cursors[i++]) << "three rows wrap";
        EXPECT_EQ(select->GetCursorFlash(), 19) << "20, counted down once after the draw";
        Frames(3);
    }
    Frame(kEx);
    Frames(28);
    EXPECT_EQ(select->GetState(), 6);
    Frame();
    EXPECT_EQ(select->GetState(), 4) << "back on the grid";
    Frame(kEx);
    EXPECT_EQ(select->GetState(), 10);
    EXPECT_TRUE(select->IsCancelled());
    EXPECT_EQ(select->GetMusicSlot(), -1);
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_EQ(stageStarts.size(), 0u);
}

// Difficulty rows 0 to 2 start modes 0 to 2, or 4 to 6 in story mode (the
// story through its opening), with the first sub weapon only.
TEST_F(PilotTest, TheModeOfEachDifficultyRow) {
    for (bool story : {false, true})
        for (int row = 0; row < 3; ++row) {
            SCOPED_TRACE(testing::Message() << "story " << story << " row " << row);
            stageStarts.clear();
            ASSERT_NE(ToGrid(story ? 4 : 3), nullptr);
            Frame(kRight);
            ASSERT_EQ(OpenPanel(), 7);
            if (row != 1)
                Frame(row == 0 ? kUp : kDown);
            Frames(3);
            work->subWeaponUnlocked = 0x1E;
            ChooseAndFade();
            EXPECT_EQ(work->mode, uint32_t(row + (story ? 4 : 0)));
            EXPECT_EQ((std::vector<int64_t>{work->lastPilot, work->subWeaponUnlocked}),
                      (std::vector<int64_t>{1, 1}));
            EXPECT_EQ(Active<SceneStoryOpening>() != nullptr, story);
            ASSERT_EQ(stageStarts.size(), story ? 0u : 1u);
            if (!story) {
                EXPECT_EQ((std::vector<int64_t>{LastStageStart().ship, LastStageStart().mode}),
                          (std::vector<int64_t>{1, row}));
            }
        }
}

// A challenge's option panel has one row without the second loop; its
// closing opens the time panel, whose rows start modes 8 and 9. With the
// second loop, row 1 starts an ordinary game at stage 12. A cursor left on
// the time panel's second row must not stand on the missing second-loop
// row when the option panel opens again.
TEST_F(PilotTest, TheChallengesTimeAndTheSecondLoop) {
    for (int row = 0; row < 2; ++row) {
        stageStarts.clear();
        ASSERT_NE(ToGrid(5), nullptr);
        EXPECT_EQ(select->GetOptionCursor(), 0);
        ASSERT_EQ(OpenPanel(), 8);
        Press(kDown);
        EXPECT_EQ(select->GetOptionCursor(), 0) << "without the second loop: one row";
        Frame(kShot);
        EXPECT_EQ(select->GetState(), 6);
        Frames(29);
        EXPECT_EQ(select->GetState(), 5) << "the option panel closed, the time panel opens";
        EXPECT_EQ(select->GetPanelKind(), 9);
        Frames(29);
        ASSERT_EQ(select->GetState(), 9);
        if (row == 1) {
            Frame(kUp);
        }
        Frames(3);
        ChooseAndFade();
        EXPECT_EQ(work->mode, uint32_t(8 + row));
        EXPECT_EQ(LastStageStart().mode, uint32_t(8 + row));
        EXPECT_EQ(work->gameType, 5u);
        ASSERT_NE(Active<SceneGame>(), nullptr);
    }
    ASSERT_NE(ToGrid(5), nullptr);
    ASSERT_EQ(OpenPanel(), 8);
    Frame(kShot);
    Frames(58);
    ASSERT_EQ(select->GetState(), 9);
    Frame(kDown);
    ASSERT_EQ(select->GetOptionCursor(), 1);
    Frame(kEx);
    Frames(29);
    ASSERT_EQ(select->GetState(), 4);
    ASSERT_EQ(OpenPanel(), 8);
    EXPECT_EQ(select->GetOptionCursor(), 0);
    Frame(kShot);
    EXPECT_EQ(select->GetState(), 6) << "row 0 closes into the time panel; no second loop";

    work->SetProgressFlag();
    stageStarts.clear();
    ASSERT_NE(ToGrid(5), nullptr);
    ASSERT_EQ(OpenPanel(), 8);
    Press(kDown);
    EXPECT_EQ(select->GetOptionCursor(), 1);
    ChooseAndFade();
    ASSERT_EQ(stageStarts.size(), 1u);
    const StageStart& s = LastStageStart();
    EXPECT_EQ((std::vector<uint32_t>{s.stage, s.gameType, s.mode, s.subWeapons}),
              (std::vector<uint32_t>{12, 3, 1, 1}));
}

// Each option panel draws one sprite a row: three difficulties; in a
// challenge one option row (two once the second loop is open) and then
// two rows of time.
TEST_F(PilotTest, EachPanelDrawsItsRows) {
    ASSERT_NE(ToGrid(3), nullptr);
    ASSERT_EQ(OpenPanel(), 7);
    EXPECT_EQ(SpritesOf(select->GetTexture(SceneSelectPilot::kDifficultyPanel)).size(), 3u);
    for (const bool secondLoop : {false, true}) {
        SCOPED_TRACE(secondLoop);
        if (secondLoop)
            work->SetProgressFlag();
        ASSERT_NE(ToGrid(5), nullptr);
        ASSERT_EQ(OpenPanel(), 8);
        EXPECT_EQ(SpritesOf(select->GetTexture(SceneSelectPilot::kChallengePanel)).size(),
                  secondLoop ? 2u : 1u);
        EXPECT_TRUE(SpritesOf(select->GetTexture(SceneSelectPilot::kTimePanel)).empty());
        if (secondLoop)
            break;
        Frame(kShot);
        Frames(58);
        ASSERT_EQ(select->GetState(), 9);
        EXPECT_EQ(SpritesOf(select->GetTexture(SceneSelectPilot::kTimePanel)).size(), 2u);
        EXPECT_TRUE(SpritesOf(select->GetTexture(SceneSelectPilot::kChallengePanel)).empty());
    }
}

// The bust, the highlight and plain thumbnail strips and the name part of
// the cursor's pilot; a plain thumbnail of the other unlocked pilots; the
// panel rows sliding in from both sides (row k = timer - 3k: 1000 ((20 -
// k) / 20)^2), the cursor's row lit.
TEST_F(PilotTest, TheGridAndThePanelAsDrawn) {
    ASSERT_NE(ToGrid(3), nullptr);
    Frame(kRight);
    std::vector<Sprite> parts = SpritesOf(select->GetTexture(SceneSelectPilot::kFirstBust + 1));
    ASSERT_EQ(parts.size(), 4u);
    EXPECT_EQ((std::vector<float>{parts[0].x0, parts[0].u0, parts[0].Width(), parts[1].v0,
                                  parts[1].x0, parts[2].v0, parts[2].Height(), parts[3].x0}),
              (std::vector<float>{-200, 184, 840, 360, 664, 0, 360, 928}))
        << "the highlight strip first";
    for (uint32_t p : {0u, 2u, 3u, 4u, 5u})
        EXPECT_EQ(SpritesOf(select->GetTexture(SceneSelectPilot::kFirstBust + p)).size(),
                  p < 4 ? 1u : 0u)
            << p;
    EXPECT_EQ(hud.front().texture, select->GetTexture(SceneSelectPilot::kBackground1));
    EXPECT_EQ(hud.front().blend, 0u);
    EXPECT_EQ(hud.back().texture, select->GetTexture(SceneSelectPilot::kInfoBar));
    EXPECT_EQ(hud.back().x0, 761.0f);
    Frames(3);
    Frame(kShot);
    Frames(10); // panel timer 10
    const auto* rows = select->GetTexture(SceneSelectPilot::kDifficultyPanel);
    std::vector<Sprite> drawn = SpritesOf(rows);
    ASSERT_EQ(drawn.size(), 3u);
    EXPECT_FLOAT_EQ(drawn[0].x0, -250.0f);
    EXPECT_FLOAT_EQ(drawn[1].x0, 280.0f + 422.5f);
    EXPECT_FLOAT_EQ(drawn[2].x0, -640.0f);
    EXPECT_EQ((std::vector<float>{drawn[0].y0, drawn[1].v0, drawn[2].v0}),
              (std::vector<float>{158, 112 * 4, 112 * 6}))
        << "the cursor row lit: look 1 of row 1";
    Frames(19);
    EXPECT_EQ(select->GetState(), 7);
    drawn = SpritesOf(rows);
    EXPECT_EQ((std::vector<float>{drawn[0].x0, drawn[1].x0, drawn[2].y0}),
              (std::vector<float>{0, 280, 414}));
}

class PilotWithSound : public PilotTest {
protected:
    PilotWithSound() { withSound = true; }
};

TEST_F(PilotWithSound, ChoosingAPilotResetsThePlayerAndThePilotSpeaks) {
    work->config[ConfigBlock::kOffsetLives] = 5;
    work->player.score = 1234;
    ASSERT_NE(ToGrid(3), nullptr);
    Frame(kRight);
    Frame(kRight);
    Frames(3);
    Frame(kShot);
    EXPECT_EQ(
        (std::vector<int64_t>{work->player.ship, int64_t(work->player.score), work->player.lives}),
        (std::vector<int64_t>{2, 0, 4}));
    int spoken = 0;
    for (uint32_t line = 1; line <= 3; ++line)
        spoken += sound->GetPilotVoice(2, line)->GetVoice()->IsStarted();
    EXPECT_EQ(spoken, 1) << "one of lines 1 to 3 of the pilot";
}

constexpr uint32_t kLives = ConfigBlock::kOffsetLives;
constexpr uint64_t kHour = 60 * 60 * 60;

class SetupTest : public MenusTest {
protected:
    SceneSetup* ToEdit() {
        driver->ClearAll();
        return setup = ToInput<SceneSetup>();
    }
    void SetPlayTime(uint64_t frames) {
        std::memcpy(work->progress + ProgressBlock::kOffsetPlayTime, &frames, 8);
    }
    void GoTo(uint8_t item) {
        while (setup->GetItem() != item)
            Frame(kDown);
    }
    uint8_t Working(uint32_t offset) const { return setup->GetWorkingConfig()[offset]; }
    // Left (negative) or right presses on the current item.
    void Step(int times) {
        for (int i = 0; i < std::abs(times); ++i)
            Frame(times < 0 ? kLeft : kRight);
    }
    // A value's text, from its x to the right column.
    std::string Text(float x, float y) const {
        return TextAt(setup->GetTexture(SceneSetup::kFont), y, x, 800);
    }
    // "Config.dat" as the shutdown writes it.
    std::vector<uint8_t> SavedConfig() {
        EXPECT_TRUE(work->SaveAll());
        std::ifstream in(scratch.Root() + "/My Games/Drevanth/Config.dat", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    SceneSetup* setup = nullptr;
};

// The lives run from 1 to 3 + the whole hours played, 10 at most, and 10 is
// shown as "255"; the sound plays at the end of the range too; a working
// copy until OK.
TEST_F(SetupTest, TheLivesRangeGrowsWithThePlayTime) {
    const uint64_t rows[][2] = {
        {0, 3},          {kHour - 1, 3},    {kHour, 4}, {2 * kHour, 5}, {7 * kHour - 1, 9},
        {7 * kHour, 10}, {~uint64_t{0}, 10}};
    for (const auto& r : rows)
        EXPECT_EQ(SceneSetup::LargestLives(r[0]), int32_t(r[1])) << r[0];
    SetPlayTime(kHour - 1);
    ASSERT_NE(ToEdit(), nullptr);
    EXPECT_EQ(setup->GetLargestLives(), 3);
    EXPECT_EQ(Working(kLives), 3);
    const uint32_t moved = SoundCount(3);
    Step(1);
    EXPECT_EQ(Working(kLives), 3);
    Frames(3);
    EXPECT_EQ(SoundCount(3), moved + 1) << "the sound plays at the end of the range too";
    Step(-5);
    EXPECT_EQ(Working(kLives), 1);
    EXPECT_EQ(work->config[kLives], 3) << "a working copy";
    SetPlayTime(7 * kHour);
    ASSERT_NE(ToEdit(), nullptr);
    Step(9);
    EXPECT_EQ(Working(kLives), 10);
    Frame();
    EXPECT_EQ(Text(480, 95), "255");
    Step(-1);
    Frame();
    EXPECT_EQ(Text(480, 95), "09");
}

// A damaged "Config.dat" (or lives earned before "Data.dat" was lost) must
// not put the u8s out of the ranges left and right step through.
TEST_F(SetupTest, ValuesOutOfRangeAreClampedAtBegin) {
    for (uint8_t lives : {255, 0}) {
        work->config[kLives] = lives;
        work->config[ConfigBlock::kOffsetMusicVolume] = 200;
        work->config[ConfigBlock::kOffsetScreenMode] = 7;
        ASSERT_NE(ToEdit(), nullptr);
        EXPECT_EQ(Working(kLives), lives ? 3 : 1) << "none is not a setting either";
        Step(1);
        EXPECT_EQ(Working(kLives), lives ? 3 : 2) << "not wrapped to 0";
        Frame(kDown);
        Step(1);
        EXPECT_EQ(Working(ConfigBlock::kOffsetMusicVolume), 100);
        EXPECT_EQ(Working(ConfigBlock::kOffsetScreenMode), 1);
    }
}

// Volumes step between 0 and 100 in silence; shown as "%3d%%".
TEST_F(SetupTest, VolumesStepSilentlyBetweenZeroAndAHundred) {
    work->config[ConfigBlock::kOffsetSoundVolume] = 1;
    work->config[ConfigBlock::kOffsetVoiceVolume] = 99;
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kSoundVolume);
    Frames(3);
    const uint32_t moved = SoundCount(3);
    Step(-3);
    EXPECT_EQ(Working(ConfigBlock::kOffsetSoundVolume), 0);
    Press(kDown);
    Step(3);
    EXPECT_EQ(Working(ConfigBlock::kOffsetVoiceVolume), 100);
    Frames(3);
    EXPECT_EQ(SoundCount(3), moved + 1) << "only the move down sounded";
    EXPECT_EQ(Text(480, 251), "100%");
    EXPECT_EQ(Text(480, 212), "0%") << "two spaces, the digit and '%'";
}

TEST_F(SetupTest, OkCopiesTheWorkingCopyAndTheSavedFileHasIt) {
    ASSERT_NE(ToEdit(), nullptr);
    const std::vector<uint8_t> before = SavedConfig();
    Step(-1); // lives 2
    Frame(kDown);
    Step(-10); // music 90
    GoTo(SceneSetup::kLanguage);
    Step(1); // english
    Frame(kDown);
    Step(1);      // full screen
    Frame(kDown); // OK
    Frame(kShot);
    EXPECT_EQ(setup->GetState(), 5);
    EXPECT_EQ(setup->GetMusicSlot(), -1);
    EXPECT_FALSE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen());
    Frames(60);
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr);
    EXPECT_TRUE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen())
        << "the screen mode applies on leaving";
    Mireku::Graphics::SetFullscreen(false);
    const std::vector<uint8_t> after = SavedConfig();
    ASSERT_EQ(after.size(), ConfigBlock::kSize);
    EXPECT_EQ((std::vector<uint8_t>{after[384], after[385], after[386], after[388], after[389]}),
              (std::vector<uint8_t>{2, 90, before[386], 1, 1}));
    for (uint32_t k = 0; k < 9; ++k)
        EXPECT_EQ(std::memcmp(&after[208 + 16 * k], &before[208 + 16 * k], 4), 0) << k;
}

TEST_F(SetupTest, BackLeavesTheConfigurationButDefaultHasAlreadyChangedIt) {
    work->config[ConfigBlock::kOffsetMusicVolume] = 10;
    work->config[ConfigBlock::kOffsetSoundVolume] = 20;
    ASSERT_NE(ToEdit(), nullptr);
    // The buttons switch with left and right, and the cursor wraps.
    Frame(kUp);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kBack);
    Frame();
    EXPECT_EQ(SpritesOf(setup->GetTexture(SceneSetup::kBackOn)).size(), 1u);
    EXPECT_EQ(SpritesOf(setup->GetTexture(SceneSetup::kOkOff)).size(), 1u);
    Frame(kLeft);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kOk);
    Frame(kRight);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kBack);
    Frame(kDown);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kLives);
    const Sprite ok = One(setup->GetTexture(SceneSetup::kOkOff));
    EXPECT_EQ((std::vector<float>{ok.x0, ok.x1}), (std::vector<float>{902, 992}));
    Frame(kDown);
    Step(5); // music 15 in the working copy only
    GoTo(SceneSetup::kDefault);
    Frames(3);
    const uint32_t moved = SoundCount(3);
    Frame(kShot);
    EXPECT_EQ(SoundCount(3), moved + 1);
    EXPECT_EQ((std::vector<uint8_t>{work->config[ConfigBlock::kOffsetMusicVolume],
                                    Working(ConfigBlock::kOffsetMusicVolume),
                                    work->config[ConfigBlock::kOffsetSoundVolume]}),
              (std::vector<uint8_t>{100, 100, 80}))
        << "the defaults at once";
    Frame(kUp);
    Step(-1); // the working copy differs again
    GoTo(SceneSetup::kBack);
    Frame(kShot);
    Frames(60);
    EXPECT_EQ(
        (std::vector<uint8_t>{work->config[ConfigBlock::kOffsetMusicVolume],
                              work->config[ConfigBlock::kOffsetSoundVolume], work->config[kLives]}),
        (std::vector<uint8_t>{100, 80, 3}));
    EXPECT_FALSE(Mireku::Graphics::GraphicsDevice::GetInstance()->IsFullscreen());
}

TEST(SetupBindingName, ButtonsAndAxesCountFromOne) {
    const std::pair<uint32_t, const char*> rows[] = {{0, "button-01"},
                                                     {31, "button-32"},
                                                     {32, "axis-01"},
                                                     {91, "axis-60"},
                                                     {141, "axis-10"}}; // the tens digit modulo 10
    char name[16];
    for (const auto& [code, text] : rows) {
        SceneSetup::SetupBindingName(code, name);
        EXPECT_STREQ(name, text) << code;
    }
}

// Bindings captured from a virtual pad, one control after another.
class SetupCapture : public SetupTest {
protected:
    SetupCapture() { withInputDevices = true; }
    void SetUp() override {
        SetupTest::SetUp();
        pad = std::make_unique<input_test::VirtualPad>(input_test::VirtualPad::Controller());
        ASSERT_TRUE(pad->IsAttached());
    }
    void TearDown() override {
        pad.reset();
        SetupTest::TearDown();
    }
    const Mireku::Peripheral::VirtualButton* Button(uint32_t vb) const {
        return Mireku::Peripheral::InputDevice::GetInstance()->GetVirtualButtons().GetButton(
            input->GetRecord(), vb);
    }
    bool HasAnyPadBinding(uint32_t vb) const {
        for (uint32_t code = 0; code < 92; ++code)
            if (Button(vb)->HasPad(code))
                return true;
        return false;
    }
    void Tap(int button) {
        pad->Button(button, true);
        input_test::SyncPads();
        Frame();
        pad->Button(button, false);
        input_test::SyncPads();
        Frame();
    }
    std::unique_ptr<input_test::VirtualPad> pad;
};

TEST_F(SetupCapture, NineControlsAreCapturedAndBound) {
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kControls);
    Frame(kShot);
    EXPECT_EQ(setup->GetCaptureStep(), 1);
    for (uint32_t vb : SceneSetup::kVirtualButtons)
        EXPECT_FALSE(HasAnyPadBinding(vb)) << vb;
    Frame(kUp);
    Frame(kDown);
    EXPECT_EQ(setup->GetItem(), SceneSetup::kControls) << "the cursor stays while capturing";
    // Pad codes of the controller layout: 0 start, 1 back, 4 and 5 the
    // shoulders, 6 A, 7 B, 8 X, 9 Y; 37 the left stick to the right.
    const int buttons[8] = {SDL_CONTROLLER_BUTTON_A,
                            SDL_CONTROLLER_BUTTON_B,
                            SDL_CONTROLLER_BUTTON_X,
                            SDL_CONTROLLER_BUTTON_Y,
                            SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                            SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                            SDL_CONTROLLER_BUTTON_START,
                            SDL_CONTROLLER_BUTTON_BACK};
    const uint32_t codes[9] = {6, 7, 8, 9, 4, 5, 0, 1, 37};
    for (int i = 0; i < 8; ++i) {
        Tap(buttons[i]);
        EXPECT_EQ(setup->GetCaptureStep(), i + 2) << i;
    }
    Frame();
    EXPECT_EQ(Text(480, 325), "button-07");
    pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, SDL_JOYSTICK_AXIS_MAX);
    input_test::SyncPads();
    Frame();
    pad->Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    input_test::SyncPads();
    EXPECT_EQ(setup->GetCaptureStep(), 0) << "the ninth ends the capture";
    for (uint32_t k = 0; k < 9; ++k) {
        EXPECT_EQ(ConfigBlock::Binding(setup->GetWorkingConfig(), k, 0), int32_t(codes[k])) << k;
        EXPECT_TRUE(Button(SceneSetup::kVirtualButtons[k])->HasPad(codes[k])) << k;
    }
    Frame();
    EXPECT_EQ(Text(480, 325 + 31 * 8), "axis-06");
}

TEST_F(SetupCapture, CancelAndEscapeAbandonTheCaptureLeavingTheBindingsCleared) {
    ASSERT_NE(ToEdit(), nullptr);
    GoTo(SceneSetup::kControls);
    Frame(kShot);
    Tap(SDL_CONTROLLER_BUTTON_Y);
    EXPECT_EQ(setup->GetCaptureStep(), 2);
    Frame(kEx);
    EXPECT_EQ(setup->GetCaptureStep(), 0);
    Tap(SDL_CONTROLLER_BUTTON_X);
    EXPECT_EQ(ConfigBlock::Binding(setup->GetWorkingConfig(), 1, 0), 35) << "not captured";
    EXPECT_FALSE(HasAnyPadBinding(16)) << "up stays cleared";
    Frame(kShot);
    EXPECT_EQ(setup->GetCaptureStep(), 1) << "again from \"up\"";
    input_test::Key(SDL_SCANCODE_ESCAPE, true);
    Frame();
    input_test::Key(SDL_SCANCODE_ESCAPE, false);
    EXPECT_EQ(setup->GetCaptureStep(), 0);
}

} // namespace
