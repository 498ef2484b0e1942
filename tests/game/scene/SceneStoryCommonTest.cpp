#include "game/scene/SceneStoryCommon.h"
#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"
#include "engine/sound/StreamSound.h"
#include "game/core/ConfigBlock.h"
#include "game/scene/StoryScriptDriver.h"
#include "support/StoryRig.h"
#include "tools/sampledata/StoryScriptText.h"
#include "tools/soundgen/SoundSynth.h"

#include <cstdio>

namespace {

using sampledata::MakeScriptLine;
using sampledata::ScriptLine;
using story_test::Dds;
using story_test::Sprite;

constexpr const char* kJap = "script/texture/pcs_jap/";
constexpr const char* kEng = "script/texture/pcs_eng/";

std::vector<uint8_t> Voice(float seconds) {
    return soundgen::EncodeOggVorbis(soundgen::Tone(440.0f, seconds, 22050), 1, 22050);
}

class SceneStoryCommonTest : public story_test::StoryRig {
protected:
    void SetUp() override {
        StoryRig::SetUp();
        Write("script/texture/ev_skip.dds", Dds(128, 32));
        Write("script/texture/ev_window_eng.dds", Dds(720, 144));
        Write("script/texture/ev_stage_telop.dds", Dds(16, 16));
        const char* plates[] = {"ev_pc01name", "ev_pc02name", "ev_pc03name", "ev_pc04name",
                                "ev_pc05name", "ev_pc06name", "ev_sp01name", "ev_sp02name",
                                "ev_sp03name", "ev_sp04name", "ev_sp05name", "ev_sp06name",
                                "ev_sp07name"};
        for (const char* plate : plates) {
            Write(std::string(kJap) + plate + ".dds", Dds(256, 32));
            Write(std::string(kEng) + plate + ".dds", Dds(200, 32));
        }
        work->player.ship = 0;
    }
    void TearDown() override {
        common.reset();
        StoryScriptDriver::Instance().ClearRecords();
        StoryRig::TearDown();
    }
    void Text(const std::string& name, uint32_t width, uint32_t height = 40) {
        Write(kJap + name + ".dds", Dds(width, height));
        Write(kEng + name + ".dds", Dds(width, height));
    }
    // The script, its first command taken, and the common part loaded.
    void Load(const std::vector<ScriptLine>& lines,
              uint32_t kind = StoryScriptDriver::kStageScene) {
        const std::string text = sampledata::FormatScript(lines);
        script.SetScript(kind);
        script.LoadText(reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()), "test.txt");
        common = std::make_unique<SceneStoryCommon>();
        Mireku::Resource::ChildResourceLoader child;
        common->LoadResources(child);
    }
    void Next() {
        input->SetTriggered(InputManager::kShot);
        script.Step(0);
        input->SetTriggered(0);
    }
    void Window(bool show = true, bool closing = false, uint32_t mode = 1) {
        BeginFrame();
        common->DrawWindow(mode, show, closing);
        EndFrame();
    }
    void OpenWindow() {
        for (int i = 0; i < 8; ++i)
            Window();
        ASSERT_TRUE(common->IsWindowOpen());
    }
    std::vector<Sprite> Of(const Mireku::Graphics::Texture* t) const { return With(hud, t); }

    StoryScriptDriver& script = StoryScriptDriver::Instance();
    std::unique_ptr<SceneStoryCommon> common;
};

TEST_F(SceneStoryCommonTest, LoadsPartsPlatesAndOneImagePerLineUpToTheEndMark) {
    Text("one", 600);
    Text("three", 500);
    Text("four", 400);
    ScriptLine end = MakeScriptLine(-1, 0, 0, "");
    Load({MakeScriptLine(1, 1, 2, "one"), MakeScriptLine(2, 7, 2, "two"), // no image: no entry
          MakeScriptLine(3, 1, 2, ""), MakeScriptLine(3, 1, 2, "three"), end,
          MakeScriptLine(4, 1, 2, "four")});
    ASSERT_NE(common->GetSkip(), nullptr);
    ASSERT_NE(common->GetWindow(), nullptr);
    ASSERT_NE(common->GetCaption(), nullptr);
    for (int32_t s = 1; s <= 14; ++s) {
        ASSERT_NE(common->GetPlate(s), nullptr) << s;
        EXPECT_EQ(common->GetPlate(s)->GetWidth(), 256) << "Japanese plates by default";
    }
    EXPECT_EQ(common->GetPlate(0), nullptr);
    EXPECT_EQ(common->GetPlate(15), nullptr);
    const auto& lines = common->GetLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].line, 1);
    EXPECT_EQ(lines[0].texture->GetWidth(), 600);
    EXPECT_STREQ(lines[0].voice, "one.ogg");
    EXPECT_EQ(lines[1].line, 3);
    EXPECT_STREQ(lines[1].voice, "three.ogg");
    common->ReleaseResources();
    EXPECT_TRUE(common->GetLines().empty());
    EXPECT_EQ(common->GetWindow(), nullptr);
    EXPECT_EQ(common->GetPlate(3), nullptr);
}

TEST_F(SceneStoryCommonTest, VoiceNameHoldsTheLongestText) {
    const std::string longest(31, 'v');
    Text(longest, 100);
    Load({MakeScriptLine(1, 1, 2, longest)});
    ASSERT_EQ(common->GetLines().size(), 1u);
    EXPECT_EQ(std::string(common->GetLines()[0].voice), longest + ".ogg");
}

TEST_F(SceneStoryCommonTest, EnglishPlatesAndTextBySetting) {
    work->config[ConfigBlock::kOffsetStoryLanguage] = 1;
    Write(std::string(kEng) + "only.dds", Dds(300, 40));
    Load({MakeScriptLine(1, 1, 2, "only")});
    EXPECT_EQ(common->GetPlate(1)->GetWidth(), 200);
    ASSERT_EQ(common->GetLines().size(), 1u);
    EXPECT_EQ(common->GetLines()[0].texture->GetWidth(), 300);
}

TEST_F(SceneStoryCommonTest, NoneKindLoadsNoLines) {
    Text("one", 600);
    Load({MakeScriptLine(1, 1, 2, "one")}, StoryScriptDriver::kNone);
    EXPECT_TRUE(common->GetLines().empty());
    EXPECT_NE(common->GetWindow(), nullptr);
}

TEST_F(SceneStoryCommonTest, WindowOpensAndClosesFromItsMiddleInEightFrames) {
    Load({});
    for (int f = 1; f <= 8; ++f) {
        Window();
        const float h = 18.0f * static_cast<float>(f);
        EXPECT_FLOAT_EQ(common->GetWindowHeight(), h);
        EXPECT_EQ(common->IsWindowOpen(), f == 8) << f;
        const auto w = Of(common->GetWindow());
        ASSERT_EQ(w.size(), 1u);
        EXPECT_FLOAT_EQ(w[0].x0, 280.0f);
        EXPECT_FLOAT_EQ(w[0].x1, 1000.0f);
        EXPECT_FLOAT_EQ(w[0].y0, 528.0f + (144.0f - h) / 2.0f);
        EXPECT_FLOAT_EQ(w[0].Height(), h);
        EXPECT_FLOAT_EQ(w[0].v1, 144.0f) << "the whole picture, squeezed";
    }
    Window();
    EXPECT_FLOAT_EQ(common->GetWindowHeight(), 144.0f);
    for (int f = 1; f <= 8; ++f) {
        Window(true, true);
        EXPECT_FLOAT_EQ(common->GetWindowHeight(), 144.0f - 18.0f * static_cast<float>(f));
        EXPECT_EQ(common->IsWindowOpen(), f < 8) << f;
    }
    EXPECT_TRUE(Of(common->GetWindow()).empty()) << "closed: nothing drawn";
}

TEST_F(SceneStoryCommonTest, WindowStaysWhileNotShown) {
    Load({});
    Window(false);
    EXPECT_FLOAT_EQ(common->GetWindowHeight(), 0.0f);
    EXPECT_TRUE(Of(common->GetWindow()).empty());
}

TEST_F(SceneStoryCommonTest, ShowsEntryLineMinusOneWithThePlateAbove) {
    Text("first", 600);
    Text("second", 500);
    Load({MakeScriptLine(1, 1, 2, "first"), MakeScriptLine(2, 7, 2, "second")});
    for (int f = 0; f < 7; ++f) {
        Window();
        EXPECT_TRUE(Of(common->GetLines()[0].texture).empty()) << "no line while opening";
    }
    Window();
    auto text = Of(common->GetLines()[0].texture);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_FLOAT_EQ(text[0].x0, 340.0f);
    EXPECT_FLOAT_EQ(text[0].y0, 580.0f);
    EXPECT_FLOAT_EQ(text[0].Width(), 600.0f);
    auto plate = Of(common->GetPlate(1));
    ASSERT_EQ(plate.size(), 1u);
    EXPECT_FLOAT_EQ(plate[0].x0, 340.0f);
    EXPECT_FLOAT_EQ(plate[0].y0, 552.0f);
    EXPECT_FLOAT_EQ(plate[0].Width(), 256.0f);

    Next();
    Window();
    text = Of(common->GetLines()[1].texture);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_FLOAT_EQ(text[0].x0, 390.0f);
    EXPECT_TRUE(Of(common->GetLines()[0].texture).empty());
    // Speakers 7 and 9 share "ev_sp02name.dds".
    plate = Of(common->GetPlate(7));
    ASSERT_EQ(plate.size(), 1u);
    EXPECT_FLOAT_EQ(plate[0].x0, 390.0f);
    EXPECT_EQ(common->GetPlate(7)->GetWidth(), common->GetPlate(9)->GetWidth());

    Window(true, true);
    EXPECT_TRUE(Of(common->GetLines()[1].texture).empty()) << "no line while closing";
}

TEST_F(SceneStoryCommonTest, CommandsWithoutAnEntryShowNoTextAndStartNoVoice) {
    Text("only", 600);
    // Line 0: an all-hidden script leaves the cleared command in place.
    ScriptLine hidden = MakeScriptLine(1, 1, 2, "only");
    hidden.hidden = 1;
    Load({hidden});
    ASSERT_EQ(common->GetLines().size(), 1u) << "hidden lines are preloaded too";
    OpenWindow();
    Window();
    EXPECT_TRUE(Of(common->GetLines()[0].texture).empty());
    EXPECT_TRUE(Of(common->GetPlate(1)).empty());
    EXPECT_EQ(common->GetVoiceEntry(), -1);

    // A line past the entries, and -1.
    Load({MakeScriptLine(1, 1, 2, "only"), MakeScriptLine(9, 1, 2, ""),
          MakeScriptLine(-1, 1, 2, "")});
    OpenWindow();
    EXPECT_EQ(Of(common->GetLines()[0].texture).size(), 1u);
    EXPECT_EQ(common->GetVoiceEntry(), 0);
    for (int i = 0; i < 2; ++i) {
        Next();
        Window();
        EXPECT_TRUE(Of(common->GetLines()[0].texture).empty()) << i;
        EXPECT_TRUE(Of(common->GetPlate(1)).empty()) << i;
        EXPECT_EQ(common->GetVoiceEntry(), 0) << "no other voice started";
        EXPECT_EQ(common->GetVoiceHold(), 60u - 0u) << "nor its hold restarted";
    }
}

TEST_F(SceneStoryCommonTest, StageCaptionByStage) {
    Load({});
    const uint32_t rows[][2] = {{0, 1},  {2, 3},   {3, 5},  {5, 7},  {6, 9},
                                {9, 13}, {11, 15}, {12, 1}, {23, 15}};
    for (const auto& r : rows) {
        work->stage = r[0];
        Window(false);
        const auto caption = Of(common->GetCaption());
        ASSERT_EQ(caption.size(), 1u);
        EXPECT_FLOAT_EQ(caption[0].u0, 568.0f);
        EXPECT_FLOAT_EQ(caption[0].u1, 1024.0f);
        EXPECT_FLOAT_EQ(caption[0].v0, 56.0f * static_cast<float>(r[1])) << "stage " << r[0];
        EXPECT_FLOAT_EQ(caption[0].v1, 56.0f * static_cast<float>(r[1] + 1));
        EXPECT_FLOAT_EQ(caption[0].x0, 568.0f);
        EXPECT_FLOAT_EQ(caption[0].y0, 60.0f);
        EXPECT_FLOAT_EQ(caption[0].x1, 1024.0f);
        EXPECT_FLOAT_EQ(caption[0].y1, 116.0f);
    }
}

TEST_F(SceneStoryCommonTest, OtherModesShowOnlyTheBlinkingSkipHint) {
    Load({});
    for (uint32_t mode : {0u, 2u}) {
        common->SetFrameCounter(60);
        Window(true, false, mode);
        EXPECT_TRUE(Of(common->GetCaption()).empty());
        EXPECT_TRUE(Of(common->GetWindow()).empty());
        const auto skip = Of(common->GetSkip());
        ASSERT_EQ(skip.size(), 1u);
        EXPECT_FLOAT_EQ(skip[0].x0, 1152.0f);
        EXPECT_FLOAT_EQ(skip[0].y0, 0.0f);
        EXPECT_FLOAT_EQ(skip[0].Width(), 128.0f);
    }
    for (uint32_t frames : {0u, 59u, 120u, 179u}) {
        common->SetFrameCounter(frames);
        Window(false);
        EXPECT_TRUE(Of(common->GetSkip()).empty()) << frames;
    }
    for (uint32_t frames : {60u, 119u, 180u}) {
        common->SetFrameCounter(frames);
        Window(false);
        EXPECT_EQ(Of(common->GetSkip()).size(), 1u) << frames;
    }
    const uint32_t before = common->GetFrameCounter();
    common->UpdateVoice();
    EXPECT_EQ(common->GetFrameCounter(), before + 1);
}

TEST_F(SceneStoryCommonTest, MissingVoiceCountsAsBusyForItsHoldThenEnds) {
    Text("mute", 600);
    Load({MakeScriptLine(1, 1, 2, "mute")});
    EXPECT_TRUE(common->IsVoiceBusy()) << "busy from the start";
    OpenWindow();
    EXPECT_EQ(common->GetVoiceEntry(), 0);
    EXPECT_EQ(common->GetVoiceHold(), 60u);
    for (int f = 1; f <= 60; ++f) {
        common->UpdateVoice();
        ASSERT_TRUE(common->IsVoiceBusy()) << f;
    }
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());
}

class SceneStoryCommonVoice : public SceneStoryCommonTest {
protected:
    void SetUp() override {
        withSound = true;
        SceneStoryCommonTest::SetUp();
    }
    Mireku::Sound::StreamSound* Stream() const { return sound->GetStream(common->GetVoiceSlot()); }
    // The stream's thread has taken the play (or stop) it was handed.
    void Settle() {
        if (Mireku::Sound::StreamSound* s = Stream()) {
            ASSERT_TRUE(soundtest::WaitIdle(s));
        }
    }
    // Plays the mix until the voice has ended.
    void PlayOut() {
        if (Mireku::Sound::StreamSound* s = Stream())
            null->PullStream(s, 48000 * 2);
    }
};

TEST_F(SceneStoryCommonVoice, OneVoicePerLineBusyAtLeastItsHold) {
    Text("a", 600);
    Text("b", 600);
    Write("script/sound/ogg/a.ogg", Voice(0.2f));
    Write("script/sound/ogg/b.ogg", Voice(0.2f));
    Load({MakeScriptLine(1, 1, 2, "a"), MakeScriptLine(2, 1, 2, "b")});
    OpenWindow();
    Mireku::Sound::StreamSound* first = Stream();
    ASSERT_NE(first, nullptr);
    Settle();
    EXPECT_TRUE(first->IsPlaying());
    EXPECT_EQ(common->GetVoiceEntry(), 0);
    for (int f = 0; f < 5; ++f) {
        Window();
        EXPECT_EQ(Stream(), first) << "started once per line";
    }
    PlayOut();
    EXPECT_FALSE(first->IsPlaying());
    for (int f = 1; f <= 60; ++f) {
        common->UpdateVoice();
        ASSERT_TRUE(common->IsVoiceBusy()) << "the hold of 60 frames: " << f;
    }
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());

    Next();
    Window();
    Mireku::Sound::StreamSound* second = Stream();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(common->GetVoiceEntry(), 1);
    EXPECT_TRUE(common->IsVoiceBusy());
    Settle();
    for (int f = 0; f < 61; ++f)
        common->UpdateVoice();
    EXPECT_TRUE(common->IsVoiceBusy()) << "still playing after its hold";
    common->StopVoice();
    Settle();
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());
}

TEST_F(SceneStoryCommonVoice, RollMovesEveryLineAndVoicesThemInTurn) {
    Text("r1", 600, 40);
    Text("r2", 400, 60);
    Text("r3", 720, 20);
    for (const char* n : {"r1", "r2", "r3"})
        Write(std::string("script/sound/ogg/") + n + ".ogg", Voice(0.1f));
    Load({MakeScriptLine(1, 0, 0, "r1"), MakeScriptLine(2, 0, 0, "r2"),
          MakeScriptLine(3, 0, 0, "r3")},
         StoryScriptDriver::kOpening);
    const uint32_t length = SceneStoryCommon::RollLength(1, 0);
    ASSERT_EQ(length, 14160u);
    const float step = (40.0f + 60.0f + 20.0f + 240.0f) / 14160.0f;
    float offset = 0.0f;
    for (int f = 0; f < 3; ++f) {
        BeginFrame();
        common->DrawRoll(length);
        common->DrawWindow(0, false, false); // after the roll: no clip
        EndFrame();
        const auto& lines = common->GetLines();
        const float tops[] = {600.0f - offset, 640.0f - offset, 700.0f - offset};
        const float lefts[] = {340.0f, 440.0f, 280.0f};
        for (int i = 0; i < 3; ++i) {
            const auto s = Of(lines[static_cast<size_t>(i)].texture);
            ASSERT_EQ(s.size(), 1u);
            EXPECT_NEAR(s[0].y0, tops[i], 1e-3) << "frame " << f << " line " << i;
            EXPECT_FLOAT_EQ(s[0].x0, lefts[i]);
            EXPECT_EQ(s[0].clip[0], 0);
            EXPECT_EQ(s[0].clip[1], 120);
            EXPECT_EQ(s[0].clip[2], 1280);
            EXPECT_EQ(s[0].clip[3], 480);
        }
        offset += step;
        EXPECT_NEAR(common->GetRollOffset(), offset, 1e-4);
    }
    const auto window = Of(common->GetWindow());
    EXPECT_TRUE(window.empty());
    // The first voice started in the first frame, the others wait their turn.
    EXPECT_EQ(common->GetVoiceEntry(), 1);
    Mireku::Sound::StreamSound* first = Stream();
    ASSERT_NE(first, nullptr);
    Settle();
    for (int f = 0; f < 70; ++f) {
        common->UpdateVoice();
        common->DrawRoll(length);
    }
    EXPECT_EQ(common->GetVoiceEntry(), 1) << "the first voice still plays";
    PlayOut();
    common->UpdateVoice();
    common->DrawRoll(length);
    EXPECT_EQ(common->GetVoiceEntry(), 2);
    EXPECT_NE(Stream(), first);
    for (int v = 0; v < 2; ++v) {
        Settle();
        PlayOut();
        for (int f = 0; f < 62; ++f) {
            common->UpdateVoice();
            common->DrawRoll(length);
        }
    }
    EXPECT_EQ(common->GetVoiceEntry(), 3) << "after the last line nothing more";
}

TEST_F(SceneStoryCommonVoice, EndingLineByIdAtY560) {
    Text("e1", 500);
    Text("e3", 700);
    Write("script/sound/ogg/e3.ogg", Voice(0.1f));
    Load({MakeScriptLine(1, 1, 2, "e1"), MakeScriptLine(3, 1, 2, "e3")},
         StoryScriptDriver::kTrueEnding);
    Next();
    ASSERT_EQ(script.GetCurrent().line, 3);
    BeginFrame();
    common->DrawLineById();
    EndFrame();
    const auto s = Of(common->GetLines()[1].texture);
    ASSERT_EQ(s.size(), 1u) << "found by its line, not by position";
    EXPECT_FLOAT_EQ(s[0].x0, 290.0f);
    EXPECT_FLOAT_EQ(s[0].y0, 560.0f);
    EXPECT_EQ(common->GetVoiceEntry(), 2) << "line - 1";
    Mireku::Sound::StreamSound* voice = Stream();
    ASSERT_NE(voice, nullptr);
    common->DrawLineById();
    EXPECT_EQ(Stream(), voice) << "voiced once";
}

TEST(SceneStoryCommonTables, RollLengthsAndOccasions) {
    EXPECT_EQ(SceneStoryCommon::RollLength(1, 0), 14160u);
    EXPECT_EQ(SceneStoryCommon::RollLength(2, 0), 18180u);
    EXPECT_EQ(SceneStoryCommon::RollLength(3, 3), 9900u);
    EXPECT_EQ(SceneStoryCommon::RollLength(4, 2), 12420u);
    EXPECT_EQ(SceneStoryCommon::RollLength(5, 1), 15960u);
    EXPECT_EQ(SceneStoryCommon::RollLength(6, 0), 8640u);
    EXPECT_EQ(SceneStoryCommon::RollLength(6, 3), 12660u);
    EXPECT_EQ(SceneStoryCommon::IntermissionOccasion(2), 1u);
    EXPECT_EQ(SceneStoryCommon::IntermissionOccasion(5), 2u);
    EXPECT_EQ(SceneStoryCommon::IntermissionOccasion(8), 3u);
    EXPECT_EQ(SceneStoryCommon::IntermissionOccasion(20), 3u);
}

} // namespace
