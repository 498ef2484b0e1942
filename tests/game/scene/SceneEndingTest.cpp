// The ending: the credits with their music (or without it), the roll, the
// unlock pictures of what this game gained, the game-over caption and what
// follows; the true ending's script, pictures and black-out.
#include "game/scene/SceneEnding.h"
#include "engine/graphics/Texture.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneRanking.h"
#include "support/SceneRig.h"

namespace {

using namespace scene_test;

class SceneEndingTest : public SceneRig {
protected:
    SceneEndingTest() {
        loose = true;
        withSound = true;
    }
    void SetUp() override {
        SceneRig::SetUp();
        WriteStoryParts();
        for (int n = 1; n <= 5; ++n) {
            Write("texture/staff_roll/" + Numbered("credit%02d.dds", n), Dds(64, 512));
            Write("texture/secret/" + Numbered("update%02d.dds", n), Dds(40 + n, 16));
        }
        for (const char* name : {"gameover_ani1", "gameover_ani2", "gameover_noise_ani1",
                                 "gameover_noise_ani2", "gameover_noise_ani3"})
            Write(std::string("texture/game/common/") + name + ".dds", Dds(16));
        Write("sound/bgm/vam_027.ogg", Ogg(0.3f, 200.0f));
        Write("sound/bgm/vam_028.ogg", Ogg(0.3f, 250.0f));
        // An arcade game of the first pilot that cleared nothing new, with a
        // continue used: it does not rank.
        Game(3, 0, 1, 0);
    }
    void Game(uint32_t type, uint8_t story, uint32_t mode, int8_t ship) {
        work->BeginGame(type);
        work->storyMode = story;
        work->mode = mode;
        work->player.ship = ship;
        work->player.continues = 1;
        work->TakeProgressSnapshot();
    }
    void StoryGame(int8_t ship) { Game(ProgressBlock::kStoryGameType, 1, 5, ship); }
    SceneEnding* Start() {
        driver->ClearAll();
        return ending = Push<SceneEnding>();
    }
    // Frames until the main state.
    int ToMain() {
        return FramesUntil([this] { return ending->GetState() == SceneEnding::kMain; }, 1000);
    }
    int FramesTo(uint32_t sub, int most, uint32_t pressed = 0) {
        return SceneRig::FramesTo(ending, sub, most, pressed);
    }
    // Frames of the caption until the ending leaves by itself.
    int CaptionFrames() {
        return FramesUntil([this] { return ending->GetState() != SceneEnding::kMain; }, 400);
    }
    // A true-ending script of three lines, the second blacked out.
    void Script(const std::string& path) {
        ScriptLine first = MakeScriptLine(1, 5, 2, "t1");
        first.picture = "ed_a";
        ScriptLine dark = MakeScriptLine(2, 8, 3, "t2");
        dark.pictureMode = -3;
        ScriptLine last = MakeScriptLine(3, 5, 4, "t3");
        last.picture = "ed_b";
        WriteScript(path, {first, dark, last});
        for (const char* t : {"t1", "t2", "t3"})
            WriteLine(t, 0.0f, 500);
        Write("texture/ending/ed_a.dds", Dds(200, 20));
        Write("texture/ending/ed_b.dds", Dds(210, 20));
    }

    SceneEnding* ending = nullptr;
};

// With its music the credits wait for it to load and play it once; a music
// file that cannot be read fails its slot, which the ending takes as
// silence. Either way every step comes in its time: 180 frames of black,
// a 180-frame fade from black, the roll, decide, the fade to black over
// 240 frames, the caption over 60, 300 frames of it, then the title.
TEST_F(SceneEndingTest, OutsideStoryTheCreditsCaptionAndTitleWithOrWithoutMusic) {
    for (bool music : {true, false}) {
        SCOPED_TRACE(music ? "with music" : "without");
        if (!music)
            std::filesystem::remove(files.Path("sound/bgm/vam_027.ogg"));
        ASSERT_NE(Start(), nullptr);
        EXPECT_EQ(ending->GetSubState(), SceneEnding::kCredits);
        EXPECT_EQ(script.GetKind(), StoryScriptDriver::kNone);
        EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_027.ogg");
        EXPECT_EQ(ending->GetRollHeight(), 5 * 512);
        Frame();
        ASSERT_EQ(ending->GetState(), SceneEnding::kBlackHold) << "no wait for a failed file";
        EXPECT_EQ(ending->GetTimer(), 180);
        EXPECT_EQ(Playing(ending->GetMusicSlot()), music);
        EXPECT_EQ(Failed(ending->GetMusicSlot()), !music);
        const int toMain = ToMain();
        EXPECT_TRUE(toMain >= 180 + 180 && toMain <= 180 + 182) << toMain;
        EXPECT_EQ(driver->GetFadeLevel(), 0);
        Frame();
        const float step = (2560.0f - 720.0f) / 10200.0f;
        EXPECT_NEAR(ending->GetRollOffset(), -step, 1e-5);
        for (uint32_t i = 0; i < 5; ++i) {
            const Sprite credit = One(ending->GetCredit(i));
            EXPECT_NEAR(credit.y0, -step + 512.0f * float(i), 1e-3) << i;
            EXPECT_FLOAT_EQ(credit.x0, 0.0f);
            EXPECT_FLOAT_EQ(credit.Height(), 512.0f);
        }
        Frame(kShot);
        ASSERT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut);
        Frames(120);
        ASSERT_FALSE(SpritesOf(DefaultTexture()).empty());
        EXPECT_NEAR(SpritesOf(DefaultTexture()).back().Alpha(), 127, 2)
            << "half black after 120 of 240 frames";
        EXPECT_EQ(FramesTo(SceneEnding::kGameOverIn, 200), 120);
        EXPECT_EQ(ending->GetUnlockCount(), 0u);
        const int fadeIn = FramesTo(SceneEnding::kGameOver, 100);
        EXPECT_TRUE(fadeIn >= 60 && fadeIn <= 61) << fadeIn;
        EXPECT_EQ(SpritesOf(ending->PresentGameOver::GetTexture(0)).size() +
                      SpritesOf(ending->PresentGameOver::GetTexture(1)).size(),
                  1u)
            << "the caption";
        const int caption = CaptionFrames();
        EXPECT_EQ(ending->GetState(), SceneEnding::kLeaving);
        EXPECT_TRUE(caption >= 298 && caption <= 302) << caption;
        EXPECT_EQ(ending->GetMusicSlot(), -1) << "released when the fade starts";
        ASSERT_NE(RunUntilActive<SceneTitle>(40), nullptr) << "no place: the title";
        EXPECT_EQ(Active<SceneEnding>(), nullptr);
    }
}

TEST_F(SceneEndingTest, TheRollEndsByItselfAtItsLastScreen) {
    ASSERT_NE(Start(), nullptr);
    ToMain();
    EXPECT_NEAR(FramesTo(SceneEnding::kCreditsOut, 11000), 10200, 2) << "the roll's length";
    EXPECT_FLOAT_EQ(ending->GetRollOffset(), 720.0f - 2560.0f);
}

TEST_F(SceneEndingTest, ATopTenPlaceOpensTheRankingOnItsRow) {
    work->player.continues = 0;
    work->player.score = 9999999999ull;
    ASSERT_NE(Start(), nullptr);
    ToMain();
    Frame(kEx);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCreditsOut) << "cancel ends the roll too";
    ASSERT_GT(FramesTo(SceneEnding::kGameOver, 400), 0);
    Frame(kShot);
    EXPECT_EQ(ending->GetState(), SceneEnding::kLeaving) << "a button ends the caption";
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
    Frame(kShot);
    Frames(240);
    ASSERT_EQ(ending->GetSubState(), SceneEnding::kUnlocks);
    EXPECT_EQ((std::vector<uint32_t>{ending->GetUnlockCount(), ending->GetUnlockPicture(0),
                                     ending->GetUnlockPicture(1), ending->GetUnlockPicture(2)}),
              (std::vector<uint32_t>{3, 1, 4, 5}))
        << "the clear sets bit 0x08 with byte 37";
    EXPECT_EQ(SoundCount(100), unlockSound + 1);
    Frame();
    EXPECT_EQ(One(ending->GetUnlock(0)).Rect(), (Box{0, 0, 1280, 720}));
    EXPECT_EQ(One(ending->GetUnlock(0)).u1, 1280.0f);
    EXPECT_EQ(ending->GetUnlock(0)->GetWidth(), 41) << "update01.dds";
    Frames(3);
    EXPECT_EQ(ending->GetUnlockShown(), 0u) << "each stays until a button";
    Frame(kShot);
    EXPECT_EQ(ending->GetUnlockShown(), 1u);
    EXPECT_EQ(SoundCount(100), unlockSound + 2);
    Frame(kEx);
    Frame(kShot);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kGameOverIn);
}

// The unlock pictures 1-5 are bytes 36, 37 and 31 (1 only) and bits 0x08
// and 0x10 of byte 40, each set now and clear in the snapshot.
TEST(SceneEndingUnlocks, PicturesForFlagsSetNowAndClearBefore) {
    uint8_t now[ProgressBlock::kSize] = {};
    uint8_t before[ProgressBlock::kSize] = {};
    uint32_t list[SceneEnding::kUnlockSlots] = {};
    auto gained = [&] {
        const uint32_t n = SceneEnding::GainedUnlocks(now, before, list);
        return std::vector<uint32_t>(list, list + n);
    };
    EXPECT_EQ(gained(), (std::vector<uint32_t>{}));
    now[36] = now[37] = now[31] = 1;
    now[40] = 0x08 | 0x10;
    EXPECT_EQ(gained(), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
    before[37] = 1;
    before[40] = 0x08;
    EXPECT_EQ(gained(), (std::vector<uint32_t>{1, 3, 5}));
    now[36] = 2; // a byte flag counts only as 1
    before[37] = 0;
    now[40] = 0x07;
    EXPECT_EQ(gained(), (std::vector<uint32_t>{2, 3}));
}

// The fifth pilot's: its first picture, the lines at y 560, a black-out of
// 120 frames in, 180 black and 120 out with the next picture behind it,
// then, the script run out, black over 180 frames and the credits with
// their music (or silent when it cannot be read).
TEST_F(SceneEndingTest, TheTrueEndingsScriptPicturesAndBlackOut) {
    Script("script/script/pc05/pc05true_ending.txt");
    StoryGame(4);
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(script.GetKind(), StoryScriptDriver::kTrueEnding);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kScript);
    EXPECT_EQ(ending->GetMusicSlot(), -1) << "no music until the credits";
    ASSERT_NE(ending->GetPicture(0), nullptr);
    EXPECT_EQ(ending->GetPicture(0)->GetWidth(), 200) << "the first command's picture";
    const int toMain = ToMain();
    EXPECT_TRUE(toMain >= 180 && toMain <= 183) << "no black hold before the fade: " << toMain;
    EXPECT_EQ(ending->GetHoldLength(), 150u);
    Frame();
    EXPECT_EQ(SpritesOf(ending->GetPicture(0)).size(), 1u);
    EXPECT_FLOAT_EQ(One(ending->GetLines()[0].texture).y0, 560.0f);

    Frame(kShot);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kPicture);
    Frame();
    ASSERT_EQ(ending->GetSubState(), SceneEnding::kOverlayIn);
    int frames = 0, firstBlack = -1, lastBlack = -1;
    while (ending->GetSubState() != SceneEnding::kScript && frames < 600) {
        Frame();
        ++frames;
        if (ending->GetOverlay() == 1.0f) {
            firstBlack = firstBlack < 0 ? frames : firstBlack;
            lastBlack = frames;
        }
    }
    EXPECT_EQ((std::vector<int>{firstBlack, lastBlack - firstBlack + 1, frames - lastBlack}),
              (std::vector<int>{120, 180, 120}));
    EXPECT_EQ(ending->GetOverlay(), 0.0f);
    ASSERT_NE(ending->GetPicture(ending->GetShownPicture()), nullptr);
    EXPECT_EQ(ending->GetPicture(ending->GetShownPicture())->GetWidth(), 210)
        << "the next command's picture came in behind the black";

    ASSERT_GT(FramesTo(SceneEnding::kOverlayIn, 400), 0);
    EXPECT_EQ(ending->GetOverlayColour(), 0xFF000000u);
    EXPECT_EQ(FramesTo(SceneEnding::kCredits, 400), 180);
    EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_028.ogg");
    EXPECT_TRUE(script.GetRecords().empty());
    EXPECT_TRUE(ending->GetLines().empty());
    EXPECT_EQ(ending->GetRollHeight(), 5 * 512);

    // Cancel ends the script with its sound; without their music the true
    // credits still roll.
    std::filesystem::remove(files.Path("sound/bgm/vam_028.ogg"));
    ASSERT_NE(Start(), nullptr);
    ToMain();
    const uint32_t cancels = SoundCount(9);
    Frame(kEx);
    EXPECT_EQ(SoundCount(9), cancels + 1);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kOverlayIn);
    EXPECT_EQ(ending->GetReturnSubState(), SceneEnding::kCredits);
    ASSERT_EQ(FramesTo(SceneEnding::kCredits, 400), 180);
    EXPECT_TRUE(Failed(ending->GetMusicSlot()));
    Frames(10);
    EXPECT_LT(ending->GetRollOffset(), 0.0f) << "the credits roll in silence";
}

// Pilots 5 and 6 have their own; the first four share the first pilot's,
// once the sixth has cleared the story.
TEST_F(SceneEndingTest, WhoseTrueEndingAndWhen) {
    Script("script/script/pc01/pc01true_ending.txt");
    const std::string name(31, 'p');
    ScriptLine first = MakeScriptLine(1, 6, 2, "t1");
    first.picture = name;
    WriteScript("script/script/pc06/pc06true_ending.txt", {first});
    Write("texture/ending/" + name + ".dds", Dds(300, 20));
    const struct {
        const char* name;
        int8_t ship;
        bool sixthCleared;
        size_t records; // none: the credits at once
        int width;
    } rows[] = {
        {"PilotThreeNotYet", 2, false, 0, 0},
        {"PilotThreeOnceTheSixthCleared", 2, true, 3, 200},
        {"PilotSixWithAPictureNameOfThirtyOneBytes", 5, false, 1, 300},
    };
    for (const auto& r : rows) {
        StoryGame(r.ship);
        work->progress[ProgressBlock::kOffsetStoryClearedWithShip + 5] = r.sixthCleared ? 1 : 0;
        ASSERT_NE(Start(), nullptr) << r.name;
        EXPECT_EQ(ending->GetSubState(), r.records ? SceneEnding::kScript : SceneEnding::kCredits)
            << r.name;
        EXPECT_EQ(script.GetRecords().size(), r.records) << r.name;
        const auto* picture = ending->GetPicture(0);
        EXPECT_EQ(picture ? picture->GetWidth() : 0, r.width) << r.name;
    }
}

} // namespace
