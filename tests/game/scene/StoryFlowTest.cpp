// A story game on the generated data, driven by scripted presses: pilot
// select, opening, the first stage with its story, an intermission, and the
// ending after the last stage of the loop. The stages are the real ones: the
// stage start opens the story window, and a stage clear ends the stage.
#include "engine/graphics/Texture.h"
#include "engine/sound/StreamSound.h"
#include "game/core/GameState.h"
#include "game/core/StageMusicSlots.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneStoryOpening.h"
#include "game/scene/StageEndFlow.h"
#include "game/scene/StoryScriptDriver.h"
#include "game/stage/GameObjectDirector.h"
#include "support/SceneRig.h"

namespace {

using namespace scene_test;

class StoryFlow : public SceneRig {
protected:
    StoryFlow() {
        withSound = true;
        withStages = true;
    }
    // The stage-clear jingle the intermission waits for, played to its end
    // on the null device.
    void PlayOutJingle(SceneStoryIntermission* intermission) {
        const int32_t jingle = intermission->GetJingleSlot();
        ASSERT_NE(jingle, -1) << "the clear's jingle was handed over";
        for (int i = 0; i < 400 && sound->IsStreamPlaying(jingle); ++i)
            null->PullStream(sound->GetStream(jingle), 4800);
        ASSERT_FALSE(sound->IsStreamPlaying(jingle));
    }
    // The running stage is cleared: its clear staging, then the stage
    // screen's wait, then what follows the stage.
    void ClearStage() {
        SceneGame* game = Active<SceneGame>();
        ASSERT_NE(game, nullptr);
        ASSERT_NE(game->GetDirector(), nullptr);
        game->GetDirector()->StageClear(true);
    }
    const StoryCommand& Current() const { return script.GetCurrent(); }
    // Through the pilot select: the first pilot, normal difficulty.
    SceneStoryOpening* ChoosePilot() {
        work->BeginGame(4);
        work->storyMode = 1;
        if (!Push<SceneSelectPilot>() || !RunUntilState<SceneSelectPilot>(4, 100))
            return nullptr;
        Frame(kShot);
        Frames(29);
        Frame(kShot);
        return RunUntilActive<SceneStoryOpening>(100);
    }
    // Runs a picture scene to its roll, pressing cancel all along, then
    // cancels the roll: the next stage comes with its story.
    template <class T> SceneStory* SkipPictures(T* scene, uint32_t roll) {
        if (!RunUntilState<T>(FlowScene::kStateShown, 100))
            return nullptr;
        for (int i = 0; i < 700 && scene->GetSubState() != roll; ++i) {
            Frame(kEx);
            if (scene->GetSubState() == 0)
                return nullptr; // cancel came too early
        }
        Frame(kEx);
        return RunUntilActive<SceneStory>(300);
    }
};

TEST_F(StoryFlow, SelectOpeningStageIntermissionEnding) {
    SceneStoryOpening* opening = ChoosePilot();
    ASSERT_NE(opening, nullptr);
    EXPECT_EQ(MusicOf(opening->GetMusicSlot()), "vam_022.ogg");
    EXPECT_EQ(opening->GetLines().size(), 6u) << "pc01opening.txt's six lines";
    SceneStory* story = SkipPictures(opening, SceneStoryOpening::kRoll);
    ASSERT_NE(story, nullptr) << "cancel only from the roll on, then the first stage";
    SceneGame* game = Active<SceneGame>();
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->GetDirector(), nullptr) << "a real stage under the story";
    EXPECT_EQ(LastStageStart().stage, 0u);
    EXPECT_EQ(LastStageStart().story, 1u);
    EXPECT_EQ(MusicOf(story->GetMusicSlot()), "vam_035.ogg");
    EXPECT_EQ(work->gameState, GameState::kStory) << "the story runs over the stage";

    // The stage's start lets the window open 60 frames after the stage began.
    ASSERT_TRUE(
        RunUntil([&] { return game->GetDirector()->GetState() == GameObjectDirector::kPlay; }, 10));
    EXPECT_FALSE(sound->IsStreamPlaying(StageMusicSlots::stageTrack))
        << "no stage track of its own in story mode";
    Frames(58);
    EXPECT_EQ(work->storyPending, 0u);
    EXPECT_EQ(story->GetSubState(), SceneStory::kWaitWindow);
    Frame();
    EXPECT_EQ(work->storyPending, 1u) << "set by the stage start";
    Frames(9);
    ASSERT_TRUE(story->IsWindowOpen());
    EXPECT_EQ(Current().line, 1);
    EXPECT_STREQ(Current().text, "pc01s01001");
    // The first line's voice ends: the second line follows by itself.
    Mireku::Sound::StreamSound* voice = sound->GetStream(story->GetVoiceSlot());
    ASSERT_NE(voice, nullptr);
    soundtest::WaitIdle(voice);
    Frames(61);
    EXPECT_EQ(Current().line, 1);
    null->PullStream(voice, 96000);
    Frames(2);
    EXPECT_EQ(Current().line, 2);
    Frame(kShot);
    Frame();
    EXPECT_EQ(Current().line, 4) << "the hidden line is passed over";
    Frame(kShot);
    EXPECT_EQ(story->GetSubState(), SceneStory::kClosing);
    Frames(31);
    EXPECT_EQ(Active<SceneStory>(), nullptr) << "gone 30 frames after the last line";
    EXPECT_NE(Active<SceneGame>(), nullptr) << "the stage goes on";
    EXPECT_EQ(work->gameState, 0u);

    // The third stage ends: the intermission, then the fourth stage.
    work->stage = 2;
    ClearStage();
    auto* intermission = RunUntilActive<SceneStoryIntermission>(180 + 300 + 5);
    ASSERT_NE(intermission, nullptr);
    PlayOutJingle(intermission);
    EXPECT_EQ(Active<SceneGame>(), nullptr);
    EXPECT_EQ(MusicOf(intermission->GetMusicSlot()), "vam_023.ogg");
    EXPECT_EQ(intermission->GetLines().size(), 4u) << "pc01stage02_introduction.txt";
    story = SkipPictures(intermission, SceneStoryIntermission::kRoll);
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(work->stage, 3u);
    EXPECT_EQ(LastStageStart().stage, 3u);
    EXPECT_EQ(MusicOf(story->GetMusicSlot()), "vam_038.ogg");
    Frame();
    EXPECT_STREQ(Current().text, "pc01s04001");

    // The last stage of the loop ends the story.
    work->stage = 11;
    ClearStage();
    auto* ending = RunUntilActive<SceneEnding>(180 + 300 + 5);
    ASSERT_NE(ending, nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kCredits);
    EXPECT_EQ(MusicOf(ending->GetMusicSlot()), "vam_027.ogg");
    EXPECT_EQ(Active<SceneStory>(), nullptr);
}

TEST_F(StoryFlow, TheSixthPilotsEndingIsTheTrueOne) {
    work->BeginGame(4);
    work->storyMode = 1;
    work->player.ship = 5;
    work->stage = 23;
    work->TakeProgressSnapshot();
    driver->CreateScene<SceneGame>();
    Frame();
    LeaveFinishedStage();
    auto* ending = RunUntilActive<SceneEnding>(5);
    ASSERT_NE(ending, nullptr);
    EXPECT_EQ(ending->GetSubState(), SceneEnding::kScript);
    EXPECT_EQ(script.GetRecords().size(), 3u) << "pc06true_ending.txt";
    ASSERT_NE(ending->GetPicture(0), nullptr) << "texture/ending/ed_pc06_01.dds";
    EXPECT_EQ(ending->GetPicture(0)->GetWidth(), 1280);
}

} // namespace
