#include "game/scene/SceneStory.h"
#include "engine/sound/StreamSound.h"
#include "game/core/GameState.h"
#include "game/core/StageMusicSlots.h"
#include "game/scene/StoryChar.h"
#include "game/scene/StoryScriptDriver.h"
#include "support/StoryRig.h"

namespace {

using sampledata::MakeScriptLine;

constexpr uint32_t kDecide = InputManager::kShot;
constexpr uint32_t kCancel = InputManager::kExWeapon;
constexpr const char* kScript = "script/script/pc01/pc01stage01-01.txt";

class SceneStoryTest : public story_test::StoryRig {
protected:
    void SetUp() override {
        withSound = true;
        StoryRig::SetUp();
        WriteStoryParts();
        work->player.ship = 0;
        work->storyMode = 1;
        work->stage = 0;
        Write("sound/bgm/stage01.ogg", Ogg(0.5f, 330.0f));
        sound->OpenStream(&StageMusicSlots::stageTrack, "sound/bgm", "stage01.ogg");
        sound->WaitStream(StageMusicSlots::stageTrack);
    }
    void TearDown() override {
        if (driver)
            driver->ClearAll();
        sound->ReleaseStream(&StageMusicSlots::stageTrack);
        g_currentMusicSlot = -1;
        StoryRig::TearDown();
    }
    void ThreeLines(float voiceSeconds = 0.2f) {
        for (const char* text : {"l1", "l2", "l3"})
            WriteLine(text, voiceSeconds);
        WriteScript(kScript, {MakeScriptLine(1, 1, 2, "l1"), MakeScriptLine(2, 7, 3, "l2"),
                              MakeScriptLine(3, 1, 4, "l3")});
    }
    // The story started as a stage end or a boss starts it, run to its main
    // state.
    SceneStory* Start(uint32_t request) {
        driver->CreateScene<SceneStory>(request);
        Frame();
        story = RunUntilState<SceneStory>(SceneStory::kMain, 20);
        return story;
    }
    // The window flag up, the window open and the first line shown.
    void OpenWindow() {
        work->storyPending = 1;
        for (int i = 0; i < 9; ++i)
            Frame();
        ASSERT_TRUE(story->IsWindowOpen());
    }
    const StoryCommand& Current() const { return StoryScriptDriver::Instance().GetCurrent(); }
    Mireku::Sound::StreamSound* Voice() const { return sound->GetStream(story->GetVoiceSlot()); }
    // Frames until the story has left; -1 when it has not after `most`.
    int FramesUntilGone(int most) {
        for (int i = 1; i <= most; ++i) {
            Frame();
            if (!Active<SceneStory>())
                return i;
        }
        return -1;
    }

    SceneStory* story = nullptr;
};

TEST_F(SceneStoryTest, MusicAndScriptByRequestAndStage) {
    struct Case {
        uint32_t request, stage;
        const char* music;
        uint32_t kind;
    };
    const Case cases[] = {
        {0, 0, "vam_035.ogg", 1},  {0, 5, "vam_040.ogg", 1}, {0, 11, "vam_046.ogg", 1},
        {0, 12, "vam_035.ogg", 1}, {1, 0, "vam_036.ogg", 3}, {1, 11, "vam_047.ogg", 3},
        {1, 23, "vam_047.ogg", 3}, {2, 3, "vam_040.ogg", 4}, {2, 11, "vam_026.ogg", 4},
        {2, 23, "vam_026.ogg", 4}, {9, 2, "vam_037.ogg", 1},
    };
    for (const Case& c : cases) {
        work->stage = c.stage;
        work->gameState = 0;
        work->storyFlag2 = 0;
        SceneStory* scene = driver->CreateScene<SceneStory>(c.request);
        Frame();
        ASSERT_EQ(Active<SceneStory>(), scene);
        EXPECT_EQ(MusicOf(scene->GetMusicSlot()), c.music) << c.request << " " << c.stage;
        EXPECT_EQ(StoryScriptDriver::Instance().GetKind(), c.kind) << c.request;
        EXPECT_EQ(work->gameState, GameState::kStory);
        EXPECT_EQ(work->storyFlag2, 1u) << "the story runs";
        driver->ClearAll();
        sound->ReleaseStream(&StageMusicSlots::stageTrack);
        sound->OpenStream(&StageMusicSlots::stageTrack, "sound/bgm", "stage01.ogg");
    }
}

TEST_F(SceneStoryTest, WaitsForTheWindowFlagDrawingNothing) {
    ThreeLines();
    Write("sound/bgm/vam_035.ogg", Ogg(0.5f, 220.0f));
    ASSERT_NE(Start(0), nullptr);
    EXPECT_TRUE(Playing(story->GetMusicSlot())) << "its music starts at once";
    EXPECT_EQ(g_currentMusicSlot, story->GetMusicSlot());
    for (int i = 0; i < 100; ++i) {
        Frame();
        ASSERT_EQ(story->GetSubState(), SceneStory::kWaitWindow);
        ASSERT_TRUE(portraits.empty());
        ASSERT_TRUE(SpritesOf(story->GetWindow()).empty());
    }
    EXPECT_EQ(story->GetVoiceEntry(), -1);
    work->storyPending = 1;
    Frame();
    EXPECT_EQ(story->GetSubState(), SceneStory::kShowing);
    EXPECT_EQ(story->GetCloseTimer(), 30);
    EXPECT_EQ(SpritesOf(story->GetWindow()).size(), 1u);
    EXPECT_FALSE(portraits.empty());
}

TEST_F(SceneStoryTest, DecideStepsAndTheStageComesBackThirtyFramesAfterTheLastLine) {
    ThreeLines();
    ASSERT_NE(Start(0), nullptr);
    OpenWindow();
    const int32_t music = story->GetMusicSlot();
    EXPECT_EQ(Current().line, 1);
    EXPECT_EQ(SpritesOf(story->GetLines()[0].texture).size(), 1u);
    Frame(kDecide);
    EXPECT_EQ(Current().line, 2);
    EXPECT_EQ(StoryChar::Instance().GetOtherSpeaker(), 7);
    EXPECT_EQ(SpritesOf(story->GetLines()[1].texture).size(), 1u);
    Frame(kDecide);
    EXPECT_EQ(Current().line, 3);
    Frame(kDecide);
    EXPECT_EQ(story->GetSubState(), SceneStory::kClosing) << "no line is left";
    EXPECT_TRUE(SpritesOf(story->GetLines()[2].texture).empty());
    for (int i = 1; i < 30; ++i) {
        Frame();
        ASSERT_EQ(story->GetState(), SceneStory::kMain) << i;
        EXPECT_EQ(story->IsWindowOpen(), i < 7) << "the window closes in 8 frames";
    }
    EXPECT_FALSE(Playing(StageMusicSlots::stageTrack));
    Frame();
    EXPECT_EQ(story->GetState(), SceneStory::kFinish) << "30 frames after the last line";
    Frame();
    EXPECT_EQ(Active<SceneStory>(), nullptr);
    EXPECT_EQ(work->gameState, 0u);
    EXPECT_EQ(work->storyFlag2, 0u);
    EXPECT_EQ(work->storyPending, 0u);
    EXPECT_EQ(work->storyRequest, 0u);
    EXPECT_TRUE(Playing(StageMusicSlots::stageTrack)) << "the stage's music again";
    EXPECT_EQ(g_currentMusicSlot, StageMusicSlots::stageTrack);
    EXPECT_FALSE(Playing(music)) << "the story's music went with it";
    EXPECT_TRUE(StoryScriptDriver::Instance().GetRecords().empty());
}

TEST_F(SceneStoryTest, AVoiceThatEndsMovesTheStoryOn) {
    ThreeLines(0.2f);
    ASSERT_NE(Start(0), nullptr);
    OpenWindow();
    Mireku::Sound::StreamSound* voice = Voice();
    ASSERT_NE(voice, nullptr);
    ASSERT_TRUE(Playing(story->GetVoiceSlot()));
    Frames(70);
    EXPECT_EQ(Current().line, 1) << "still speaking after its hold";
    null->PullStream(voice, 48000);
    ASSERT_FALSE(voice->IsPlaying());
    Frames(2);
    EXPECT_EQ(Current().line, 2);
    EXPECT_NE(Voice(), voice) << "the next line's voice";
}

TEST_F(SceneStoryTest, AMissingVoiceMovesOnAfterSixtyFrames) {
    ThreeLines(0.0f);
    ASSERT_NE(Start(0), nullptr);
    OpenWindow();
    ASSERT_EQ(story->GetVoiceEntry(), 0) << "its voice was to start";
    int frames = 0;
    while (Current().line == 1 && frames < 200) {
        Frame();
        ++frames;
    }
    EXPECT_GE(frames, 60);
    EXPECT_LE(frames, 62);
    EXPECT_EQ(Current().line, 2);
}

TEST_F(SceneStoryTest, CancelClosesWithItsSoundAndSilencesTheVoice) {
    ThreeLines(2.0f);
    ASSERT_NE(Start(0), nullptr);
    OpenWindow();
    ASSERT_TRUE(Playing(story->GetVoiceSlot()));
    const uint32_t cancels = SoundCount(9);
    Frame(kCancel);
    EXPECT_EQ(story->GetSubState(), SceneStory::kClosing);
    EXPECT_EQ(SoundCount(9), cancels + 1);
    EXPECT_FALSE(Playing(story->GetVoiceSlot()));
    EXPECT_EQ(FramesUntilGone(40), 31);
}

TEST_F(SceneStoryTest, BridgeKeepsTheStageTrackEndingTakesIt) {
    ThreeLines();
    WriteScript("script/script/pc01/pc01last_boss_bridge.txt", {MakeScriptLine(1, 1, 2, "l1")});
    sound->PlayMusic(StageMusicSlots::stageTrack, true);
    ASSERT_TRUE(Playing(StageMusicSlots::stageTrack));
    ASSERT_NE(Start(SceneStory::kLastBossBridge), nullptr);
    EXPECT_FALSE(Playing(StageMusicSlots::stageTrack)) << "stopped";
    EXPECT_NE(StageMusicSlots::stageTrack, -1) << "but kept";
    OpenWindow();
    Frame(kDecide);
    EXPECT_EQ(FramesUntilGone(40), 31);
    EXPECT_FALSE(Playing(StageMusicSlots::stageTrack))
        << "only the scene between stages restarts it";

    work->storyRequest = SceneStory::kEnding;
    ASSERT_NE(Start(SceneStory::kEnding), nullptr);
    EXPECT_EQ(StageMusicSlots::stageTrack, -1) << "released for good";
}

TEST_F(SceneStoryTest, AMissingScriptClosesTheWindowAtOnce) {
    // Even over the records an intermission left, all shown by now.
    const std::string left = "1,0,1,2,0,0,\"\",0,\"\",0,0,\"\",0,\"old\"\r\n";
    StoryScriptDriver::Instance().LoadText(reinterpret_cast<const uint8_t*>(left.data()),
                                           static_cast<uint32_t>(left.size()), "left");
    while (StoryScriptDriver::Instance().Step(1)) {
    }
    ASSERT_NE(Start(0), nullptr);
    EXPECT_TRUE(StoryScriptDriver::Instance().GetRecords().empty());
    work->storyPending = 1;
    Frame();
    EXPECT_EQ(story->GetSubState(), SceneStory::kClosing);
    EXPECT_EQ(FramesUntilGone(40), 31);
}

} // namespace
