#include "game/scene/StoryChar.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/scene/StoryScriptDriver.h"
#include "support/StoryRig.h"
#include "tools/sampledata/StoryScriptText.h"

#include <cstdio>

namespace {

using sampledata::MakeScriptLine;
using sampledata::ScriptLine;
using story_test::Sprite;

constexpr uint32_t kLit = 0xFFFFFFFFu;
constexpr uint32_t kDim = 0xFF808080u;

class StoryCharTest : public story_test::StoryRig {
protected:
    void SetUp() override {
        StoryRig::SetUp();
        for (int i = 1; i <= 9; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "script/texture/ev_pc%02dcut.dds", i);
            if (i != missingSheet)
                Write(name, story_test::Dds(16, 16));
        }
        Write("script/texture/ev_pccut_noise.dds", story_test::Dds(16, 16));
        work->player.ship = 0; // the own pilot is pilot 1
        chars.Reset();
        Mireku::Resource::ChildResourceLoader child;
        chars.LoadSheets(child);
    }
    void TearDown() override {
        chars.Release();
        StoryScriptDriver::Instance().ClearRecords();
        StoryRig::TearDown();
    }
    // A script of the lines, its first command taken.
    void Script(const std::vector<ScriptLine>& lines) {
        const std::string text = sampledata::FormatScript(lines);
        script.SetScript(StoryScriptDriver::kStageScene);
        script.LoadText(reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size()), "test.txt");
    }
    void Next() {
        input->SetTriggered(InputManager::kShot);
        script.Step(0);
        input->SetTriggered(0);
    }
    // One frame of the portraits: the command read, both drawn.
    void Draw(bool show = true) {
        BeginFrame();
        chars.TakeCommand();
        chars.Draw(show);
        EndFrame();
    }
    static void ExpectSprite(const Sprite& s, float u, float v, float w, float h, float x, float y,
                             float dw, float dh, uint32_t colour) {
        EXPECT_FLOAT_EQ(s.u0, u);
        EXPECT_FLOAT_EQ(s.v0, v);
        EXPECT_FLOAT_EQ(s.u1, u + w);
        EXPECT_FLOAT_EQ(s.v1, v + h);
        EXPECT_FLOAT_EQ(s.x0, x);
        EXPECT_FLOAT_EQ(s.y0, y);
        EXPECT_FLOAT_EQ(s.x1, x + dw);
        EXPECT_FLOAT_EQ(s.y1, y + dh);
        EXPECT_EQ(s.colour, colour);
    }

    int missingSheet = 0;
    StoryChar& chars = StoryChar::Instance();
    StoryScriptDriver& script = StoryScriptDriver::Instance();
};

TEST_F(StoryCharTest, OwnPilotLeftLargeOtherRightSmallTheSilentOneDim) {
    Script({MakeScriptLine(1, 1, 3, "a"), MakeScriptLine(2, 7, 12, "b")});
    Draw();
    ASSERT_EQ(portraits.size(), 2u);
    // Face 3: column 2 of the large faces' first row.
    ExpectSprite(portraits[0], 0, 0, 383, 559, 0, 96, 384, 560, kLit);
    ExpectSprite(portraits[1], 624, 0, 119, 159, 105, 156, 120, 160, kLit);
    EXPECT_EQ(portraits[0].texture, chars.GetSheet(1));
    EXPECT_EQ(portraits[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAlpha);

    Next();
    Draw();
    ASSERT_EQ(portraits.size(), 4u);
    ExpectSprite(portraits[0], 0, 0, 383, 559, 0, 96, 384, 560, kDim);
    ExpectSprite(portraits[1], 624, 0, 119, 159, 105, 156, 120, 160, kDim);
    // Face 12: column 1 of the small faces' third row.
    ExpectSprite(portraits[2], 0, 560, 383, 449, 368, 144, 384, 448, kLit);
    ExpectSprite(portraits[3], 480, 816, 95, 127, 572, 192, 96, 128, kLit);
    EXPECT_EQ(portraits[2].texture, chars.GetSheet(7));
}

TEST_F(StoryCharTest, FaceFifteenIsTheLastCell) {
    Script({MakeScriptLine(1, 1, 15, "a"), MakeScriptLine(2, 9, 15, "b")});
    Draw();
    Next();
    Draw();
    ASSERT_EQ(portraits.size(), 4u);
    ExpectSprite(portraits[1], 864, 320, 119, 159, 105, 156, 120, 160, kDim);
    ExpectSprite(portraits[3], 768, 816, 95, 127, 572, 192, 96, 128, kLit);
}

TEST_F(StoryCharTest, AFaceNeverSetDrawsTheBodyAlone) {
    // Face 0: the script never gave this speaker a face. Taking cell
    // (-1 mod 5, -1 / 5) would cut a patch of the body as a face.
    Script({MakeScriptLine(1, 1, 0, "a"), MakeScriptLine(2, 8, 0, "b")});
    Draw();
    ASSERT_EQ(portraits.size(), 1u);
    ExpectSprite(portraits[0], 0, 0, 383, 559, 0, 96, 384, 560, kLit);
    Next();
    Draw();
    ASSERT_EQ(portraits.size(), 2u);
    ExpectSprite(portraits[1], 0, 560, 383, 449, 368, 144, 384, 448, kLit);
}

TEST_F(StoryCharTest, AFacePastTheSheetsCellsDrawsNoFace) {
    // Face 16 would take a cell of a fourth row the sheet does not have.
    Script({MakeScriptLine(1, 1, 16, "a")});
    Draw();
    ASSERT_EQ(portraits.size(), 1u);
    ExpectSprite(portraits[0], 0, 0, 383, 559, 0, 96, 384, 560, kLit);
}

TEST_F(StoryCharTest, OnlyCharactersWithSheetsGetPortraits) {
    // Speaker 0 (nobody) and 10-14 (plates only) take the other side without
    // a portrait; the own pilot never shows on the other side.
    Script({MakeScriptLine(1, 0, 2, "a"), MakeScriptLine(2, 10, 2, "b"),
            MakeScriptLine(3, 14, 2, "c"), MakeScriptLine(4, 1, 2, "d")});
    for (int i = 0; i < 3; ++i) {
        Draw();
        EXPECT_TRUE(portraits.empty()) << "command " << i;
        EXPECT_TRUE(noise.empty()) << "command " << i;
        Next();
    }
    Draw();
    ASSERT_EQ(portraits.size(), 2u);
    EXPECT_EQ(portraits[0].x0, 0.0f) << "the own pilot is drawn on its own side";
    EXPECT_FALSE(chars.GetOtherSpeaker() == 1);
}

TEST_F(StoryCharTest, NothingWhenNotShown) {
    Script({MakeScriptLine(1, 1, 2, "a")});
    Draw(false);
    EXPECT_TRUE(portraits.empty());
    EXPECT_TRUE(chars.IsOwnShown()) << "the command is still taken";
}

TEST_F(StoryCharTest, CutInRunsThirtyFramesPerChangeOfTheOtherSpeaker) {
    Script(
        {MakeScriptLine(1, 7, 2, "a"), MakeScriptLine(2, 7, 3, "b"), MakeScriptLine(3, 8, 2, "c")});
    for (int f = 0; f < 30; ++f) {
        Draw();
        ASSERT_EQ(noise.size(), 1u) << "frame " << f;
        // Counts 30, 28, ... take the right half; 29, 27, ... the left.
        const float u = f % 2 == 0 ? 384.0f : 0.0f;
        ExpectSprite(noise[0], u, 560, 384, 448, 368, 144, 384, 448, kLit);
        EXPECT_EQ(noise[0].texture, chars.GetNoise());
        EXPECT_EQ(noise[0].blend, Mireku::Renderer::SpriteRenderer::kBlendAdd);
    }
    Draw();
    EXPECT_TRUE(noise.empty()) << "30 frames";
    Next();
    Draw();
    EXPECT_TRUE(noise.empty()) << "the same speaker again: no cut-in";
    Next();
    for (int f = 0; f < 30; ++f) {
        Draw();
        ASSERT_EQ(noise.size(), 1u) << "a new speaker: frame " << f;
    }
    Draw();
    EXPECT_TRUE(noise.empty());
}

TEST_F(StoryCharTest, TheLastOtherSpeakerCarriesOverToTheNextScene) {
    Script({MakeScriptLine(1, 9, 2, "a")});
    Draw();
    ASSERT_EQ(noise.size(), 1u);
    // The scene ends halfway through the cut-in.
    for (int f = 1; f < 15; ++f)
        Draw();
    chars.Release();
    chars.Reset();
    Mireku::Resource::ChildResourceLoader child;
    chars.LoadSheets(child);
    EXPECT_EQ(chars.GetLastOtherSpeaker(), 9);
    EXPECT_FALSE(chars.IsOtherShown());
    Script({MakeScriptLine(1, 9, 4, "b")});
    int frames = 0;
    for (; frames < 40; ++frames) {
        Draw();
        if (noise.empty())
            break;
    }
    EXPECT_EQ(frames, 15) << "the same speaker finishes the old cut-in and starts no new one";
}

TEST_F(StoryCharTest, ShakeMovesBothPartsAlikeOnThePresentationStream) {
    ScriptLine shaking = MakeScriptLine(1, 1, 2, "a");
    shaking.shake = 1;
    Script({shaking});
    script.Step(0); // the shake starts one step in
    ASSERT_EQ(script.GetCurrent().shake, 1);
    RandomManager* random = RandomManager::GetInstance();
    const Mireku::Common::Random play = random->Stream(RandomManager::kPlay);
    const Mireku::Common::Random presentation = random->Stream(RandomManager::kPresentation);
    bool moved = false;
    for (int f = 0; f < 20; ++f) {
        Draw();
        ASSERT_EQ(portraits.size(), 2u);
        const float dx = portraits[0].x0 - 0.0f;
        const float dy = portraits[0].y0 - 96.0f;
        EXPECT_GE(dx, -5.5f);
        EXPECT_LT(dx, 5.5f);
        EXPECT_GE(dy, -5.5f);
        EXPECT_LT(dy, 5.5f);
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

class StoryCharMissingSheet : public StoryCharTest {
protected:
    void SetUp() override {
        missingSheet = 7;
        StoryCharTest::SetUp();
    }
};

TEST_F(StoryCharMissingSheet, ThatPortraitIsSkipped) {
    EXPECT_EQ(chars.GetSheet(7), nullptr);
    EXPECT_NE(chars.GetSheet(8), nullptr);
    Script({MakeScriptLine(1, 1, 2, "a"), MakeScriptLine(2, 7, 2, "b")});
    Draw();
    Next();
    Draw();
    ASSERT_EQ(portraits.size(), 2u) << "the own pilot only";
    EXPECT_EQ(portraits[0].texture, chars.GetSheet(1));
    EXPECT_EQ(noise.size(), 1u) << "the cut-in still runs";
}

} // namespace
