// The story scenes: the story over a stage (its music and script by
// request and stage, the window flag, decide, voices, cancel, what becomes
// of the stage's music), and the opening and the intermissions (their
// pictures fading through black, the rolling lines, cancel and the
// black-out, the stage that follows).
#include "game/scene/SceneStory.h"
#include "engine/graphics/Texture.h"
#include "game/core/GameState.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneStoryOpening.h"
#include "game/stage/StageMusic.h"
#include "support/SceneRig.h"

namespace {

using namespace scene_test;

constexpr uint32_t kShown = FlowScene::kStateShown;

class StoryScenes : public SceneRig {
protected:
    StoryScenes() {
        loose = true;
        withSound = true;
    }
    void SetUp() override {
        SceneRig::SetUp();
        WriteStoryParts();
        work->player.ship = 0;
        work->storyMode = 1;
        work->stage = 0;
        // Pictures told apart by their widths: 101-111 for ev_demo_bg01 to
        // bg11, 121-126 for the name pictures of pilots 1 to 6.
        for (int n = 1; n <= 11; ++n)
            Write("script/texture/" + Numbered("ev_demo_bg%02d.dds", n), Dds(100 + n, 36));
        for (int p = 1; p <= 6; ++p)
            Write("script/texture/" + Numbered("ev_pr_name_pc%d.dds", p), Dds(120 + p, 36));
        Write("sound/bgm/stage01.ogg", Ogg(0.5f, 330.0f));
    }
    // The stage's own track, open as the stage under a story left it.
    void StageTrack() {
        sound->OpenStream(&StageMusicSlots::stageTrack, "sound/bgm", "stage01.ogg");
        sound->WaitStream(StageMusicSlots::stageTrack);
    }
    // Three lines of `voiceSeconds` (none for 0) for the script at `path`.
    void Lines(const std::string& path, const std::string& prefix, float voiceSeconds = 0.0f,
               uint32_t speaker = 0) {
        std::vector<ScriptLine> lines;
        for (int i = 1; i <= 3; ++i) {
            WriteLine(prefix + std::to_string(i), voiceSeconds, 500);
            lines.push_back(MakeScriptLine(i, speaker ? int32_t(speaker + 6 * (i == 2)) : 0,
                                           speaker ? i + 1 : 0, prefix + std::to_string(i)));
        }
        WriteScript(path, lines);
    }
    void StageScene(float voiceSeconds = 0.2f) {
        Lines("script/script/pc01/pc01stage01-01.txt", "l", voiceSeconds, 1);
    }
    // The story started as a stage end or a boss starts it, run to its main
    // state.
    SceneStory* Start(uint32_t request) {
        story = Push<SceneStory>(request);
        return story = RunUntilState<SceneStory>(SceneStory::kMain, 20);
    }
    // The window flag up, the window open and the first line shown.
    void OpenWindow() {
        work->storyPending = 1;
        Frames(9);
        ASSERT_TRUE(story->IsWindowOpen());
    }
    int32_t Line() const { return script.GetCurrent().line; }
    Mireku::Sound::StreamSound* Voice() const { return sound->GetStream(story->GetVoiceSlot()); }
    int FramesUntilGone(int most) {
        return FramesUntil([this] { return !Active<SceneStory>(); }, most);
    }
    static int Width(const Mireku::Graphics::Texture* t) { return t ? t->GetWidth() : 0; }

    SceneStory* story = nullptr;
};

TEST_F(StoryScenes, TheStorysMusicAndScriptByRequestAndStage) {
    const struct {
        uint32_t request, stage;
        const char* music;
        uint32_t kind;
    } rows[] = {
        {0, 0, "vam_035.ogg", 1},  {0, 5, "vam_040.ogg", 1}, {0, 11, "vam_046.ogg", 1},
        {0, 12, "vam_035.ogg", 1}, {1, 0, "vam_036.ogg", 3}, {1, 11, "vam_047.ogg", 3},
        {1, 23, "vam_047.ogg", 3}, {2, 3, "vam_040.ogg", 4}, {2, 11, "vam_026.ogg", 4},
        {2, 23, "vam_026.ogg", 4}, {9, 2, "vam_037.ogg", 1},
    };
    for (const auto& r : rows) {
        StageTrack();
        work->stage = r.stage;
        work->gameState = 0;
        work->storyFlag2 = 0;
        SceneStory* scene = Push<SceneStory>(r.request);
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(MusicOf(scene->GetMusicSlot()), r.music) << r.request << " " << r.stage;
        EXPECT_EQ(script.GetKind(), r.kind) << r.request;
        EXPECT_EQ(work->gameState, GameState::kStory);
        EXPECT_EQ(work->storyFlag2, 1u) << "the story runs";
        driver->ClearAll();
        sound->ReleaseStream(&StageMusicSlots::stageTrack);
    }
}

TEST_F(StoryScenes, TheWindowWaitsForItsFlagDecideStepsAndTheStageComesBack) {
    StageScene();
    StageTrack();
    Write("sound/bgm/vam_035.ogg", Ogg(0.5f, 220.0f));
    ASSERT_NE(Start(SceneStory::kBetweenStages), nullptr);
    const int32_t music = story->GetMusicSlot();
    EXPECT_TRUE(Playing(music)) << "its music starts at once";
    EXPECT_EQ(g_currentMusicSlot, music);
    for (int i = 0; i < 100; ++i) {
        Frame();
        ASSERT_EQ(story->GetSubState(), SceneStory::kWaitWindow);
        ASSERT_TRUE(portraits.empty() && SpritesOf(story->GetWindow()).empty());
    }
    EXPECT_EQ(story->GetVoiceEntry(), -1);
    work->storyPending = 1;
    Frame();
    EXPECT_EQ(story->GetSubState(), SceneStory::kShowing);
    EXPECT_EQ(story->GetCloseTimer(), 30);
    EXPECT_EQ(SpritesOf(story->GetWindow()).size(), 1u);
    EXPECT_FALSE(portraits.empty());
    Frames(8);
    EXPECT_EQ(Line(), 1);
    EXPECT_EQ(SpritesOf(story->GetLines()[0].texture).size(), 1u);
    Frame(kShot);
    EXPECT_EQ(Line(), 2);
    EXPECT_EQ(StoryChar::Instance().GetOtherSpeaker(), 7);
    EXPECT_EQ(SpritesOf(story->GetLines()[1].texture).size(), 1u);
    Frame(kShot);
    Frame(kShot);
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
    EXPECT_EQ((std::vector<uint32_t>{work->gameState, work->storyFlag2, work->storyPending,
                                     work->storyRequest}),
              (std::vector<uint32_t>{0, 0, 0, 0}));
    EXPECT_TRUE(Playing(StageMusicSlots::stageTrack)) << "the stage's music again";
    EXPECT_EQ(g_currentMusicSlot, StageMusicSlots::stageTrack);
    EXPECT_FALSE(Playing(music)) << "the story's music went with it";
    EXPECT_TRUE(script.GetRecords().empty());
}

// A line moves on when its voice has ended (and its hold of 60 frames), a
// line without a voice 60 frames after its voice was to start, and cancel
// closes the window with its sound and silences the voice.
TEST_F(StoryScenes, VoicesMoveTheLinesOnAndCancelClosesTheWindow) {
    for (float seconds : {0.0f, 0.2f, 2.0f}) { // no voice files first
        SCOPED_TRACE(seconds);
        driver->ClearAll();
        StageScene(seconds);
        ASSERT_NE(Start(SceneStory::kBetweenStages), nullptr);
        OpenWindow();
        ASSERT_EQ(story->GetVoiceEntry(), 0) << "its voice was to start";
        Mireku::Sound::StreamSound* voice = Voice();
        if (seconds == 0.0f) {
            const int frames = FramesUntil([this] { return Line() == 2; }, 200);
            EXPECT_TRUE(frames >= 60 && frames <= 62) << frames;
        } else if (seconds < 1.0f) {
            ASSERT_TRUE(voice && Playing(story->GetVoiceSlot()));
            Frames(70);
            EXPECT_EQ(Line(), 1) << "still speaking after its hold";
            null->PullStream(voice, 48000);
            ASSERT_FALSE(voice->IsPlaying());
            Frames(2);
            EXPECT_EQ(Line(), 2);
            EXPECT_NE(Voice(), voice) << "the next line's voice";
        } else {
            ASSERT_TRUE(Playing(story->GetVoiceSlot()));
            const uint32_t cancels = SoundCount(9);
            Frame(kEx);
            EXPECT_EQ(story->GetSubState(), SceneStory::kClosing);
            EXPECT_EQ(SoundCount(9), cancels + 1);
            EXPECT_FALSE(Playing(story->GetVoiceSlot()));
            EXPECT_EQ(FramesUntilGone(40), 31);
        }
    }
}

TEST_F(StoryScenes, TheBridgeKeepsTheStageTrackTheEndingTakesIt) {
    StageScene();
    StageTrack();
    WriteScript("script/script/pc01/pc01last_boss_bridge.txt", {MakeScriptLine(1, 1, 2, "l1")});
    sound->PlayMusic(StageMusicSlots::stageTrack, true);
    ASSERT_TRUE(Playing(StageMusicSlots::stageTrack));
    ASSERT_NE(Start(SceneStory::kLastBossBridge), nullptr);
    EXPECT_FALSE(Playing(StageMusicSlots::stageTrack)) << "stopped";
    EXPECT_NE(StageMusicSlots::stageTrack, -1) << "but kept";
    OpenWindow();
    Frame(kShot);
    EXPECT_EQ(FramesUntilGone(40), 31);
    EXPECT_FALSE(Playing(StageMusicSlots::stageTrack))
        << "only the scene between stages restarts it";
    work->storyRequest = SceneStory::kEnding;
    ASSERT_NE(Start(SceneStory::kEnding), nullptr);
    EXPECT_EQ(StageMusicSlots::stageTrack, -1) << "released for good";
}

// Even over the records an intermission left, all shown by now.
TEST_F(StoryScenes, AMissingScriptClosesTheWindowAtOnce) {
    LoadScript({MakeScriptLine(1, 1, 2, "old")}, StoryScriptDriver::kIntroduction);
    while (script.Step(1)) {
    }
    ASSERT_NE(Start(SceneStory::kBetweenStages), nullptr);
    EXPECT_TRUE(script.GetRecords().empty());
    work->storyPending = 1;
    Frame();
    EXPECT_EQ(story->GetSubState(), SceneStory::kClosing);
    EXPECT_EQ(FramesUntilGone(40), 31);
}

TEST_F(StoryScenes, ThePicturesMusicScriptAndRollOfEachOccasion) {
    const struct {
        bool opening;
        int8_t ship;
        uint32_t stage;
        std::vector<int> widths;
        const char* music;
        const char* script;
        uint32_t roll;
    } rows[] = {
        {true, 2, 0, {101, 102, 123, 103, 104, 105}, "vam_022.ogg", "pc03/pc03opening.txt", 14760},
        {false, 0, 2, {106, 107}, "vam_023.ogg", "pc01/pc01stage02_introduction.txt", 11820},
        {false, 0, 5, {108, 109}, "vam_024.ogg", "pc01/pc01stage03_introduction.txt", 10860},
        {false, 0, 8, {110, 111}, "vam_025.ogg", "pc01/pc01stage04_introduction.txt", 11640},
        {false, 0, 17, {108, 109}, "vam_024.ogg", "pc01/pc01stage03_introduction.txt", 10860},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.script);
        Lines(std::string("script/script/") + r.script, Numbered("s%d_", int(r.stage)));
        work->player.ship = r.ship;
        work->stage = r.stage;
        StoryPictureScene* scene = r.opening
                                       ? static_cast<StoryPictureScene*>(Push<SceneStoryOpening>())
                                       : Push<SceneStoryIntermission>();
        ASSERT_NE(scene, nullptr);
        for (size_t i = 0; i < r.widths.size(); ++i)
            EXPECT_EQ(Width(scene->GetPicture(int32_t(i))), r.widths[i]) << "picture " << i;
        EXPECT_EQ(MusicOf(scene->GetMusicSlot()), r.music);
        EXPECT_EQ(script.GetKind(),
                  r.opening ? StoryScriptDriver::kOpening : StoryScriptDriver::kIntroduction);
        EXPECT_EQ(scene->GetLines().size(), 3u);
        EXPECT_EQ(scene->GetRollLength(), r.roll);
        driver->ClearAll();
        // The opening clears its records at its end, the intermission leaves
        // them for the next load to replace.
        EXPECT_EQ(script.GetRecords().size(), r.opening ? 0u : 3u);
    }
}

TEST_F(StoryScenes, TheOpeningsPicturesFadeThroughBlackThenTheLinesRoll) {
    Lines("script/script/pc01/pc01opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_EQ(RunUntilState<SceneStoryOpening>(kShown, 60), opening);
    const uint32_t cancels = SoundCount(9);
    // Each picture: held 60 frames, darkened over 30, the next brightened
    // over 30; cancel does nothing before the roll.
    for (int picture = 0; picture < 4; ++picture) {
        const uint32_t hold = 1 + 3 * static_cast<uint32_t>(picture);
        ASSERT_EQ(opening->GetSubState(), hold);
        EXPECT_EQ(opening->GetPictureIndex(), picture);
        Sprite shown = One(opening->GetPicture(picture));
        EXPECT_EQ(shown.colour, 0xFFFFFFFFu);
        EXPECT_EQ(shown.Rect(), (Box{0, 0, float(Width(opening->GetPicture(picture))), 36}));
        const int held = FramesTo(opening, hold + 1, 100, kEx);
        EXPECT_TRUE(held >= 59 && held <= 61) << held;
        Frames(15, kEx);
        shown = One(opening->GetPicture(picture));
        EXPECT_NEAR(shown.colour & 0xFF, 127, 10) << "halfway through black";
        EXPECT_EQ(shown.Alpha(), 0xFFu) << "opaque";
        const int darkened = 15 + FramesTo(opening, hold + 2, 20, kEx);
        EXPECT_TRUE(darkened >= 29 && darkened <= 31) << darkened;
        EXPECT_EQ(opening->GetPictureIndex(), picture + 1);
        EXPECT_EQ(opening->GetBrightness(), 0.0f);
        EXPECT_TRUE(SpritesOf(opening->GetLines()[0].texture).empty())
            << "no lines before the roll";
        const int brightened = FramesTo(opening, hold + 3, 40, kEx);
        EXPECT_TRUE(brightened >= 29 && brightened <= 31) << brightened;
    }
    ASSERT_EQ(opening->GetSubState(), SceneStoryOpening::kRoll);
    EXPECT_EQ(SoundCount(9), cancels) << "cancel before the roll is ignored";
    EXPECT_EQ(opening->GetPictureIndex(), 4);
    Frame();
    const Sprite line = One(opening->GetLines()[0].texture);
    EXPECT_EQ(line.clip[1], 120);
    EXPECT_EQ(line.clip[3], 480);
    EXPECT_NEAR(line.y0, 600.0f, 1.0f) << "the roll starts at the clip's bottom";
    // Cancel: the black-out over 120 frames, then the 30-frame fade to the
    // first stage with its story.
    Frame(kEx);
    EXPECT_EQ(opening->GetSubState(), 0u) << "the black-out";
    EXPECT_EQ(SoundCount(9), cancels + 1);
    const int blackOut = FramesUntil([&] { return opening->GetState() != kShown; }, 200);
    EXPECT_TRUE(blackOut >= 119 && blackOut <= 121) << blackOut;
    ASSERT_FALSE(SpritesOf(DefaultTexture()).empty());
    EXPECT_EQ(SpritesOf(DefaultTexture()).back().colour, 0xFF000000u)
        << "the black-out's rectangle, fully black";
    auto* story = RunUntilActive<SceneStory>(40);
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(Active<SceneStoryOpening>(), nullptr);
    EXPECT_NE(Active<SceneGame>(), nullptr) << "the first stage";
    EXPECT_EQ(story->GetRequest(), SceneStory::kBetweenStages);
    EXPECT_EQ(work->stage, 0u);
}

// Pilot 6 has the shortest opening: 8640 frames of roll. Half-way the sixth
// picture comes in under the fifth, which fades out over it.
TEST_F(StoryScenes, TheOpeningRunsItsWholeLengthWithTheCrossFadeHalfWay) {
    work->player.ship = 5;
    Lines("script/script/pc06/pc06opening.txt", "o");
    auto* opening = Push<SceneStoryOpening>();
    ASSERT_EQ(RunUntilState<SceneStoryOpening>(kShown, 60), opening);
    ASSERT_GT(FramesTo(opening, SceneStoryOpening::kRoll, 600), 0);
    const int half = FramesTo(opening, SceneStoryOpening::kCrossFade, 9000);
    EXPECT_EQ(half, 8640 / 2);
    Frames(30);
    std::vector<const Sprite*> pictures;
    for (const Sprite& s : hud)
        if (s.texture == opening->GetPicture(4) || s.texture == opening->GetPicture(5))
            pictures.push_back(&s);
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0]->texture, opening->GetPicture(5)) << "the next one first, under";
    EXPECT_EQ(pictures[0]->colour, 0xFFFFFFFFu) << "at full colour";
    EXPECT_NEAR(pictures[1]->Alpha(), 127, 6) << "the current one fading over it";
    EXPECT_EQ(pictures[1]->colour & 0xFFFFFF, 0xFFFFFFu);
    const int crossFade = 30 + FramesTo(opening, SceneStoryOpening::kRollEnd, 100);
    EXPECT_TRUE(crossFade >= 59 && crossFade <= 61) << crossFade;
    EXPECT_EQ(opening->GetPictureIndex(), 5);
    const int rest = FramesTo(opening, 0, 9000);
    EXPECT_EQ(half + rest, 8640 + 60) << "the roll's length and a second, the cross-fade aside";
    EXPECT_GT(opening->GetRollOffset(), 0.0f);
    ASSERT_NE(RunUntilActive<SceneStory>(200), nullptr);
}

TEST_F(StoryScenes, TheIntermissionRollsThenTheNextStageBegins) {
    Lines("script/script/pc01/pc01stage03_introduction.txt", "n");
    work->stage = 5;
    auto* scene = Push<SceneStoryIntermission>();
    ASSERT_EQ(RunUntilState<SceneStoryIntermission>(kShown, 90), scene);
    const uint32_t cancels = SoundCount(9);
    const int held = FramesTo(scene, 2, 100, kEx);
    EXPECT_TRUE(held >= 59 && held <= 61) << held;
    // The skip hint would blink on from frame 60: it shows from sub-state 3.
    Frame();
    EXPECT_TRUE(SpritesOf(scene->GetSkip()).empty());
    EXPECT_GT(FramesTo(scene, 3, 40, kEx), 0);
    EXPECT_EQ(scene->GetPictureIndex(), 1);
    Frame();
    EXPECT_EQ(SpritesOf(scene->GetSkip()).size(), 1u);
    EXPECT_GT(FramesTo(scene, SceneStoryIntermission::kRoll, 40), 0);
    EXPECT_EQ(SoundCount(9), cancels) << "no cancel before the roll";
    Frame(kEx);
    EXPECT_EQ(scene->GetSubState(), 0u);
    EXPECT_EQ(SoundCount(9), cancels + 1);
    ASSERT_NE(scene->GetMusicSlot(), -1);
    while (scene->GetState() == kShown)
        Frame();
    EXPECT_EQ(scene->GetMusicSlot(), -1) << "the music goes when the fade starts";
    EXPECT_EQ(work->stage, 5u);
    auto* story = RunUntilActive<SceneStory>(40);
    ASSERT_NE(story, nullptr);
    EXPECT_EQ(work->stage, 6u) << "one stage on";
    EXPECT_NE(Active<SceneGame>(), nullptr);
    EXPECT_EQ(Active<SceneStoryIntermission>(), nullptr);
}

// The intermission waits for the stage's clear jingle frame by frame while
// it plays (the stage ends in the frame it asks for the intermission: the
// jingle is no longer its to release); a jingle that could not be read it
// does not wait for.
TEST_F(StoryScenes, TheIntermissionWaitsOnlyForAJingleThatCanPlay) {
    work->stage = 2;
    sound->OpenStream(&StageMusicSlots::clearJingle, "sound/bgm", "stage_clear.ogg");
    sound->WaitStream(StageMusicSlots::clearJingle);
    ASSERT_TRUE(Failed(StageMusicSlots::clearJingle));
    const int32_t failed = StageMusicSlots::clearJingle;
    auto* intermission = Push<SceneStoryIntermission>();
    ASSERT_NE(intermission, nullptr);
    EXPECT_EQ(intermission->GetJingleSlot(), -1);
    EXPECT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateFadeIn, 2), intermission);
    EXPECT_EQ(sound->GetSlotFlags(failed), 0u) << "the failed slot is given back";
    ASSERT_TRUE(RunUntil([this] { return !driver->IsFading(); }, 70));
    driver->ClearAll();

    Write("sound/bgm/stage_clear.ogg", Ogg(0.4f, 520.0f));
    Write("sound/bgm/vam_023.ogg", Ogg(2.0f, 330.0f));
    auto stage = std::make_unique<StageMusic>();
    stage->PlayJingle();
    const int32_t jingle = StageMusicSlots::clearJingle;
    ASSERT_TRUE(Playing(jingle));
    driver->CreateScene<SceneStoryIntermission>();
    stage.reset();
    ASSERT_TRUE(Playing(jingle)) << "the jingle outlives the stage";
    int waited = 0;
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
    EXPECT_TRUE(waited >= 23 && waited <= 30) << waited;
    ASSERT_EQ(RunUntilState<SceneStoryIntermission>(FlowScene::kStateFadeIn, 3), intermission);
    EXPECT_TRUE(Playing(intermission->GetMusicSlot())) << "its own music after the jingle";
    EXPECT_EQ(intermission->GetJingleSlot(), -1);
    EXPECT_EQ(sound->GetStream(jingle), nullptr) << "the jingle's slot is given back";
    EXPECT_NE(g_currentMusicSlot, jingle);
}

} // namespace
