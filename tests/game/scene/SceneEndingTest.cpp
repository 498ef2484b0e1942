#include "game/scene/SceneEnding.h"
#include "engine/graphics/Texture.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneTitle.h"
#include "game/scene/StoryScriptDriver.h"
#include "support/StoryRig.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

using story_test::Numbered;

using sampledata::MakeScriptLine;
using sampledata::ScriptLine;

constexpr uint32_t kDecide = InputManager::kShot;
constexpr uint32_t kCancel = InputManager::kExWeapon;

class SceneEndingTest : public story_test::StoryRig {
protected:
    void SetUp() override {
        withSound = true;
        StoryRig::SetUp();
        WriteStoryParts();
        for (int n = 1; n <= 5; ++n) {
            Write("texture/staff_roll/" + Numbered("credit%02d.dds", n), story_test::Dds(64, 512));
            Write("texture/secret/" + Numbered("update%02d.dds", n),
                  story_test::Dds(40 + static_cast<uint32_t>(n), 16));
        }
        for (const char* name : {"gameover_ani1", "gameover_ani2", "gameover_noise_ani1",
                                 "gameover_noise_ani2", "gameover_noise_ani3"})
            Write(std::string("texture/game/common/") + name + ".dds", story_test::Dds(16, 16));
        Write("sound/bgm/vam_027.ogg", Ogg(0.3f, 200.0f));
        Write("sound/bgm/vam_028.ogg", Ogg(0.3f, 250.0f));
        // An arcade game of the first pilot that cleared nothing new, with a
        // continue used: it does not rank.
        work->BeginGame(3);
        work->storyMode = 0;
        work->mode = 1;
        work->player.ship = 0;
        work->player.continues = 1;
        work->TakeProgressSnapshot();
    }
    void StoryGame(int8_t ship) {
        work->BeginGame(ProgressBlock::kStoryGameType);
        work->storyMode = 1;
        work->mode = 5;
        work->player.ship = ship;
        work->player.continues = 1;
        work->TakeProgressSnapshot();
    }
    SceneEnding* Start() {
        ending = Push<SceneEnding>();
        return ending;
    }
    // Frames until the main state.
    int ToMain() {
        int frames = 0;
        while (ending->GetState() != SceneEnding::kMain && frames < 1000) {
            Frame();
            ++frames;
        }
        return frames;
    }
    int FramesTo(uint32_t sub, int most, uint32_t pressed = 0) {
        for (int i = 1; i <= most; ++i) {
            Frame(pressed);
            if (ending->GetSubState() == sub)
                return i;
        }
        return -1;
    }
    // Through the credits (decide) and their fade to black.
    void SkipCredits() {
        ASSERT_EQ(ending->GetSubState(), SceneEnding::kCredits);
        Frame(kDecide);
        ASSERT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut);
        Frames(240);
    }

    SceneEnding* ending = nullptr;
};

TEST_F(SceneEndingTest, OutsideStoryStraightToTheCreditsWithTheirMusic) {
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCredits);
    EXPECT_EQ(StoryScriptDriver::Instance().GetKind(), StoryScriptDriver::kNone);
    EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_027.ogg");
    EXPECT_EQ(ending->GetRollHeight(), 5 * 512);
    // The music has loaded: it plays once, then 180 frames of black, then a
    // 180-frame fade from black.
    Frame();
    ASSERT_EQ(ending->GetState(), SceneEnding::kBlackHold);
    EXPECT_EQ(ending->GetTimer(), 180);
    EXPECT_TRUE(Playing(ending->GetMusicSlot()));
    const int toMain = ToMain();
    EXPECT_GE(toMain, 180 + 180);
    EXPECT_LE(toMain, 180 + 182);
    EXPECT_EQ(driver->GetFadeLevel(), 0);
    Frame();
    const float step = (2560.0f - 720.0f) / 10200.0f;
    EXPECT_NEAR(ending->GetRollOffset(), -step, 1e-5);
    for (int i = 0; i < 5; ++i) {
        const auto credit = SpritesOf(ending->GetCredit(static_cast<uint32_t>(i)));
        ASSERT_EQ(credit.size(), 1u) << i;
        EXPECT_NEAR(credit[0].y0, -step + 512.0f * static_cast<float>(i), 1e-3);
        EXPECT_FLOAT_EQ(credit[0].x0, 0.0f);
        EXPECT_FLOAT_EQ(credit[0].Height(), 512.0f);
    }
}

TEST_F(SceneEndingTest, TheRollEndsByItselfAtItsLastScreen) {
    ASSERT_NE(Start(), nullptr);
    ToMain();
    const int frames = FramesTo(SceneEnding::kCreditsOut, 11000);
    EXPECT_NEAR(frames, 10200, 2) << "the roll's length";
    EXPECT_FLOAT_EQ(ending->GetRollOffset(), 720.0f - 2560.0f);
}

TEST_F(SceneEndingTest, WithoutUnlocksTheCaptionFollowsAndTheTitleAfterIt) {
    ASSERT_NE(Start(), nullptr);
    ToMain();
    Frame(kDecide);
    ASSERT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut);
    Frames(120);
    const auto cover = SpritesOf(DefaultTexture());
    ASSERT_FALSE(cover.empty());
    EXPECT_NEAR(cover.back().colour >> 24, 127, 2) << "half black after 120 of 240 frames";
    EXPECT_EQ(FramesTo(SceneEnding::kGameOverIn, 200), 120);
    EXPECT_EQ(ending->GetUnlockCount(), 0u);
    const int fadeIn = FramesTo(SceneEnding::kGameOver, 100);
    EXPECT_GE(fadeIn, 60);
    EXPECT_LE(fadeIn, 61);
    ASSERT_NE(SpritesOf(ending->PresentGameOver::GetTexture(0)).size() +
                  SpritesOf(ending->PresentGameOver::GetTexture(1)).size(),
              0u)
        << "the caption";
    int caption = 0;
    while (ending->GetState() == SceneEnding::kMain && caption < 400) {
        Frame();
        ++caption;
    }
    EXPECT_EQ(ending->GetState(), SceneEnding::kLeaving);
    EXPECT_GE(caption, 298);
    EXPECT_LE(caption, 302);
    EXPECT_EQ(ending->GetMusicSlot(), -1) << "released when the fade starts";
    ASSERT_NE(RunUntilActive<SceneTitle>(40), nullptr) << "no place: the title";
    EXPECT_EQ(Active<SceneEnding>(), nullptr);
}

// The credits' music file cannot be read: its slot fails, which the ending
// takes as silence, and every step still comes in its time.
TEST_F(SceneEndingTest, WithoutItsMusicFileTheEndingStillRunsThrough) {
    ASSERT_TRUE(std::filesystem::remove(files.Path("sound/bgm/vam_027.ogg")));
    ASSERT_NE(Start(), nullptr);
    ASSERT_EQ(MusicOf(ending->GetMusicSlot()), "vam_027.ogg");
    sound->WaitStream(ending->GetMusicSlot());
    EXPECT_EQ(sound->GetSlotFlags(ending->GetMusicSlot()) & SoundManager::kStateMask,
              SoundManager::kFailed);
    Frame();
    ASSERT_EQ(ending->GetState(), SceneEnding::kBlackHold) << "no wait for a failed file";
    EXPECT_FALSE(Playing(ending->GetMusicSlot()));
    const int toMain = ToMain();
    EXPECT_GE(toMain, 180 + 180);
    EXPECT_LE(toMain, 180 + 182);
    Frames(10);
    EXPECT_LT(ending->GetRollOffset(), 0.0f) << "the credits roll";
    Frame(kDecide);
    ASSERT_GT(FramesTo(SceneEnding::kGameOver, 400), 0);
    int caption = 0;
    while (ending->GetState() == SceneEnding::kMain && caption < 400) {
        Frame();
        ++caption;
    }
    EXPECT_EQ(ending->GetState(), SceneEnding::kLeaving);
    EXPECT_EQ(ending->GetMusicSlot(), -1) << "the failed slot is given back";
    EXPECT_NE(RunUntilActive<SceneTitle>(40), nullptr);
}

TEST_F(SceneEndingTest, ATopTenPlaceOpensTheRankingOnItsRow) {
    work->player.continues = 0;
    work->player.score = 9999999999ull;
    ASSERT_NE(Start(), nullptr);
    ToMain();
    Frame(kCancel);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut) << "cancel ends the roll too";
    ASSERT_GT(FramesTo(SceneEnding::kGameOver, 400), 0);
    Frame(kDecide);
    EXPECT_EQ(ending->GetState(), SceneEnding::kLeaving);
    ASSERT_NE(RunUntilActive<SceneRanking>(40), nullptr);
    EXPECT_EQ(work->rankingMode, 1u);
    EXPECT_EQ(work->rankingPlace, 0);
}

TEST_F(SceneEndingTest, UnlockPicturesOnlyForWhatThisGameGained) {
    // A story clear with the first pilot unlocks "update01.dds"; the fifth
    // unlock was gained earlier in this game's run, the second before it.
    StoryGame(0);
    work->progress[ProgressBlock::kOffsetUnlockB] = 1;
    work->progressSnapshot[ProgressBlock::kOffsetUnlockB] = 1;
    work->progress[ProgressBlock::kOffsetUnlockBits] |= ProgressBlock::kUnlockBit10;
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCredits) << "pilot 1 before pilot 6's clear";
    EXPECT_EQ(work->progress[ProgressBlock::kOffsetStoryClearedWithShip], 1u) << "recorded";
    ToMain();
    const uint32_t unlockSound = SoundCount(100);
    SkipCredits();
    ASSERT_EQ(ending->GetSubState(), SceneEnding::kUnlocks);
    ASSERT_EQ(ending->GetUnlockCount(), 3u);
    EXPECT_EQ(ending->GetUnlockPicture(0), 1u);
    EXPECT_EQ(ending->GetUnlockPicture(1), 4u) << "RecordClear sets bit 0x08 with byte 37";
    EXPECT_EQ(ending->GetUnlockPicture(2), 5u);
    EXPECT_EQ(SoundCount(100), unlockSound + 1);
    Frame();
    auto shown = SpritesOf(ending->GetUnlock(0));
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(ending->GetUnlock(0)->GetWidth(), 41) << "update01.dds";
    EXPECT_FLOAT_EQ(shown[0].x1, 1280.0f);
    EXPECT_FLOAT_EQ(shown[0].y1, 720.0f);
    EXPECT_FLOAT_EQ(shown[0].u1, 1280.0f);
    Frames(3);
    EXPECT_EQ(ending->GetUnlockShown(), 0u) << "each stays until a button";
    Frame(kDecide);
    EXPECT_EQ(ending->GetUnlockShown(), 1u);
    EXPECT_EQ(SoundCount(100), unlockSound + 2);
    Frame(kCancel);
    Frame(kDecide);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kGameOverIn);
}

TEST(SceneEndingUnlocks, PicturesForFlagsSetNowAndClearBefore) {
    uint8_t now[ProgressBlock::kSize] = {};
    uint8_t before[ProgressBlock::kSize] = {};
    uint32_t list[SceneEnding::kUnlockSlots] = {};
    EXPECT_EQ(SceneEnding::GainedUnlocks(now, before, list), 0u);
    now[36] = 1;
    now[37] = 1;
    now[31] = 1;
    now[40] = 0x08 | 0x10;
    ASSERT_EQ(SceneEnding::GainedUnlocks(now, before, list), 5u);
    for (uint32_t i = 0; i < 5; ++i)
        EXPECT_EQ(list[i], i + 1);
    before[37] = 1;
    before[40] = 0x08;
    ASSERT_EQ(SceneEnding::GainedUnlocks(now, before, list), 3u);
    EXPECT_EQ(list[0], 1u);
    EXPECT_EQ(list[1], 3u);
    EXPECT_EQ(list[2], 5u);
    // A byte flag counts only as 1.
    now[36] = 2;
    before[37] = 0;
    now[40] = 0x07;
    ASSERT_EQ(SceneEnding::GainedUnlocks(now, before, list), 2u);
    EXPECT_EQ(list[0], 2u);
    EXPECT_EQ(list[1], 3u);
}

class SceneEndingTrue : public SceneEndingTest {
protected:
    void Script(const std::string& folder) {
        ScriptLine first = MakeScriptLine(1, 5, 2, "t1");
        first.picture = "ed_a";
        ScriptLine dark = MakeScriptLine(2, 8, 3, "t2");
        dark.pictureMode = -3;
        ScriptLine last = MakeScriptLine(3, 5, 4, "t3");
        last.picture = "ed_b";
        WriteScript(folder, {first, dark, last});
        for (const char* t : {"t1", "t2", "t3"})
            WriteLine(t, 0.0f, 500);
        Write("texture/ending/ed_a.dds", story_test::Dds(200, 20));
        Write("texture/ending/ed_b.dds", story_test::Dds(210, 20));
    }
};

TEST_F(SceneEndingTrue, FifthPilotsTrueEndingWithItsBlackOutAndCredits) {
    Script("script/script/pc05/pc05true_ending.txt");
    StoryGame(4);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(StoryScriptDriver::Instance().GetKind(), StoryScriptDriver::kTrueEnding);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kScript);
    EXPECT_EQ(ending->GetMusicSlot(), -1) << "no music until the credits";
    ASSERT_NE(ending->GetPicture(0), nullptr);
    EXPECT_EQ(ending->GetPicture(0)->GetWidth(), 200) << "the first command's picture";
    const int toMain = ToMain();
    EXPECT_GE(toMain, 180);
    EXPECT_LE(toMain, 183) << "no black hold before the fade without credits";
    EXPECT_EQ(ending->GetHoldLength(), 150u);
    Frame();
    EXPECT_EQ(SpritesOf(ending->GetPicture(0)).size(), 1u);
    const auto line = SpritesOf(ending->GetLines()[0].texture);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_FLOAT_EQ(line[0].y0, 560.0f);

    Frame(kDecide);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kPicture);
    Frame();
    ASSERT_EQ(ending->GetSubState(), SceneEnding::kOverlayIn);
    // 120 frames to black, 180 black, 120 back.
    int frame = 0, firstBlack = -1, lastBlack = -1;
    while (ending->GetSubState() != SceneEnding::kScript && frame < 600) {
        Frame();
        ++frame;
        if (ending->GetOverlay() == 1.0f) {
            if (firstBlack < 0)
                firstBlack = frame;
            lastBlack = frame;
        }
    }
    EXPECT_EQ(firstBlack, 120);
    EXPECT_EQ(lastBlack - firstBlack + 1, 180);
    EXPECT_EQ(frame - lastBlack, 120);
    EXPECT_EQ(ending->GetOverlay(), 0.0f);
    ASSERT_NE(ending->GetPicture(ending->GetShownPicture()), nullptr);
    EXPECT_EQ(ending->GetPicture(ending->GetShownPicture())->GetWidth(), 210)
        << "the next command's picture came in behind the black";

    // The script runs out: black over 180 frames, then the credits.
    ASSERT_GT(FramesTo(SceneEnding::kOverlayIn, 400), 0);
    EXPECT_EQ(ending->GetOverlayColour(), 0xFF000000u);
    EXPECT_EQ(FramesTo(SceneEnding::kCredits, 400), 180);
    EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_028.ogg");
    EXPECT_TRUE(StoryScriptDriver::Instance().GetRecords().empty());
    EXPECT_TRUE(ending->GetLines().empty());
    EXPECT_EQ(ending->GetRollHeight(), 5 * 512);
}

TEST_F(SceneEndingTrue, WithoutTheTrueCreditsMusicTheCreditsStillRoll) {
    ASSERT_TRUE(std::filesystem::remove(files.Path("sound/bgm/vam_028.ogg")));
    Script("script/script/pc05/pc05true_ending.txt");
    StoryGame(4);
    ASSERT_NE(Start(), nullptr);
    ToMain();
    Frame(kCancel);
    ASSERT_EQ(FramesTo(SceneEnding::kCredits, 400), 180);
    EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_028.ogg");
    EXPECT_EQ(sound->GetSlotFlags(ending->GetMusicSlot()) & SoundManager::kStateMask,
              SoundManager::kFailed);
    Frames(10);
    EXPECT_LT(ending->GetRollOffset(), 0.0f) << "the credits roll in silence";
    Frame(kDecide);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut);
}

TEST_F(SceneEndingTrue, APictureNameOfThirtyOneBytes) {
    const std::string name(31, 'p');
    ScriptLine first = MakeScriptLine(1, 6, 2, "t1");
    first.picture = name;
    WriteScript("script/script/pc06/pc06true_ending.txt", {first});
    WriteLine("t1", 0.0f, 500);
    Write("texture/ending/" + name + ".dds", story_test::Dds(300, 20));
    StoryGame(5);
    ASSERT_NE(Start(), nullptr);
    ASSERT_NE(ending->GetPicture(0), nullptr) << "the name and \".dds\" fit";
    EXPECT_EQ(ending->GetPicture(0)->GetWidth(), 300);
}

TEST_F(SceneEndingTrue, CancelEndsTheScript) {
    Script("script/script/pc06/pc06true_ending.txt");
    StoryGame(5);
    ASSERT_NE(Start(), nullptr);
    ToMain();
    const uint32_t cancels = SoundCount(9);
    Frame(kCancel);
    EXPECT_EQ(SoundCount(9), cancels + 1);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kOverlayIn);
    EXPECT_EQ(ending->GetReturnSubState(), SceneEnding::kCredits);
}

TEST_F(SceneEndingTrue, TheFirstFourPilotsShareItOnceTheSixthClearedTheStory) {
    Script("script/script/pc01/pc01true_ending.txt");
    StoryGame(2);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCredits) << "not yet";
    driver->ClearAll();
    work->progress[ProgressBlock::kOffsetStoryClearedWithShip + 5] = 1;
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kScript);
    EXPECT_EQ(StoryScriptDriver::Instance().GetRecords().size(), 3u) << "pilot 1's script";
}

} // namespace
