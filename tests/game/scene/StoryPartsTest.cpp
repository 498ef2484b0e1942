// The parts every story scene shares: the two portraits with their faces,
// dimming, shake and cut-in; the window with its line, name plate, caption
// and skip hint; the voices one after another; the rolling lines.
#include "engine/graphics/Texture.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/core/ConfigBlock.h"
#include "game/scene/SceneStoryCommon.h"
#include "support/SceneRig.h"

namespace {

using namespace scene_test;

using Mireku::Renderer::SpriteRenderer;

ScriptLine L(int32_t line, int32_t speaker, int32_t face, const std::string& text = "a") {
    return MakeScriptLine(line, speaker, face, text);
}

class StoryPartsTest : public SceneRig {
protected:
    StoryPartsTest() { loose = true; }
    void SetUp() override {
        SceneRig::SetUp();
        WriteStoryParts();
        work->player.ship = 0; // the own pilot is pilot 1
    }
    void TearDown() override {
        common.reset();
        SceneRig::TearDown();
    }
    // The nine sheets but `missing` and the noise, loaded as a scene does.
    void LoadSheets(int missing = 0) {
        if (missing)
            std::filesystem::remove(
                files.Path(Numbered("script/texture/ev_pc%02dcut.dds", missing)));
        chars.Reset();
        Mireku::Resource::ChildResourceLoader child;
        chars.LoadSheets(child);
    }
    // One frame of the portraits: the command read, both drawn.
    void Draw(bool show = true) {
        BeginFrame();
        chars.TakeCommand();
        chars.Draw(show);
        EndFrame();
    }
    // The script, its first command taken, and the common part loaded.
    void Load(const std::vector<ScriptLine>& lines,
              uint32_t kind = StoryScriptDriver::kStageScene) {
        LoadScript(lines, kind);
        common = std::make_unique<SceneStoryCommon>();
        Mireku::Resource::ChildResourceLoader child;
        common->LoadResources(child);
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
    // Frames of the portraits until the cut-in has ended: how many had it.
    int FramesUntilNoNoise() {
        int frames = 0;
        for (; frames < 40; ++frames) {
            Draw();
            if (noise.empty())
                break;
        }
        return frames;
    }
    std::vector<Sprite> Of(const Mireku::Graphics::Texture* t) const { return With(hud, t); }
    std::vector<Sprite> Line(size_t entry) const { return Of(common->GetLines()[entry].texture); }
    Mireku::Sound::StreamSound* Voice() const { return sound->GetStream(common->GetVoiceSlot()); }
    // The voice's thread has taken what it was handed; then the mix plays
    // it out.
    void PlayOutVoice() {
        if (Mireku::Sound::StreamSound* s = Voice()) {
            ASSERT_TRUE(soundtest::WaitIdle(s));
            null->PullStream(s, 48000 * 2);
        }
    }

    StoryChar& chars = StoryChar::Instance();
    std::unique_ptr<SceneStoryCommon> common;
};

// A portrait part: its texels, where it is drawn, its colour, its sheet.
struct Part {
    Box texels, rect;
    uint32_t colour;
    int32_t sheet;
};
constexpr uint32_t kLit = 0xFFFFFFFFu;
constexpr uint32_t kDim = 0xFF808080u;
// The own pilot's body and its faces (cells of 120 x 160 from (384, 0), five
// a row), the other's body and faces (96 x 128 from (384, 560)).
Part OwnBody(uint32_t c) {
    return {{0, 0, 383, 559}, {0, 96, 384, 656}, c, 1};
}
Part OwnFace(int f, uint32_t c) {
    const float u = 384.0f + 120.0f * float((f - 1) % 5), v = 160.0f * float((f - 1) / 5);
    return {{u, v, u + 119, v + 159}, {105, 156, 225, 316}, c, 1};
}
Part OtherBody(int32_t speaker, uint32_t c) {
    return {{0, 560, 383, 1009}, {368, 144, 752, 592}, c, speaker};
}
Part OtherFace(int32_t speaker, int f, uint32_t c) {
    const float u = 384.0f + 96.0f * float((f - 1) % 5), v = 560.0f + 128.0f * float((f - 1) / 5);
    return {{u, v, u + 95, v + 127}, {572, 192, 668, 320}, c, speaker};
}

TEST_F(StoryPartsTest, PortraitsByScriptLine) {
    LoadSheets();
    const struct {
        const char* name;
        std::vector<ScriptLine> lines;
        int nexts; // commands taken (and drawn) before the checked frame
        std::vector<Part> drawn;
    } rows[] = {
        {"TheOwnPilotLeftLargeLit",
         {L(1, 1, 3), L(2, 7, 12)},
         0,
         {OwnBody(kLit), OwnFace(3, kLit)}},
        {"TheOtherRightSmallTheSilentOneDim",
         {L(1, 1, 3), L(2, 7, 12)},
         1,
         {OwnBody(kDim), OwnFace(3, kDim), OtherBody(7, kLit), OtherFace(7, 12, kLit)}},
        {"FaceFifteenIsTheLastCell",
         {L(1, 1, 15), L(2, 9, 15)},
         1,
         {OwnBody(kDim), OwnFace(15, kDim), OtherBody(9, kLit), OtherFace(9, 15, kLit)}},
        // Face 0: the script never gave this speaker a face; cell (-1 mod 5,
        // -1 / 5) would cut a patch of the body as a face.
        {"AFaceNeverSetDrawsTheBodyAlone",
         {L(1, 1, 0), L(2, 8, 0)},
         1,
         {OwnBody(kDim), OtherBody(8, kLit)}},
        // Face 16 would take a cell of a fourth row the sheet does not have.
        {"AFacePastTheSheetsCellsDrawsNoFace", {L(1, 1, 16)}, 0, {OwnBody(kLit)}},
        // Nobody (0) and speakers with plates only (10-14) take the other
        // side without a portrait.
        {"NobodyHasNoPortrait", {L(1, 0, 2)}, 0, {}},
        {"PlatesOnlyHaveNoPortrait", {L(1, 10, 2), L(2, 14, 2)}, 1, {}},
        {"TheOwnPilotNeverOnTheOtherSide",
         {L(1, 14, 2), L(2, 1, 2)},
         1,
         {OwnBody(kLit), OwnFace(2, kLit)}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        LoadSheets();
        LoadScript(row.lines);
        Draw();
        for (int i = 0; i < row.nexts; ++i) {
            Step(true);
            Draw();
        }
        ASSERT_EQ(portraits.size(), row.drawn.size());
        for (size_t i = 0; i < portraits.size(); ++i) {
            EXPECT_EQ(portraits[i].Texels(), row.drawn[i].texels) << i;
            EXPECT_EQ(portraits[i].Rect(), row.drawn[i].rect) << i;
            EXPECT_EQ(portraits[i].colour, row.drawn[i].colour) << i;
            EXPECT_EQ(portraits[i].blend, SpriteRenderer::kBlendAlpha) << i;
            EXPECT_EQ(portraits[i].texture, chars.GetSheet(row.drawn[i].sheet)) << i;
        }
    }
    LoadScript({L(1, 1, 2)});
    Draw(false);
    EXPECT_TRUE(portraits.empty()) << "nothing when not shown";
    EXPECT_TRUE(chars.IsOwnShown()) << "the command is still taken";
}

TEST_F(StoryPartsTest, CutInRunsThirtyFramesPerChangeOfTheOtherSpeakerAcrossScenes) {
    LoadSheets();
    LoadScript({L(1, 7, 2), L(2, 7, 3), L(3, 8, 2)});
    for (int f = 0; f < 30; ++f) {
        Draw();
        ASSERT_EQ(noise.size(), 1u) << "frame " << f;
        // Counts 30, 28, ... take the right half; 29, 27, ... the left.
        const float u = f % 2 == 0 ? 384.0f : 0.0f;
        EXPECT_EQ(noise[0].Texels(), (Box{u, 560, u + 384, 1008})) << f;
        EXPECT_EQ(noise[0].Rect(), (Box{368, 144, 752, 592}));
        EXPECT_EQ(noise[0].texture, chars.GetNoise());
        EXPECT_EQ(noise[0].blend, SpriteRenderer::kBlendAdd);
    }
    Draw();
    EXPECT_TRUE(noise.empty()) << "30 frames";
    Step(true);
    Draw();
    EXPECT_TRUE(noise.empty()) << "the same speaker again: no cut-in";
    Step(true);
    EXPECT_EQ(FramesUntilNoNoise(), 30) << "a new speaker";

    // The scene ends halfway through a cut-in: the same speaker in the next
    // scene finishes it and starts no new one.
    LoadScript({L(1, 9, 2)});
    for (int f = 0; f < 15; ++f)
        Draw();
    LoadSheets();
    EXPECT_EQ(chars.GetLastOtherSpeaker(), 9);
    EXPECT_FALSE(chars.IsOtherShown());
    LoadScript({L(1, 9, 4)});
    EXPECT_EQ(FramesUntilNoNoise(), 15);

    // A missing sheet: that portrait is skipped, its cut-in still runs.
    LoadSheets(7);
    EXPECT_EQ(chars.GetSheet(7), nullptr);
    EXPECT_NE(chars.GetSheet(8), nullptr);
    LoadScript({L(1, 1, 2), L(2, 7, 2)});
    Draw();
    Step(true);
    Draw();
    ASSERT_EQ(portraits.size(), 2u) << "the own pilot only";
    EXPECT_EQ(portraits[0].texture, chars.GetSheet(1));
    EXPECT_EQ(noise.size(), 1u);
}

TEST_F(StoryPartsTest, ShakeMovesBothPartsAlikeOnThePresentationStream) {
    LoadSheets();
    ScriptLine shaking = L(1, 1, 2);
    shaking.shake = 1;
    LoadScript({shaking});
    Step(); // the shake starts one step in
    ASSERT_EQ(script.GetCurrent().shake, 1);
    RandomManager* random = RandomManager::GetInstance();
    const auto play = random->Stream(RandomManager::kPlay);
    const auto presentation = random->Stream(RandomManager::kPresentation);
    bool moved = false;
    for (int f = 0; f < 20; ++f) {
        Draw();
        ASSERT_EQ(portraits.size(), 2u);
        const float dx = portraits[0].x0, dy = portraits[0].y0 - 96.0f;
        EXPECT_TRUE(dx >= -5.5f && dx < 5.5f && dy >= -5.5f && dy < 5.5f) << dx << " " << dy;
        EXPECT_FLOAT_EQ(portraits[1].x0, 105.0f + dx) << "the face moves with the body";
        EXPECT_FLOAT_EQ(portraits[1].y0, 156.0f + dy);
        moved = moved || dx != 0.0f || dy != 0.0f;
    }
    EXPECT_TRUE(moved);
    auto same = [](const Mireku::Common::Random& a, const Mireku::Common::Random& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
    };
    EXPECT_TRUE(same(random->Stream(RandomManager::kPlay), play)) << "the play stream is untouched";
    EXPECT_FALSE(same(random->Stream(RandomManager::kPresentation), presentation));
}

TEST_F(StoryPartsTest, LoadsPartsPlatesAndOneImagePerLineUpToTheEndMark) {
    const std::string longest(31, 'v');
    for (const auto& [text, width] : std::vector<std::pair<std::string, uint32_t>>{
             {"one", 600}, {"three", 500}, {"four", 400}, {longest, 100}})
        WriteLine(text, 0.0f, width);
    const std::vector<ScriptLine> lines = {
        L(1, 1, 2, "one"), L(2, 7, 2, "two"), // no image: no entry
        L(3, 1, 2, ""),    L(3, 1, 2, "three"), L(5, 1, 2, longest),
        L(-1, 0, 0, ""),   L(4, 1, 2, "four")};
    Load(lines);
    ASSERT_TRUE(common->GetSkip() && common->GetWindow() && common->GetCaption());
    for (int32_t s = 1; s <= 14; ++s) {
        ASSERT_NE(common->GetPlate(s), nullptr) << s;
        EXPECT_EQ(common->GetPlate(s)->GetWidth(), 256) << "Japanese plates by default";
    }
    EXPECT_EQ(common->GetPlate(0), nullptr);
    EXPECT_EQ(common->GetPlate(15), nullptr);
    const auto& entries = common->GetLines();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].line, 1);
    EXPECT_EQ(entries[0].texture->GetWidth(), 600);
    EXPECT_STREQ(entries[0].voice, "one.ogg");
    EXPECT_EQ(entries[1].line, 3);
    EXPECT_STREQ(entries[1].voice, "three.ogg");
    EXPECT_EQ(std::string(entries[2].voice), longest + ".ogg") << "the longest text fits";
    common->ReleaseResources();
    EXPECT_TRUE(common->GetLines().empty());
    EXPECT_EQ(common->GetWindow(), nullptr);
    EXPECT_EQ(common->GetPlate(3), nullptr);

    Load(lines, StoryScriptDriver::kNone);
    EXPECT_TRUE(common->GetLines().empty()) << "kind 7 loads no lines";
    EXPECT_NE(common->GetWindow(), nullptr);

    work->config[ConfigBlock::kOffsetStoryLanguage] = 1;
    Write("script/texture/pcs_eng/only.dds", Dds(300, 40));
    Load({L(1, 1, 2, "only")});
    EXPECT_EQ(common->GetPlate(1)->GetWidth(), 200) << "English plates and text by the setting";
    ASSERT_EQ(common->GetLines().size(), 1u);
    EXPECT_EQ(common->GetLines()[0].texture->GetWidth(), 300);
}

TEST_F(StoryPartsTest, TheWindowOpensAndClosesFromItsMiddleInEightFrames) {
    Load({});
    Window(false);
    EXPECT_FLOAT_EQ(common->GetWindowHeight(), 0.0f) << "not shown: it stays closed";
    EXPECT_TRUE(Of(common->GetWindow()).empty());
    for (int f = 1; f <= 8; ++f) {
        Window();
        const float h = 18.0f * static_cast<float>(f);
        EXPECT_FLOAT_EQ(common->GetWindowHeight(), h);
        EXPECT_EQ(common->IsWindowOpen(), f == 8) << f;
        const Sprite w = One(common->GetWindow());
        EXPECT_EQ(w.Rect(), (Box{280, 528 + (144 - h) / 2, 1000, 528 + (144 + h) / 2})) << f;
        EXPECT_FLOAT_EQ(w.v1, 144.0f) << "the whole picture, squeezed";
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

TEST_F(StoryPartsTest, TheLineOfEntryLineMinusOneWithThePlateAbove) {
    WriteLine("first", 0.0f, 600);
    WriteLine("second", 0.0f, 500);
    Load({L(1, 1, 2, "first"), L(2, 7, 2, "second"), L(9, 1, 2, ""), L(-1, 1, 2, "")});
    for (int f = 0; f < 7; ++f) {
        Window();
        EXPECT_TRUE(Line(0).empty()) << "no line while opening";
    }
    Window();
    EXPECT_EQ(One(common->GetLines()[0].texture).Rect(), (Box{340, 580, 940, 620}));
    EXPECT_EQ(One(common->GetPlate(1)).Rect(), (Box{340, 552, 596, 584}));
    EXPECT_EQ(common->GetVoiceEntry(), 0);
    Step(true);
    Window();
    EXPECT_EQ(One(common->GetLines()[1].texture).x0, 390.0f) << "centred: (1280 - 500) / 2";
    EXPECT_TRUE(Line(0).empty());
    // Speakers 7 and 9 share "ev_sp02name.dds".
    EXPECT_EQ(One(common->GetPlate(7)).x0, 390.0f);
    EXPECT_EQ(common->GetPlate(7)->GetWidth(), common->GetPlate(9)->GetWidth());
    // A line past the entries, and -1: the window without text, no voice.
    for (int i = 0; i < 2; ++i) {
        common->SetVoiceHold(7);
        Step(true);
        Window();
        EXPECT_TRUE(Line(0).empty() && Line(1).empty()) << i;
        EXPECT_TRUE(Of(common->GetPlate(1)).empty()) << i;
        EXPECT_EQ(common->GetVoiceEntry(), 1) << "no other voice started";
        EXPECT_EQ(common->GetVoiceHold(), 7u) << "nor its hold restarted";
    }
    Window(true, true);
    EXPECT_TRUE(Line(1).empty()) << "no line while closing";

    // An all-hidden script leaves the cleared command in place: line 0.
    ScriptLine hidden = L(1, 1, 2, "first");
    hidden.hidden = 1;
    Load({hidden});
    ASSERT_EQ(common->GetLines().size(), 1u) << "hidden lines are preloaded too";
    OpenWindow();
    Window();
    EXPECT_TRUE(Line(0).empty());
    EXPECT_TRUE(Of(common->GetPlate(1)).empty());
    EXPECT_EQ(common->GetVoiceEntry(), -1);
}

TEST_F(StoryPartsTest, TheStageCaptionAndTheBlinkingSkipHint) {
    Load({});
    const uint32_t rows[][2] = {{0, 1},  {2, 3},   {3, 5},  {5, 7},  {6, 9},
                                {9, 13}, {11, 15}, {12, 1}, {23, 15}};
    for (const auto& r : rows) {
        work->stage = r[0];
        Window(false);
        const Sprite caption = One(common->GetCaption());
        const float v = 56.0f * static_cast<float>(r[1]);
        EXPECT_EQ(caption.Texels(), (Box{568, v, 1024, v + 56})) << "stage " << r[0];
        EXPECT_EQ(caption.Rect(), (Box{568, 60, 1024, 116}));
    }
    // Modes 0 and 2 show only the skip hint, which blinks a second on, a
    // second off.
    for (uint32_t mode : {0u, 2u}) {
        common->SetFrameCounter(60);
        Window(true, false, mode);
        EXPECT_TRUE(Of(common->GetCaption()).empty() && Of(common->GetWindow()).empty());
        EXPECT_EQ(One(common->GetSkip()).Rect(), (Box{1152, 0, 1280, 32}));
    }
    for (uint32_t frames : {0u, 59u, 60u, 119u, 120u, 179u, 180u}) {
        common->SetFrameCounter(frames);
        Window(false);
        EXPECT_EQ(Of(common->GetSkip()).size(), frames / 60 % 2) << frames;
    }
    const uint32_t before = common->GetFrameCounter();
    common->UpdateVoice();
    EXPECT_EQ(common->GetFrameCounter(), before + 1);
}

class StoryVoiceTest : public StoryPartsTest {
protected:
    StoryVoiceTest() { withSound = true; }
};

TEST_F(StoryVoiceTest, OneVoicePerLineBusyAtLeastItsHold) {
    WriteLine("a", 0.2f);
    WriteLine("b", 0.2f);
    WriteLine("mute", 0.0f);
    Load({L(1, 1, 2, "a"), L(2, 1, 2, "b"), L(3, 1, 2, "mute")});
    EXPECT_TRUE(common->IsVoiceBusy()) << "busy from the start";
    OpenWindow();
    Mireku::Sound::StreamSound* first = Voice();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(soundtest::WaitIdle(first));
    EXPECT_TRUE(first->IsPlaying());
    EXPECT_EQ(common->GetVoiceEntry(), 0);
    for (int f = 0; f < 5; ++f) {
        Window();
        EXPECT_EQ(Voice(), first) << "started once per line";
    }
    PlayOutVoice();
    EXPECT_FALSE(first->IsPlaying());
    for (int f = 1; f <= 60; ++f) {
        common->UpdateVoice();
        ASSERT_TRUE(common->IsVoiceBusy()) << "the hold of 60 frames: " << f;
    }
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());

    Step(true);
    Window();
    ASSERT_NE(Voice(), nullptr);
    EXPECT_EQ(common->GetVoiceEntry(), 1);
    ASSERT_TRUE(soundtest::WaitIdle(Voice()));
    for (int f = 0; f < 61; ++f)
        common->UpdateVoice();
    EXPECT_TRUE(common->IsVoiceBusy()) << "still playing after its hold";
    common->StopVoice();
    ASSERT_TRUE(soundtest::WaitIdle(Voice()));
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());

    // A voice that cannot be read counts as busy for its hold, then ends.
    Step(true);
    Window();
    EXPECT_EQ(common->GetVoiceEntry(), 2);
    EXPECT_EQ(common->GetVoiceHold(), 60u);
    for (int f = 1; f <= 60; ++f) {
        common->UpdateVoice();
        ASSERT_TRUE(common->IsVoiceBusy()) << f;
    }
    common->UpdateVoice();
    EXPECT_FALSE(common->IsVoiceBusy());
}

TEST_F(StoryVoiceTest, TheRollMovesEveryLineAndVoicesThemInTurn) {
    WriteLine("r1", 0.1f, 600, 40);
    WriteLine("r2", 0.1f, 400, 60);
    WriteLine("r3", 0.1f, 720, 20);
    Load({L(1, 0, 0, "r1"), L(2, 0, 0, "r2"), L(3, 0, 0, "r3")}, StoryScriptDriver::kOpening);
    const uint32_t length = SceneStoryCommon::RollLength(1, 0);
    // The lines and a blank 240 rows below them pass in the roll's length.
    const float step = (40.0f + 60.0f + 20.0f + 240.0f) / 14160.0f;
    for (int f = 0; f < 3; ++f) {
        BeginFrame();
        common->DrawRoll(length);
        common->DrawWindow(0, false, false); // after the roll: no clip
        EndFrame();
        const float offset = step * static_cast<float>(f);
        const float tops[] = {600.0f, 640.0f, 700.0f}, lefts[] = {340.0f, 440.0f, 280.0f};
        for (size_t i = 0; i < 3; ++i) {
            const Sprite s = One(common->GetLines()[i].texture);
            EXPECT_NEAR(s.y0, tops[i] - offset, 1e-3) << "frame " << f << " line " << i;
            EXPECT_FLOAT_EQ(s.x0, lefts[i]);
            EXPECT_EQ((std::array<int16_t, 4>{s.clip[0], s.clip[1], s.clip[2], s.clip[3]}),
                      (std::array<int16_t, 4>{0, 120, 1280, 480}));
        }
        EXPECT_NEAR(common->GetRollOffset(), offset + step, 1e-4);
    }
    EXPECT_TRUE(Of(common->GetWindow()).empty());
    // The first voice started in the first frame, the others wait their turn.
    EXPECT_EQ(common->GetVoiceEntry(), 1);
    Mireku::Sound::StreamSound* first = Voice();
    ASSERT_NE(first, nullptr);
    auto frames = [&](int n) {
        for (int f = 0; f < n; ++f) {
            common->UpdateVoice();
            common->DrawRoll(length);
        }
    };
    ASSERT_TRUE(soundtest::WaitIdle(first));
    frames(70);
    EXPECT_EQ(common->GetVoiceEntry(), 1) << "the first voice still plays";
    PlayOutVoice();
    frames(1);
    EXPECT_EQ(common->GetVoiceEntry(), 2);
    EXPECT_NE(Voice(), first);
    for (int v = 0; v < 2; ++v) {
        PlayOutVoice();
        frames(62);
    }
    EXPECT_EQ(common->GetVoiceEntry(), 3) << "after the last line nothing more";
}

TEST_F(StoryVoiceTest, TheEndingsLineByItsIdAtY560) {
    WriteLine("e1", 0.0f, 500);
    WriteLine("e3", 0.1f, 700);
    Load({L(1, 1, 2, "e1"), L(3, 1, 2, "e3")}, StoryScriptDriver::kTrueEnding);
    Step(true);
    ASSERT_EQ(script.GetCurrent().line, 3);
    BeginFrame();
    common->DrawLineById();
    EndFrame();
    EXPECT_EQ(One(common->GetLines()[1].texture).Rect(), (Box{290, 560, 990, 600}))
        << "found by its line, not by position";
    EXPECT_EQ(common->GetVoiceEntry(), 2) << "line - 1";
    Mireku::Sound::StreamSound* voice = Voice();
    ASSERT_NE(voice, nullptr);
    common->DrawLineById();
    EXPECT_EQ(Voice(), voice) << "voiced once";
}

TEST(StoryTables, RollLengthsAndOccasions) {
    const uint32_t rolls[][3] = {{1, 0, 14160}, {2, 0, 18180}, {3, 3, 9900}, {4, 2, 12420},
                                 {5, 1, 15960}, {6, 0, 8640},  {6, 3, 12660}};
    for (const auto& r : rolls)
        EXPECT_EQ(SceneStoryCommon::RollLength(static_cast<int32_t>(r[0]), r[1]), r[2])
            << r[0] << " " << r[1];
    const uint32_t occasions[][2] = {{2, 1}, {5, 2}, {8, 3}, {20, 3}};
    for (const auto& o : occasions)
        EXPECT_EQ(SceneStoryCommon::IntermissionOccasion(o[0]), o[1]) << o[0];
}

} // namespace
