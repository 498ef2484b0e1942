// The way into the game: the logos and their effects, the title with its
// intro, version text, demo and the last pilot's call, the flow from the
// logo to the first stage, the free-play end, and each screen's music.
#include "effects/Core/Engine/Engine.h"
#include "engine/sound/StaticSound.h"
#include "game/core/GameState.h"
#include "game/core/ProgressBlock.h"
#include "game/scene/SceneEnding.h"
#include "game/scene/SceneFreePlayEnd.h"
#include "game/scene/SceneGotoNextLoop.h"
#include "game/scene/SceneLogo.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/SceneSelectGameMenu.h"
#include "game/scene/SceneSelectPilot.h"
#include "game/scene/SceneSetup.h"
#include "game/scene/SceneStory.h"
#include "game/scene/SceneStoryIntermission.h"
#include "game/scene/SceneStoryOpening.h"
#include "support/SceneRig.h"
#include "support/vfx/VfxControllerRig.h"

#include <functional>

namespace {

using namespace scene_test;

using Call = RecordingVfxInstance::Call;
using K = RecordingVfxInstance::Kind;

constexpr const char* kTitleEffect = "title/title_main.vfxb";
constexpr const char* kLogos[] = {"vfx/logo_ovk.vfxb", "vfx/logo_brondel_velmora.vfxb",
                                  "vfx/logo_fulgor.vfxb"};

using SceneFlowTest = SceneRig;

TEST_F(SceneFlowTest, LogosWhoseEffectsEndPassOneAfterAnotherIntoTheTitle) {
    SceneLogo* logo = Push<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(driver->GetFadeLevel(), 0) << "a one-frame fade clears the screen at once";
    RecordingVfxInstance* background = RecordingVfxInstance::Find("vfx/logo_bg.vfxb");
    ASSERT_NE(background, nullptr) << "the effect files come from the generated data";
    EXPECT_EQ(background->calls, (std::vector<Call>{{K::kPlay, 0}}));
    std::vector<RecordingVfxInstance*> logos;
    for (const char* name : kLogos) {
        logos.push_back(RecordingVfxInstance::Find(name));
        ASSERT_NE(logos.back(), nullptr) << name;
    }
    // Each logo plays on effect layer 1 for as long as its effect runs (here
    // one frame), is stopped, and the next one starts the frame after; the
    // last plays on under the 60-frame fade to black, then the title.
    const uint32_t decided = SoundCount(4);
    EXPECT_EQ(1 + FramesUntil([&] { return driver->IsFading(); }, 20), 7);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(logos[i]->calls, (std::vector<Call>{{K::kPlay, 1}, {K::kStop, 0}})) << i;
    EXPECT_EQ(logos[2]->calls, (std::vector<Call>{{K::kPlay, 1}}));
    EXPECT_EQ(SoundCount(4), decided + 1);
    Frames(59);
    EXPECT_EQ(driver->GetFadeLevel(), 255);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frame();
    EXPECT_NE(Active<SceneTitle>(), nullptr);
    EXPECT_EQ(Active<SceneLogo>(), nullptr) << "ended and deleted";
    EXPECT_EQ(RecordingVfxInstance::Find("vfx/logo_bg.vfxb"), nullptr) << "its effects released";
}

TEST_F(SceneFlowTest, ShotSkipsEachPlayingLogoAndTheLastStartsTheFade) {
    RecordingVfxInstance::Held() = true;
    SceneLogo* logo = Push<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    for (int i = 0; i < 3; ++i) {
        RecordingVfxInstance* current = RecordingVfxInstance::Find(kLogos[i]);
        Frames(11); // the logo starts, and plays
        EXPECT_EQ(current->GetState(), VfxInstance::kPlaying) << i;
        EXPECT_EQ(logo->GetLogoIndex(), i + 1) << "held: it does not pass by itself";
        EXPECT_FALSE(driver->IsFading());
        Frame(kShot);
        if (i < 2) {
            EXPECT_EQ(current->calls.back().kind, K::kStop) << i;
            EXPECT_EQ(logo->GetLogoIndex(), i + 2);
            Frame();
            EXPECT_EQ(RecordingVfxInstance::Find(kLogos[i + 1])->calls.back().kind, K::kPlay)
                << "the next logo starts in the next frame";
        } else {
            EXPECT_TRUE(driver->IsFading()) << "the fade starts in the frame of the shot";
            EXPECT_EQ(current->Count(K::kStop), 0u);
            EXPECT_EQ(current->GetState(), VfxInstance::kPlaying);
        }
    }
    Frames(58);
    EXPECT_EQ(Active<SceneTitle>(), nullptr);
    Frames(2);
    EXPECT_NE(Active<SceneTitle>(), nullptr);
}

// The game's own effect instances: with the runtime on the recording
// device each logo passes when its effect's life of 240 frames is over (the
// last one once the backgrounds it plays again are over too, the one its
// particle plays a few frames behind its start); a
// missing logo file is a null instance and effects off (the runtime refused
// to start) an instance that never plays: both count as not playing, so the
// logos pass by themselves instead of stalling or crashing.
struct LogoCase {
    const char* name;
    bool loose; // no files
    VfxDeviceMaker::Maker maker;
    int least, most; // frames each logo plays
};

class LogoEffects : public SceneRig, public testing::WithParamInterface<LogoCase> {
protected:
    LogoEffects() {
        loose = GetParam().loose;
        realEffects = true;
        deviceMaker = GetParam().maker;
    }
};

TEST_P(LogoEffects, EachLogoPassesWhenItsEffectIsNotPlaying) {
    const LogoCase& c = GetParam();
    SceneLogo* logo = Push<SceneLogo>();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(FulgorCore::Engine::IsStarted(), c.maker == testsupport::NewRecordingDevice);
    if (VfxInstance* background = logo->GetInstance(SceneLogo::kBackground)) {
        EXPECT_EQ(background->GetLayer(), VfxInstance::kLayerUnder);
    }
    for (int32_t index = 1; index <= 3; ++index) {
        ASSERT_TRUE(RunUntil([&] { return logo->GetLogoIndex() == index; }, 10)) << index;
        VfxInstance* current = logo->GetInstance(static_cast<uint32_t>(index));
        EXPECT_EQ(current == nullptr, c.loose);
        int frames = 0;
        while (logo->GetLogoIndex() == index && !driver->IsFading() && frames < 400) {
            Frame();
            if (++frames == 10 && current) {
                EXPECT_EQ(current->GetState() == VfxInstance::kPlaying, c.least > 10) << index;
                EXPECT_EQ(current->GetLayer(), VfxInstance::kLayerOver) << index;
                EXPECT_EQ(current->GetHandle().serial != 0, c.least > 10) << index;
            }
        }
        EXPECT_TRUE(frames >= c.least && frames <= c.most) << "logo " << index << ": " << frames;
    }
    EXPECT_TRUE(driver->IsFading()) << "the last logo starts the fade";
    EXPECT_TRUE(RunUntil([this] { return Active<SceneTitle>() != nullptr; }, 70));
}

INSTANTIATE_TEST_SUITE_P(
    Runtimes, LogoEffects,
    testing::Values(LogoCase{"ThatPlayTheirLife", false, testsupport::NewRecordingDevice, 240, 246},
                    LogoCase{"MissingFiles", true, testsupport::NewRecordingDevice, 0, 3},
                    LogoCase{"EffectsOff", false, testsupport::NoDevice, 0, 3}),
    [](const testing::TestParamInfo<LogoCase>& i) { return std::string(i.param.name); });

class TitleTest : public SceneRig {
protected:
    // The title from its push to its waiting state.
    SceneTitle* ToWaiting() {
        return Push<SceneTitle>() ? RunUntilState<SceneTitle>(4, 400) : nullptr;
    }
    // Waiting frames until the title leaves for a demo; -1 when it does not
    // within `most`.
    int WaitForDemo(int most) {
        return FramesUntil([this] { return Active<SceneTitle>()->GetState() == 5; }, most);
    }
    bool CallStarted(int32_t pilot) const {
        const auto* call = sound->GetPilotVoice(static_cast<uint32_t>(pilot), 31);
        return call && call->GetVoice()->IsStarted();
    }
};

TEST_F(TitleTest, ShotInTheIntroSkipsToTheIdlePartAndLeavingWaitsAFrame) {
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    RecordingVfxInstance* effect = RecordingVfxInstance::Find(kTitleEffect);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->calls.front(), (Call{K::kPlay, 0}));
    Frames(20);
    EXPECT_EQ(title->GetCounter(), 20);
    Frame(kShot);
    EXPECT_EQ(title->GetCounter(), 150);
    EXPECT_EQ(effect->Parameters(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(title->GetState(), 3) << "still the intro in the frame of the shot";
    Frame(kShot);
    EXPECT_EQ(title->GetState(), 3) << "a second shot right after only skips again";
    Frame();
    EXPECT_EQ(title->GetState(), 4);
    Frame();
    ASSERT_FALSE(hud.empty());
    // The version text: five 32 x 32 glyph cells at y 392 over an opaque
    // black backdrop under everything.
    const Sprite backdrop = hud.front();
    EXPECT_EQ(backdrop.texture, DefaultTexture());
    EXPECT_EQ((std::vector<uint32_t>{backdrop.priority, backdrop.blend, backdrop.colour}),
              (std::vector<uint32_t>{1, 0, 0xFF000000u}));
    EXPECT_EQ(backdrop.Rect(), (Box{0, 0, 1280, 720}));
    const std::vector<Sprite> glyphs = SpritesOf(title->GetGlyphTexture());
    ASSERT_EQ(glyphs.size(), 5u);
    const float cells[5][3] = {
        {160, 128, 986}, {96, 0, 1010}, {448, 160, 1030}, {64, 0, 1042}, {0, 0, 1066}};
    for (size_t i = 0; i < 5; ++i) {
        const auto [u, v, x] = cells[i];
        EXPECT_EQ(glyphs[i].Texels(), (Box{u, v, u + 32, v + 32})) << i;
        EXPECT_EQ(glyphs[i].Rect(), (Box{x, 392, x + 32, 424})) << i;
        EXPECT_EQ((std::vector<uint32_t>{glyphs[i].priority, glyphs[i].blend, glyphs[i].colour}),
                  (std::vector<uint32_t>{3, 1, 0xFFFFFFFFu}));
    }

    const uint32_t started = SoundCount(2);
    work->attractDemo = 1;
    SceneTitle::SetDemoReturned(true);
    Frame(kShot);
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

// Any button ends the demo: a 15-frame fade with the input locked, then
// back to a silent title, the next demo 1800 frames after it reached its
// waiting state.
TEST_F(TitleTest, WithoutInputADemoStartsAfter8100WaitingFramesAndAButtonEndsIt) {
    ASSERT_NE(ToWaiting(), nullptr);
    EXPECT_EQ(WaitForDemo(9000), 8100);
    EXPECT_TRUE(SceneTitle::HasDemoReturned());
    EXPECT_EQ(work->attractDemo, 1);
    EXPECT_EQ(work->playing, 1) << "the demo replay plays";
    ASSERT_NE(RunUntilActive<SceneGame>(31), nullptr);
    ASSERT_EQ(stageStarts.size(), 1u);
    EXPECT_EQ(LastStageStart().demo, 1);
    EXPECT_EQ(LastStageStart().stage, work->stage) << "the stage of the replay's header";
    ASSERT_NE(RunUntilState<SceneGame>(SceneGame::kRunning, 5), nullptr);
    Frame(kDown);
    EXPECT_EQ(input->GetLockCount(), 1);
    Frames(5);
    Frame(kShot);
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

class TitleWithoutReplays : public TitleTest {
protected:
    TitleWithoutReplays() { workingFolder = elsewhere.Root(); }
    testsupport::ScratchFolder elsewhere;
};

TEST_F(TitleWithoutReplays, ADemoThatCannotBeReadLeavesTheTitleWaiting) {
    SceneTitle* title = ToWaiting();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(WaitForDemo(8300), -1);
    EXPECT_LT(title->GetDemoCountdown(), 0);
    EXPECT_EQ(work->attractDemo, 0);
    Frame(kShot);
    EXPECT_EQ(title->GetState(), 5) << "shot still leaves";
}

class TitleWithSound : public TitleTest {
protected:
    TitleWithSound() { withSound = true; }
};

// The last chosen pilot calls the title once each time the title's effect
// stops; before any pilot was chosen, nobody calls.
TEST_F(TitleWithSound, TheLastPilotCallsTheTitleOnceEachTimeItsEffectStops) {
    ASSERT_NE(ToWaiting(), nullptr);
    Frames(5);
    ASSERT_TRUE(sound->AreBanksLoaded());
    for (int32_t pilot = 0; pilot < 6; ++pilot)
        EXPECT_FALSE(CallStarted(pilot)) << pilot;
    driver->ClearAll();
    work->lastPilot = 2;
    SceneTitle* title = ToWaiting();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(Playing(title->GetMusicSlot()));
    EXPECT_FALSE(CallStarted(2)) << "not in the intro";
    Frame();
    ASSERT_TRUE(CallStarted(2)) << "the effect has stopped: the pilot calls";
    sound->GetPilotVoice(2, 31)->Stop();
    Frames(5);
    EXPECT_FALSE(CallStarted(2)) << "once, not every frame";
    RecordingVfxInstance::Held() = true;
    RecordingVfxInstance::Find(kTitleEffect)->Play(0);
    Frames(5);
    EXPECT_FALSE(CallStarted(2)) << "silent while the effect plays";
    RecordingVfxInstance::Held() = false;
    Frames(2);
    EXPECT_TRUE(CallStarted(2)) << "and again when it stops";
}

// Loose files without the title's effect: the instance is missing, which
// counts as an effect that does not play.
class TitleWithoutEffect : public TitleWithSound {
protected:
    TitleWithoutEffect() {
        loose = true;
        Write("sound/voice/voice_pc03/pcg03_031.wav",
              soundgen::MakeWav(soundgen::Tone(440.0f, 1.0f, 22050), 1, 22050, 16));
    }
};

TEST_F(TitleWithoutEffect, TheLastPilotCallsOnceAndShotStillSkipsTheIntro) {
    work->lastPilot = 2;
    SceneTitle* title = Push<SceneTitle>();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetEffect(), nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    Frame(kShot);
    ASSERT_NE(RunUntilState<SceneTitle>(4, 5), nullptr) << "shot skips without an effect";
    ASSERT_TRUE(sound->AreBanksLoaded());
    Frame();
    ASSERT_TRUE(CallStarted(2)) << "no effect playing: the pilot calls";
    sound->GetPilotVoice(2, 31)->Stop();
    Frames(30);
    EXPECT_FALSE(CallStarted(2)) << "once: the missing effect never starts again";
    EXPECT_EQ(title->GetState(), 4);
}

using FlowTest = TitleWithSound;

TEST_F(FlowTest, FromTheLogoToTheFirstStage) {
    auto music = [this](const FlowScene* scene) {
        EXPECT_TRUE(Playing(scene->GetMusicSlot()));
        return MusicOf(scene->GetMusicSlot());
    };
    auto openSlots = [this] {
        uint32_t n = 0;
        for (int32_t slot = 0; slot < static_cast<int32_t>(SoundManager::kStreamSlots); ++slot)
            n += (sound->GetSlotFlags(slot) & SoundManager::kStateMask) != SoundManager::kFree;
        return n;
    };
    std::vector<std::string> opened;
    ASSERT_NE(Push<SceneLogo>(), nullptr);
    EXPECT_EQ(openSlots(), 0u) << "the logo is silent";
    SceneTitle* title = RunUntilActive<SceneTitle>(100);
    ASSERT_NE(title, nullptr);
    ASSERT_NE(RunUntilState<SceneTitle>(3, 10), nullptr);
    opened.push_back(music(title));
    Frame(kShot); // past the intro
    Frame();
    ASSERT_EQ(title->GetState(), 4);
    Frame(kShot);

    SceneSelectGameMenu* menu = RunUntilActive<SceneSelectGameMenu>(40);
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(RunUntilState<SceneSelectGameMenu>(3, 5), nullptr);
    opened.push_back(music(menu));
    EXPECT_EQ(openSlots(), 1u) << "the title's music is gone";
    for (int i = 0; i < 59 && menu->GetState() == 3; ++i)
        Frame(i % 2 ? kDown : kShot);
    ASSERT_EQ(menu->GetState(), 3) << "still fading in: the presses were ignored";
    Frame();
    ASSERT_EQ(menu->GetState(), 4);
    EXPECT_EQ(menu->GetCursor(), 0);
    Frame(kShot);

    SceneSelectPilot* select = RunUntilActive<SceneSelectPilot>(70);
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(work->gameType, 3u);
    ASSERT_NE(RunUntilState<SceneSelectPilot>(4, 40), nullptr);
    opened.push_back(music(select));
    EXPECT_EQ(openSlots(), 1u);
    Frame(kRight);
    Frame(kShot);
    ASSERT_NE(RunUntilState<SceneSelectPilot>(7, 40), nullptr);
    Frame(kShot);
    EXPECT_EQ(openSlots(), 0u) << "the select music goes with the choice";
    EXPECT_EQ(opened, (std::vector<std::string>{"title.ogg", "menu.ogg", "select.ogg"}));

    SceneGame* game = RunUntilActive<SceneGame>(70);
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(stageStarts.size(), 1u);
    const StageStart& s = LastStageStart();
    EXPECT_EQ((std::vector<int64_t>{s.ship, s.mode, s.stage, s.gameType, s.subWeapons, s.lastPilot,
                                    s.demo}),
              (std::vector<int64_t>{1, 1, 0, 3, 1, 1, 0}));
    EXPECT_EQ(driver->GetFirstActive(), game) << "the only screen left";
    EXPECT_EQ(game->nextInList, nullptr);
}

// Its picture over the whole screen; the title 930 frames after its
// fade-in, or 30 after decide or cancel.
TEST_F(FlowTest, TheFreePlayEndReturnsToTheTitle) {
    for (uint32_t button : {0u, kShot, kEx}) {
        driver->ClearAll();
        SceneFreePlayEnd* end = Push<SceneFreePlayEnd>();
        ASSERT_NE(RunUntilState<SceneFreePlayEnd>(4, 40), nullptr);
        EXPECT_TRUE(Playing(end->GetMusicSlot()));
        Frame();
        const Sprite picture = One(end->GetPicture());
        EXPECT_EQ(picture.Rect(), (Box{0, 0, 1280, 720}));
        EXPECT_EQ(picture.Texels(), (Box{0, 0, 1280, 720}));
        EXPECT_EQ(picture.colour, 0xFFFFFFFFu);
        if (button) {
            Frames(10);
            Frame(button);
            EXPECT_EQ(end->GetState(), 5);
            Frames(29);
        } else {
            Frames(928);
        }
        EXPECT_EQ(Active<SceneTitle>(), nullptr) << button;
        Frame();
        EXPECT_NE(Active<SceneTitle>(), nullptr) << button;
    }
}

// Each screen's music by name (loose files of 0.2 seconds each), and whether
// it loops: the title, the game over and the ending's credits play theirs
// once, the others loop. The title plays "title2.ogg" and waits 9000 frames
// for its demo only once all six pilots are unlocked.
class MusicTest : public FlowTest {
protected:
    MusicTest() { loose = true; }
};

TEST_F(MusicTest, EachScreensMusicAndWhetherItLoops) {
    for (const char* name :
         {"menu.ogg", "select.ogg", "ranking.ogg", "title.ogg", "title2.ogg", "vam_022.ogg",
          "vam_023.ogg", "vam_035.ogg", "vam_027.ogg", "gameover.ogg"})
        Write(std::string("sound/bgm/") + name, Ogg(0.2f, 330.0f));
    auto pilots = [this](uint8_t fifth, uint8_t sixth) {
        work->progress[ProgressBlock::kOffsetUnlockA] = fifth;
        work->progress[ProgressBlock::kOffsetUnlockB] = sixth;
        return Push<SceneTitle>();
    };
    const struct {
        const char* name;
        std::function<FlowScene*()> push; // or null for a scene of its own
        std::function<int32_t()> slot;
        const char* music; // "" for none
        bool loops;
        int32_t demoWait = 0;
    } rows[] = {
        {"GameMenu", [&] { return Push<SceneSelectGameMenu>(); }, nullptr, "menu.ogg", true},
        {"PilotSelect", [&] { return Push<SceneSelectPilot>(); }, nullptr, "select.ogg", true},
        {"Ranking", [&] { return Push<SceneRanking>(); }, nullptr, "ranking.ogg", true},
        {"Setup", [&] { return Push<SceneSetup>(); }, nullptr, "ranking.ogg", true},
        {"FreePlayEnd", [&] { return Push<SceneFreePlayEnd>(); }, nullptr, "ranking.ogg", true},
        {"TitleOfFourPilots", [&] { return pilots(0, 0); }, nullptr, "title.ogg", false, 8100},
        {"TitleOfFivePilots", [&] { return pilots(1, 0); }, nullptr, "title.ogg", false, 8100},
        {"TitleOfFivePilotsTheSixthUnlocked", [&] { return pilots(0, 1); }, nullptr, "title.ogg",
         false, 8100},
        {"TitleOfSixPilots", [&] { return pilots(1, 1); }, nullptr, "title2.ogg", false, 9000},
        {"NextLoopHasNone", [&] { return Push<SceneGotoNextLoop>(); }, nullptr, "", false},
        {"Opening", nullptr, [&] { return Push<SceneStoryOpening>()->GetMusicSlot(); },
         "vam_022.ogg", true},
        {"Intermission", nullptr,
         [&] {
             work->stage = 2;
             return Push<SceneStoryIntermission>()->GetMusicSlot();
         },
         "vam_023.ogg", true},
        {"StoryOverAStage", nullptr,
         [&] {
             work->stage = 0;
             return Push<SceneStory>(SceneStory::kBetweenStages)->GetMusicSlot();
         },
         "vam_035.ogg", true},
        {"EndingCredits", nullptr, [&] { return Push<SceneEnding>()->GetMusicSlot(); },
         "vam_027.ogg", false},
        {"GameOver", nullptr,
         [&] {
             SceneGame* game = Push<SceneGame>();
             Frames(2);
             work->gameState = GameState::kContinue;
             work->continueCountdown = 1;
             Frames(2);
             return game->GetMusicSlot();
         },
         "gameover.ogg", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        driver->ClearAll();
        work->storyMode = 0;
        int32_t slot = -1;
        if (r.push) {
            FlowScene* scene = r.push();
            ASSERT_NE(scene, nullptr);
            slot = scene->GetMusicSlot();
            if (r.demoWait) {
                EXPECT_EQ(static_cast<SceneTitle*>(scene)->GetDemoCountdown(), r.demoWait);
            }
            Frames(2);
        } else {
            slot = r.slot();
            Frames(2);
        }
        EXPECT_EQ(MusicOf(slot), r.music);
        if (!*r.music) {
            EXPECT_EQ(slot, -1);
            continue;
        }
        ASSERT_TRUE(Playing(slot));
        null->PullStream(sound->GetStream(slot), 24000);
        EXPECT_EQ(Playing(slot), r.loops) << "after twice its length";
    }
}

} // namespace
