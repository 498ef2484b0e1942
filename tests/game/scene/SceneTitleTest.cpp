#include "support/FlowSceneRig.h"

#include "engine/sound/StaticSound.h"
#include "game/core/InputManager.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneGame.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneTitle.h"
#include "sys/audio.h"
#include "tools/soundgen/SoundSynth.h"

namespace {

using flow_test::RecordingVfxInstance;
constexpr const char* kTitleEffect = "title/title_main.vfxb";

class TitleTest : public flow_test::FlowRig {
protected:
    // The title from its push to its waiting state; counts the frames of the
    // intro.
    SceneTitle* ToWaiting() {
        SceneTitle* title = Push<SceneTitle>();
        if (!title)
            return nullptr;
        return RunUntilState<SceneTitle>(4, 400);
    }
    // Waiting frames until the title leaves for a demo; -1 when it does not
    // within `most`.
    int WaitForDemo(int most) {
        for (int n = 1; n <= most; ++n) {
            Frame();
            SceneTitle* title = Active<SceneTitle>();
            if (title && title->GetState() == 5)
                return n;
        }
        return -1;
    }
    void UnlockAllPilots() {
        work->progress[ProgressBlock::kOffsetUnlockA] = 1;
        work->progress[ProgressBlock::kOffsetUnlockB] = 1;
    }
};

TEST_F(TitleTest, ShotInTheIntroSkipsToTheIdlePartAndLeavingWaitsAFrame) {
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    RecordingVfxInstance* effect = RecordingVfxInstance::Find(kTitleEffect);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->calls.front(), (RecordingVfxInstance::Call{RecordingVfxInstance::kPlay, 0}));
    Frames(20);
    EXPECT_EQ(title->GetCounter(), 20);
    Frame(InputManager::kShot);
    EXPECT_EQ(title->GetCounter(), 150);
    EXPECT_EQ(effect->Parameters(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(title->GetState(), 3) << "still the intro in the frame of the shot";
    Frame(InputManager::kShot);
    EXPECT_EQ(title->GetState(), 3) << "a second shot right after only skips again";
    Frame();
    EXPECT_EQ(title->GetState(), 4);

    const uint32_t started = SoundCount(2);
    work->attractDemo = 1;
    SceneTitle::SetDemoReturned(true);
    Frame(InputManager::kShot);
    EXPECT_EQ(title->GetState(), 5);
    EXPECT_EQ(SoundCount(2), started + 1);
    EXPECT_EQ(work->attractDemo, 0) << "the player left the title";
    EXPECT_FALSE(SceneTitle::HasDemoReturned());
    EXPECT_EQ(title->GetMusicSlot(), -1);
    EXPECT_TRUE(driver->IsFading());
    Frames(29);
    EXPECT_EQ(Active<SceneSelectGameMenu>(), nullptr);
    Frame();
    EXPECT_NE(Active<SceneSelectGameMenu>(), nullptr) << "the game menu after the 30-frame fade";
    EXPECT_EQ(stageStarts.size(), 0u);
}

TEST_F(TitleTest, TheVersionTextSitsAtItsCellsOverABlackBackdrop) {
    SceneTitle* title = ToWaiting();
    ASSERT_NE(title, nullptr);
    ASSERT_NE(title->GetGlyphTexture(), nullptr);
    Frame();
    ASSERT_FALSE(hud.empty());
    const flow_test::Sprite& backdrop = hud.front();
    EXPECT_EQ(backdrop.texture, DefaultTexture());
    EXPECT_EQ(backdrop.priority, 1u);
    EXPECT_EQ(backdrop.blend, 0u) << "opaque";
    EXPECT_EQ(backdrop.colour, 0xFF000000u);
    EXPECT_EQ(backdrop.x1, 1280.0f);
    EXPECT_EQ(backdrop.y1, 720.0f);
    const std::vector<flow_test::Sprite> glyphs = SpritesOf(title->GetGlyphTexture());
    ASSERT_EQ(glyphs.size(), 5u);
    const struct {
        float u, v, x;
    } expected[] = {{160, 128, 986}, {96, 0, 1010}, {448, 160, 1030}, {64, 0, 1042}, {0, 0, 1066}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(glyphs[i].u0, expected[i].u) << i;
        EXPECT_EQ(glyphs[i].v0, expected[i].v) << i;
        EXPECT_EQ(glyphs[i].u1, expected[i].u + 32) << i;
        EXPECT_EQ(glyphs[i].x0, expected[i].x) << i;
        EXPECT_EQ(glyphs[i].x1, expected[i].x + 32) << i;
        EXPECT_EQ(glyphs[i].y0, 392.0f);
        EXPECT_EQ(glyphs[i].y1, 424.0f);
        EXPECT_EQ(glyphs[i].priority, 3u);
        EXPECT_EQ(glyphs[i].blend, 1u);
        EXPECT_EQ(glyphs[i].colour, 0xFFFFFFFFu);
    }
}

TEST_F(TitleTest, WithoutInputADemoStartsAfter8100WaitingFrames) {
    ASSERT_NE(ToWaiting(), nullptr);
    EXPECT_EQ(WaitForDemo(9000), 8100);
    EXPECT_TRUE(SceneTitle::HasDemoReturned());
    EXPECT_EQ(work->attractDemo, 1);
    EXPECT_EQ(work->playing, 1) << "the demo replay plays";
    SceneGame* demo = RunUntilActive<SceneGame>(31);
    ASSERT_NE(demo, nullptr);
    ASSERT_EQ(stageStarts.size(), 1u);
    EXPECT_EQ(LastStageStart().demo, 1);
    EXPECT_EQ(LastStageStart().stage, work->stage) << "the stage of the replay's header";

    // Any button ends the demo: a 15-frame fade with the input locked, then
    // back to a silent title, the next demo 1800 frames after it reached its
    // waiting state.
    ASSERT_NE(RunUntilState<SceneGame>(SceneGame::kRunning, 5), nullptr);
    Frame(InputManager::kDown);
    EXPECT_EQ(input->GetLockCount(), 1);
    Frames(5);
    Frame(InputManager::kShot);
    EXPECT_EQ(input->GetLockCount(), 1) << "a second press neither locks again nor restarts";
    Frames(8);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frame();
    EXPECT_EQ(input->GetLockCount(), 0);
    SceneTitle* title = RunUntilActive<SceneTitle>(3);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetMusicSlot(), -1);
    ASSERT_NE(RunUntilState<SceneTitle>(4, 400), nullptr);
    EXPECT_EQ(WaitForDemo(2000), 1800);
}

TEST_F(TitleTest, WithAllSixPilotsTheDemoWaits9000Frames) {
    UnlockAllPilots();
    ASSERT_NE(ToWaiting(), nullptr);
    EXPECT_EQ(WaitForDemo(9100), 9000);
}

class TitleWithoutReplays : public TitleTest {
protected:
    void SetUp() override {
        workingFolder = elsewhere.Root();
        TitleTest::SetUp();
    }
    testsupport::ScratchFolder elsewhere;
};

TEST_F(TitleWithoutReplays, ADemoThatCannotBeReadLeavesTheTitleWaiting) {
    SceneTitle* title = ToWaiting();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(WaitForDemo(8300), -1);
    EXPECT_LT(title->GetDemoCountdown(), 0);
    EXPECT_EQ(work->attractDemo, 0);
    Frame(InputManager::kShot);
    EXPECT_EQ(title->GetState(), 5) << "shot still leaves";
}

class TitleWithSound : public TitleTest {
protected:
    void SetUp() override {
        withSound = true;
        TitleTest::SetUp();
    }
    bool CallStarted(int32_t pilot) const {
        return sound->GetPilotVoice(static_cast<uint32_t>(pilot), 31)->GetVoice()->IsStarted();
    }
    void Silence(int32_t pilot) const {
        sound->GetPilotVoice(static_cast<uint32_t>(pilot), 31)->Stop();
    }
};

TEST_F(TitleWithSound, TheLastPilotCallsTheTitleOnceEachTimeItsEffectStops) {
    work->lastPilot = 2;
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(4, 400), nullptr);
    EXPECT_TRUE(sound->IsStreamReady(title->GetMusicSlot()));
    ASSERT_TRUE(soundtest::WaitIdle(sound->GetStream(title->GetMusicSlot())));
    EXPECT_TRUE(sound->IsStreamPlaying(title->GetMusicSlot()));
    EXPECT_FALSE(CallStarted(2)) << "not in the intro";
    Frame();
    ASSERT_TRUE(CallStarted(2)) << "the effect has stopped: the pilot calls";
    Silence(2);
    Frames(5);
    EXPECT_FALSE(CallStarted(2)) << "once, not every frame";

    RecordingVfxInstance* effect = RecordingVfxInstance::Find(kTitleEffect);
    RecordingVfxInstance::Held() = true;
    effect->Play(0);
    Frames(5);
    EXPECT_FALSE(CallStarted(2)) << "silent while the effect plays";
    RecordingVfxInstance::Held() = false;
    Frames(2);
    EXPECT_TRUE(CallStarted(2)) << "and again when it stops";
}

TEST_F(TitleWithSound, NoPilotChosenYetNoCall) {
    ASSERT_NE(ToWaiting(), nullptr);
    Frame();
    ASSERT_TRUE(sound->AreBanksLoaded());
    Frames(5);
    for (int32_t pilot = 0; pilot < 6; ++pilot)
        EXPECT_FALSE(CallStarted(pilot)) << pilot;
}

// Loose files without the title's effect: the instance is missing, which
// counts as an effect that does not play.
class TitleWithoutEffect : public TitleTest {
protected:
    void SetUp() override {
        looseRoot = files.Root();
        withSound = true;
        files.WriteFile("sound/bgm/title.ogg",
                        soundgen::EncodeOggVorbis(soundgen::Tone(220.0f, 0.2f, 22050), 1, 22050));
        files.WriteFile("sound/voice/voice_pc03/pcg03_031.wav",
                        soundgen::MakeWav(soundgen::Tone(440.0f, 1.0f, 22050), 1, 22050, 16));
        TitleTest::SetUp();
    }
    bool CallStarted() const {
        const auto* call = sound->GetPilotVoice(2, 31);
        return call && call->GetVoice()->IsStarted();
    }
    testsupport::ScratchFolder files;
};

TEST_F(TitleWithoutEffect, TheLastPilotCallsOnceAndShotStillSkipsTheIntro) {
    work->lastPilot = 2;
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetEffect(), nullptr);
    EXPECT_EQ(RecordingVfxInstance::Find(kTitleEffect), nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    Frame(InputManager::kShot);
    ASSERT_NE(RunUntilState<SceneTitle>(4, 5), nullptr) << "shot skips without an effect";
    ASSERT_TRUE(sound->AreBanksLoaded());
    ASSERT_NE(sound->GetPilotVoice(2, 31), nullptr);
    Frame();
    ASSERT_TRUE(CallStarted()) << "no effect playing: the pilot calls";
    sound->GetPilotVoice(2, 31)->Stop();
    Frames(30);
    EXPECT_FALSE(CallStarted()) << "once: the missing effect never starts again";
    EXPECT_EQ(title->GetState(), 4);
}

// The title's music by name, from loose files that hold only one of the two.
class TitleMusic : public TitleTest {
protected:
    void SetUp() override {
        looseRoot = files.Root();
        withSound = true;
        TitleTest::SetUp();
    }
    void Only(const char* name) {
        files.WriteFile(std::string("sound/bgm/") + name,
                        soundgen::EncodeOggVorbis(soundgen::Tone(220.0f, 0.2f, 22050), 1, 22050));
    }
    testsupport::ScratchFolder files;
};

TEST_F(TitleMusic, FourPilotsPlayTitleOgg) {
    Only("title.ogg");
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    sound->WaitStream(title->GetMusicSlot());
    EXPECT_TRUE(sound->IsStreamReady(title->GetMusicSlot()));
}

TEST_F(TitleMusic, SixPilotsPlayTitle2Ogg) {
    Only("title2.ogg");
    UnlockAllPilots();
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    sound->WaitStream(title->GetMusicSlot());
    EXPECT_TRUE(sound->IsStreamReady(title->GetMusicSlot()));
}

// A music file that cannot be read fails its slot; the title goes on.
TEST_F(TitleMusic, MissingMusicDoesNotStallTheTitle) {
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    sound->WaitStream(title->GetMusicSlot());
    EXPECT_EQ(sound->GetSlotFlags(title->GetMusicSlot()) & SoundManager::kStateMask,
              SoundManager::kFailed);
    EXPECT_NE(RunUntilState<SceneTitle>(4, 400), nullptr);
}

} // namespace
