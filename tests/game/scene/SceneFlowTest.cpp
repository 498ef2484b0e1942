#include "support/FlowSceneRig.h"

#include "game/core/InputManager.h"
#include "game/scene/SceneFreePlayEnd.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneTitle.h"
#include "tools/soundgen/SoundSynth.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class FlowTest : public flow_test::FlowRig {
protected:
    void SetUp() override {
        withSound = true;
        FlowRig::SetUp();
    }
    // The screen's music is loaded and playing.
    bool MusicPlays(const FlowScene* scene) {
        const int32_t slot = scene->GetMusicSlot();
        if (!sound->IsStreamReady(slot) || slot < 0)
            return false;
        soundtest::WaitIdle(sound->GetStream(slot));
        return sound->IsStreamPlaying(slot);
    }
    uint32_t OpenSlots() const {
        uint32_t n = 0;
        for (int32_t slot = 0; slot < static_cast<int32_t>(SoundManager::kStreamSlots); ++slot)
            n += (sound->GetSlotFlags(slot) & SoundManager::kStateMask) != SoundManager::kFree;
        return n;
    }
};

TEST_F(FlowTest, FromTheLogoToTheFirstStage) {
    // The music each screen opened, in the order the screens came.
    std::vector<std::string> opened;
    driver->CreateScene<SceneLogo>();
    Frame();
    EXPECT_EQ(OpenSlots(), 0u) << "the logo is silent";
    SceneTitle* title = RunUntilActive<SceneTitle>(100);
    ASSERT_NE(title, nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    EXPECT_TRUE(MusicPlays(title));
    opened.push_back(sound->GetStreamName(title->GetMusicSlot()));
    EXPECT_EQ(OpenSlots(), 1u);
    Frame(InputManager::kShot); // past the intro
    Frame();
    ASSERT_EQ(title->GetState(), 4);
    Frame(InputManager::kShot);

    SceneSelectGameMenu* menu = RunUntilActive<SceneSelectGameMenu>(40);
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(RunUntilState<SceneSelectGameMenu>(3, 5), nullptr);
    EXPECT_TRUE(MusicPlays(menu));
    opened.push_back(sound->GetStreamName(menu->GetMusicSlot()));
    EXPECT_EQ(OpenSlots(), 1u) << "the title's music is gone";
    for (int i = 0; i < 59 && menu->GetState() == 3; ++i)
        Frame(i % 2 ? InputManager::kDown : InputManager::kShot);
    ASSERT_EQ(menu->GetState(), 3) << "still fading in: the presses were ignored";
    Frame();
    ASSERT_EQ(menu->GetState(), 4);
    EXPECT_EQ(menu->GetCursor(), 0);
    Frame(InputManager::kShot);

    SceneSelectPilot* select = RunUntilActive<SceneSelectPilot>(70);
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(work->gameType, 3u);
    ASSERT_NE(RunUntilState<SceneSelectPilot>(4, 40), nullptr);
    EXPECT_TRUE(MusicPlays(select));
    opened.push_back(sound->GetStreamName(select->GetMusicSlot()));
    EXPECT_EQ(OpenSlots(), 1u);
    Frame(InputManager::kRight);
    Frame(InputManager::kShot);
    ASSERT_NE(RunUntilState<SceneSelectPilot>(7, 40), nullptr);
    Frame(InputManager::kShot);
    EXPECT_EQ(OpenSlots(), 0u) << "the select music goes with the choice";
    EXPECT_EQ(opened, (std::vector<std::string>{"title.ogg", "menu.ogg", "select.ogg"}));

    SceneGame* game = RunUntilActive<SceneGame>(70);
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(stageStarts.size(), 1u);
    const flow_test::StageStart& start = LastStageStart();
    EXPECT_EQ(start.ship, 1);
    EXPECT_EQ(start.mode, 1u);
    EXPECT_EQ(start.stage, 0u);
    EXPECT_EQ(start.gameType, 3u);
    EXPECT_EQ(start.subWeapons, 1u);
    EXPECT_EQ(start.lastPilot, 1);
    EXPECT_EQ(start.demo, 0);
    EXPECT_EQ(driver->GetFirstActive(), game) << "the only screen left";
    EXPECT_EQ(game->nextInList, nullptr);
}

TEST_F(FlowTest, TheFreePlayEndReturnsToTheTitle930FramesAfterItsFadeIn) {
    SceneFreePlayEnd* end = Push<SceneFreePlayEnd>();
    ASSERT_NE(end, nullptr);
    ASSERT_NE(RunUntilState<SceneFreePlayEnd>(4, 40), nullptr);
    EXPECT_TRUE(MusicPlays(end));
    ASSERT_NE(end->GetPicture(), nullptr);
    Frame();
    const std::vector<flow_test::Sprite> picture = SpritesOf(end->GetPicture());
    ASSERT_EQ(picture.size(), 1u);
    EXPECT_EQ(picture[0].x1, 1280.0f);
    EXPECT_EQ(picture[0].v1, 720.0f);
    EXPECT_EQ(picture[0].colour, 0xFFFFFFFFu);
    Frames(928);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frame();
    EXPECT_NE(Active<SceneTitle>(), nullptr);
}

TEST_F(FlowTest, DecideOrCancelEndsTheFreePlayEndEarly) {
    for (uint32_t button : {InputManager::kShot, InputManager::kExWeapon}) {
        SceneFreePlayEnd* end = Push<SceneFreePlayEnd>();
        ASSERT_NE(RunUntilState<SceneFreePlayEnd>(4, 40), nullptr);
        Frames(10);
        Frame(button);
        EXPECT_EQ(end->GetState(), 5);
        Frames(30);
        ASSERT_NE(Active<SceneTitle>(), nullptr);
        driver->EndAllScenes();
        Frame();
    }
}

// Each screen's music by name: loose files that hold only that one.
struct MusicCase {
    const char* name;
    std::function<void(SceneDriver*)> push;
};

class MusicByName : public flow_test::FlowRig, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        looseRoot = files.Root();
        withSound = true;
        FlowRig::SetUp();
    }
    testsupport::ScratchFolder files;
};

const MusicCase kMusic[] = {
    {"menu.ogg", [](SceneDriver* d) { d->CreateScene<SceneSelectGameMenu>(); }},
    {"select.ogg", [](SceneDriver* d) { d->CreateScene<SceneSelectPilot>(); }},
    {"ranking.ogg", [](SceneDriver* d) { d->CreateScene<SceneRanking>(); }},
    {"ranking.ogg", [](SceneDriver* d) { d->CreateScene<SceneSetup>(); }},
    {"ranking.ogg", [](SceneDriver* d) { d->CreateScene<SceneFreePlayEnd>(); }},
};

TEST_P(MusicByName, TheScreenOpensItsOwnMusic) {
    const MusicCase& c = kMusic[GetParam()];
    files.WriteFile(std::string("sound/bgm/") + c.name,
                    soundgen::EncodeOggVorbis(soundgen::Tone(330.0f, 0.2f, 22050), 1, 22050));
    c.push(driver);
    Frame();
    const FlowScene* scene = dynamic_cast<const FlowScene*>(driver->GetFirstActive());
    ASSERT_NE(scene, nullptr);
    ASSERT_GE(scene->GetMusicSlot(), 0);
    sound->WaitStream(scene->GetMusicSlot());
    EXPECT_TRUE(sound->IsStreamReady(scene->GetMusicSlot())) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Screens, MusicByName, ::testing::Range(0, 5));

TEST_F(FlowTest, TheNextLoopHasNoMusic) {
    SceneGotoNextLoop* next = Push<SceneGotoNextLoop>();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->GetMusicSlot(), -1);
    EXPECT_EQ(OpenSlots(), 0u);
}

} // namespace
