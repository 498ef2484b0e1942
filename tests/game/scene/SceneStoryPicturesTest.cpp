// The opening and the intermissions: their pictures, music and scripts, the
// pictures fading through black, the rolling lines, cancel and the black-out,
// and the stage that follows.
#include "engine/graphics/Texture.h"
#include "game/core/StageMusicSlots.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneStoryOpening.h"
#include "game/scene/StoryScriptDriver.h"
#include "game/stage/StageMusic.h"
#include "support/StoryRig.h"

#include <cstdio>
#include <memory>

namespace {

using story_test::Numbered;

using sampledata::MakeScriptLine;

constexpr uint32_t kCancel = InputManager::kExWeapon;

class StoryPicturesTest : public story_test::StoryRig {
protected:
    void SetUp() override {
        StoryRig::SetUp();
        WriteStoryParts();
        work->storyMode = 1;
        work->player.ship = 0;
        // Pictures told apart by their widths: 101-111 for ev_demo_bg01 to
        // bg11, 121-126 for the name pictures of pilots 1 to 6.
        for (int n = 1; n <= 11; ++n)
            Write("script/texture/" + Numbered("ev_demo_bg%02d.dds", n),
                  story_test::Dds(100 + static_cast<uint32_t>(n), 36));
        for (int p = 1; p <= 6; ++p)
            Write("script/texture/" + Numbered("ev_pr_name_pc%d.dds", p),
                  story_test::Dds(120 + static_cast<uint32_t>(p), 36));
    }
    void TearDown() override {
        StageMusicSlots::clearJingle = -1;
        StoryRig::TearDown();
    }
    // Three lines for the script at `path`.
    void Lines(const std::string& path, const std::string& prefix) {
        for (int i = 1; i <= 3; ++i)
            WriteLine(prefix + std::to_string(i), 0.0f, 500);
        WriteScript(path,
                    {MakeScriptLine(1, 0, 0, prefix + "1"), MakeScriptLine(2, 0, 0, prefix + "2"),
                     MakeScriptLine(3, 0, 0, prefix + "3")});
    }
    static int Width(const Mireku::Graphics::Texture* t) { return t ? t->GetWidth() : 0; }
    // Frames until `scene` reaches `sub`; -1 when it does not within `most`.
    template <class T> int FramesTo(T* scene, uint32_t sub, int most, uint32_t pressed = 0) {
        for (int i = 1; i <= most; ++i) {
            Frame(pressed);
            if (scene->GetSubState() == sub)
                return i;
        }
        return -1;
    }
    // The sprite of the current picture in the last frame.
    std::vector<story_test::Sprite> Pictures(const StoryPictureScene* scene, int index) const {
        return SpritesOf(scene->GetPicture(index));
    }
};

TEST_F(StoryPicturesTest, OpeningReadsItsPicturesScriptAndMusic) {
    work->player.ship = 2;
    Lines("script/script/pc03/pc03opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_NE(opening, nullptr);
    const int widths[] = {101, 102, 123, 103, 104, 105};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Width(opening->GetPicture(i)), widths[i]) << "picture " << i;
    EXPECT_EQ(MusicOf(opening->GetMusicSlot()), "vam_022.ogg");
    EXPECT_EQ(StoryScriptDriver::Instance().GetKind(), StoryScriptDriver::kOpening);
    EXPECT_EQ(opening->GetLines().size(), 3u);
    EXPECT_EQ(opening->GetRollLength(), 14760u) << "pilot 3's opening";
}

TEST_F(StoryPicturesTest, OpeningPicturesFadeThroughBlackThenTheLinesRoll) {
    Lines("script/script/pc01/pc01opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_NE(opening, nullptr);
    ASSERT_EQ(RunUntilState<SceneStoryOpening>(FlowScene::kStateShown, 60), opening);
    ASSERT_EQ(opening->GetSubState(), 1u);
    // Each picture: held 60 frames, darkened over 30, the next brightened
    // over 30.
    for (int picture = 0; picture < 4; ++picture) {
        const uint32_t hold = 1 + 3 * static_cast<uint32_t>(picture);
        ASSERT_EQ(opening->GetSubState(), hold);
        EXPECT_EQ(opening->GetPictureIndex(), picture);
        auto shown = Pictures(opening, picture);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].colour, 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(shown[0].x0, 0.0f);
        EXPECT_FLOAT_EQ(shown[0].Width(), static_cast<float>(Width(opening->GetPicture(picture))));
        const int held = FramesTo(opening, hold + 1, 100);
        EXPECT_GE(held, 59);
        EXPECT_LE(held, 61);
        Frames(15);
        shown = Pictures(opening, picture);
        ASSERT_EQ(shown.size(), 1u);
        const uint32_t grey = shown[0].colour & 0xFF;
        EXPECT_NEAR(grey, 127, 10) << "halfway through black";
        EXPECT_EQ(shown[0].colour >> 24, 0xFFu) << "opaque";
        const int darkened = 15 + FramesTo(opening, hold + 2, 20);
        EXPECT_GE(darkened, 29);
        EXPECT_LE(darkened, 31);
        EXPECT_EQ(opening->GetPictureIndex(), picture + 1);
        EXPECT_EQ(opening->GetBrightness(), 0.0f);
        EXPECT_TRUE(opening->GetLines().empty() ||
                    SpritesOf(opening->GetLines()[0].texture).empty())
            << "no lines before the roll";
        const int brightened = FramesTo(opening, hold + 3, 40);
        EXPECT_GE(brightened, 29);
        EXPECT_LE(brightened, 31);
    }
    ASSERT_EQ(opening->GetSubState(), SceneStoryOpening::kRoll);
    EXPECT_EQ(opening->GetPictureIndex(), 4);
    Frame();
    const auto line = SpritesOf(opening->GetLines()[0].texture);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].clip[1], 120);
    EXPECT_EQ(line[0].clip[3], 480);
    EXPECT_NEAR(line[0].y0, 600.0f, 1.0f) << "the roll starts at the clip's bottom";
}

TEST_F(StoryPicturesTest, OpeningCancelWorksOnlyOnceTheLinesRoll) {
    Lines("script/script/pc01/pc01opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_EQ(RunUntilState<SceneStoryOpening>(FlowScene::kStateShown, 60), opening);
    const uint32_t cancels = SoundCount(9);
    int frames = 0;
    while (opening->GetSubState() != SceneStoryOpening::kRoll && frames < 600) {
        Frame(kCancel);
        ++frames;
        ASSERT_NE(opening->GetSubState(), 0u) << "cancel before the roll is ignored";
    }
    ASSERT_EQ(opening->GetSubState(), SceneStoryOpening::kRoll);
    EXPECT_EQ(SoundCount(9), cancels);
    Frame(kCancel);
    EXPECT_EQ(opening->GetSubState(), 0u) << "the black-out";
    EXPECT_EQ(SoundCount(9), cancels + 1);
    // 120 frames of black-out, then the 30-frame fade to the stage.
    int blackOut = 0;
    while (opening->GetState() == FlowScene::kStateShown && blackOut < 200) {
        Frame();
        ++blackOut;
    }
    EXPECT_GE(blackOut, 119);
    EXPECT_LE(blackOut, 121);
    const auto cover = SpritesOf(DefaultTexture());
    ASSERT_FALSE(cover.empty());
    EXPECT_EQ(cover.back().colour, 0xFF000000u) << "the black-out's rectangle, fully black";
    EXPECT_EQ(opening->GetState(), FlowScene::kStateLeaving);
    auto* story = RunUntilActive<SceneStory>(40);
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(Active<SceneStoryOpening>(), nullptr);
    EXPECT_NE(Active<SceneGame>(), nullptr) << "the first stage";
    EXPECT_EQ(story->GetRequest(), SceneStory::kBetweenStages);
    EXPECT_EQ(work->stage, 0u);
}

TEST_F(StoryPicturesTest, OpeningRunsItsWholeLength) {
    // Pilot 6 has the shortest opening: 8640 frames of roll.
    work->player.ship = 5;
    Lines("script/script/pc06/pc06opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_EQ(RunUntilState<SceneStoryOpening>(FlowScene::kStateShown, 60), opening);
    ASSERT_GT(FramesTo(opening, SceneStoryOpening::kRoll, 600), 0);
    const int half = FramesTo(opening, SceneStoryOpening::kCrossFade, 9000);
    EXPECT_EQ(half, 8640 / 2) << "the sixth picture comes in half-way";
    Frames(30);
    const auto fifth = Pictures(opening, 4);
    const auto sixth = Pictures(opening, 5);
    ASSERT_EQ(fifth.size(), 1u);
    ASSERT_EQ(sixth.size(), 1u);
    EXPECT_EQ(sixth[0].colour, 0xFFFFFFFFu) << "the next one at full colour";
    EXPECT_NEAR(fifth[0].colour >> 24, 127, 6) << "the current one fading over it";
    const int crossFade = 30 + FramesTo(opening, SceneStoryOpening::kRollEnd, 100);
    EXPECT_GE(crossFade, 59);
    EXPECT_LE(crossFade, 61);
    EXPECT_EQ(opening->GetPictureIndex(), 5);
    const int rest = FramesTo(opening, 0, 9000);
    EXPECT_EQ(half + rest, 8640 + 60) << "the roll's length and a second, the cross-fade aside";
    EXPECT_GT(opening->GetRollOffset(), 0.0f);
    ASSERT_NE(RunUntilActive<SceneStory>(200), nullptr);
}

TEST_F(StoryPicturesTest, IntermissionByStage) {
    struct Case {
        uint32_t stage;
        int first, second;
        const char* music;
        const char* script;
        uint32_t roll;
    };
    const Case cases[] = {
        {2, 106, 107, "vam_023.ogg", "pc01stage02_introduction.txt", 11820},
        {5, 108, 109, "vam_024.ogg", "pc01stage03_introduction.txt", 10860},
        {8, 110, 111, "vam_025.ogg", "pc01stage04_introduction.txt", 11640},
        {17, 108, 109, "vam_024.ogg", "pc01stage03_introduction.txt", 10860},
    };
    for (const Case& c : cases) {
        Lines(std::string("script/script/pc01/") + c.script, Numbered("i%d_", int(c.stage)));
        work->stage = c.stage;
        auto* scene = Push<SceneStoryIntermission>();
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(Width(scene->GetPicture(0)), c.first) << c.stage;
        EXPECT_EQ(Width(scene->GetPicture(1)), c.second) << c.stage;
        EXPECT_EQ(MusicOf(scene->GetMusicSlot()), c.music) << c.stage;
        EXPECT_EQ(scene->GetRollLength(), c.roll) << c.stage;
        ASSERT_EQ(scene->GetLines().size(), 3u) << c.script;
        driver->ClearAll();
    }
}

TEST_F(StoryPicturesTest, IntermissionRollsThenTheNextStageBegins) {
    Lines("script/script/pc01/pc01stage03_introduction.txt", "n");
    work->stage = 5;
    auto* scene = Push<SceneStoryIntermission>();
    ASSERT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateShown, 90), scene);
    const uint32_t cancels = SoundCount(9);
    const int held = FramesTo(scene, 2, 100, kCancel);
    EXPECT_GE(held, 59);
    EXPECT_LE(held, 61);
    // The skip hint would blink on from frame 60: it shows from sub-state 3.
    Frame();
    EXPECT_TRUE(SpritesOf(scene->GetSkip()).empty());
    EXPECT_GT(FramesTo(scene, 3, 40, kCancel), 0);
    EXPECT_EQ(scene->GetPictureIndex(), 1);
    Frame();
    EXPECT_EQ(SpritesOf(scene->GetSkip()).size(), 1u);
    EXPECT_GT(FramesTo(scene, SceneStoryIntermission::kRoll, 40), 0);
    EXPECT_EQ(SoundCount(9), cancels) << "no cancel before the roll";
    Frame(kCancel);
    EXPECT_EQ(scene->GetSubState(), 0u);
    EXPECT_EQ(SoundCount(9), cancels + 1);
    ASSERT_NE(scene->GetMusicSlot(), -1);
    while (scene->GetState() == FlowScene::kStateShown)
        Frame();
    EXPECT_EQ(scene->GetMusicSlot(), -1) << "the music goes when the fade starts";
    EXPECT_EQ(work->stage, 5u);
    auto* story = RunUntilActive<SceneStory>(40);
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(work->stage, 6u) << "one stage on";
    EXPECT_NE(Active<SceneGame>(), nullptr);
    EXPECT_EQ(Active<SceneStoryIntermission>(), nullptr);
}

TEST_F(StoryPicturesTest, TheOpeningClearsItsRecordsAtItsEndTheIntermissionKeepsThem) {
    Lines("script/script/pc01/pc01opening.txt", "o");
    Lines("script/script/pc01/pc01stage02_introduction.txt", "k");
    work->stage = 2;
    Push<SceneStoryOpening>();
    ASSERT_EQ(StoryScriptDriver::Instance().GetRecords().size(), 3u);
    driver->ClearAll();
    EXPECT_TRUE(StoryScriptDriver::Instance().GetRecords().empty());
    Push<SceneStoryIntermission>();
    driver->ClearAll();
    EXPECT_EQ(StoryScriptDriver::Instance().GetRecords().size(), 3u)
        << "the next script's load replaces them";
}

TEST_F(StoryPicturesTest, IntermissionWaitsOnlyForAJingleThatCanPlay) {
    // A jingle that could not be read, and none at all: the screen goes on
    // in the frame it starts.
    sound->OpenStream(&StageMusicSlots::clearJingle, "sound/bgm", "stage_clear.ogg");
    sound->WaitStream(StageMusicSlots::clearJingle);
    ASSERT_EQ(sound->GetSlotFlags(StageMusicSlots::clearJingle) & SoundManager::kStateMask,
              SoundManager::kFailed);
    const int32_t failed = StageMusicSlots::clearJingle;
    work->stage = 2;
    auto* intermission = Push<SceneStoryIntermission>();
    ASSERT_NE(intermission, nullptr);
    EXPECT_EQ(intermission->GetJingleSlot(), -1);
    EXPECT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateFadeIn, 2), intermission);
    EXPECT_EQ(sound->GetSlotFlags(failed), 0u) << "the failed slot is given back";
    driver->ClearAll();
    ASSERT_EQ(StageMusicSlots::clearJingle, -1);
    intermission = Push<SceneStoryIntermission>();
    ASSERT_NE(intermission, nullptr);
    EXPECT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateFadeIn, 2), intermission);
}

class IntermissionJingleTest : public StoryPicturesTest {
protected:
    void SetUp() override {
        withSound = true;
        StoryPicturesTest::SetUp();
    }
};

TEST_F(IntermissionJingleTest, IntermissionWaitsFrameByFrameWhileTheJinglePlays) {
    Write("sound/bgm/stage_clear.ogg", Ogg(0.4f, 520.0f));
    Write("sound/bgm/vam_023.ogg", Ogg(2.0f, 330.0f));
    work->stage = 2;
    auto stage = std::make_unique<StageMusic>();
    stage->PlayJingle();
    const int32_t jingle = StageMusicSlots::clearJingle;
    ASSERT_TRUE(Playing(jingle));
    driver->CreateScene<SceneStoryIntermission>();
    // The stage ends in the frame it asks for the intermission: the jingle
    // is no longer its to release.
    stage.reset();
    ASSERT_TRUE(Playing(jingle)) << "the jingle outlives the stage";
    int waited = 0;
    SceneStoryIntermission* intermission = nullptr;
    for (int i = 0; i < 200; ++i) {
        Frame();
        intermission = Active<SceneStoryIntermission>();
        ASSERT_NE(intermission, nullptr);
        if (!Playing(jingle))
            break;
        // Each frame returns while the jingle plays: the screen keeps its
        // music closed to play and does not fade in.
        ASSERT_EQ(intermission->GetState(), FlowScene::kStateMusic) << "frame " << i;
        EXPECT_FALSE(Playing(intermission->GetMusicSlot()));
        EXPECT_FALSE(driver->IsFading());
        ++waited;
        // A frame's worth of the mix (48000 a second) on the null device.
        null->PullStream(sound->GetStream(jingle), 800);
    }
    // 0.4 seconds: 24 frames.
    EXPECT_GE(waited, 23) << "the jingle was heard across frames";
    EXPECT_LE(waited, 30);
    ASSERT_FALSE(Playing(jingle)) << "the jingle ends in time";
    ASSERT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateFadeIn, 3), intermission);
    EXPECT_TRUE(Playing(intermission->GetMusicSlot())) << "its own music after the jingle";
    EXPECT_EQ(MusicOf(intermission->GetMusicSlot()), "vam_023.ogg");
    EXPECT_EQ(intermission->GetJingleSlot(), -1);
    EXPECT_EQ(sound->GetStream(jingle), nullptr) << "the jingle's slot is given back";
    EXPECT_NE(g_currentMusicSlot, jingle);
}

} // namespace
