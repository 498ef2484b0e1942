// What the screens draw with: the script engine's texture cache, code table
// and loading indicator, the sprite font's cells and advances, and the
// game-over caption with its fade-in.
#include "engine/graphics/Texture.h"
#include "engine/renderer/TextRenderer.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/scene/PresentGameOver.h"
#include "game/scene/SceneRanking.h"
#include "game/scene/ScriptEngine.h"
#include "support/FontTestSupport.h"
#include "support/SceneRig.h"

#include <cstring>

namespace {

using namespace scene_test;

using Mireku::Graphics::Texture;

class SceneHelpersTest : public SceneRig {
protected:
    SceneHelpersTest() { loose = true; }
    void SetUp() override {
        SceneRig::SetUp();
        script = ScriptEngine::CreateInstance();
        ASSERT_NE(script, nullptr);
    }
    void TearDown() override {
        script->Finalize();
        ScriptEngine::DestroyInstance();
        SceneRig::TearDown();
    }
    void LoadCodeTable(const char* name) {
        script->SetCodeTableName(name);
        Mireku::Resource::ChildResourceLoader child;
        script->LoadCodeTable(child, nullptr);
    }
    Mireku::Renderer::SpriteRenderer* Layer() const {
        return SpriteManager::GetInstance()->GetLayer(SpriteLayer::kHud);
    }
    ScriptEngine* script = nullptr;
};

// Each name is read once, a missing one cached as null and not tried
// again; no name is not cached, 16 characters fit and 17 do not.
TEST_F(SceneHelpersTest, TheScriptEngineCachesEachTextureByName) {
    Write("script/texture/face01.dds", Dds(4));
    Write("script/texture/abcdefghijklmnop.dds", Dds(4));
    Write("script/texture/abcdefghijklmnopq.dds", Dds(4));
    Texture* first = script->GetTexture("face01");
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(files.Path("script/texture/face01.dds"));
    EXPECT_EQ(script->GetTexture("face01"), first) << "served from the cache, not read again";
    EXPECT_EQ(script->GetTexture("late"), nullptr);
    Write("script/texture/late.dds", Dds(4));
    EXPECT_EQ(script->GetTexture("late"), nullptr);
    EXPECT_EQ(script->GetTexture(nullptr), nullptr);
    EXPECT_EQ(script->GetTexture(""), nullptr);
    EXPECT_EQ(script->GetCacheSize(), 2u);
    EXPECT_NE(script->GetTexture("abcdefghijklmnop"), nullptr);
    EXPECT_EQ(script->GetTexture("abcdefghijklmnopq"), nullptr);
}

// Whole 384-byte records copied (a trailing part ignored), their three
// names (at 80, 16, 48) resolved, one texture per name; a name without its
// terminator within 17 bytes resolves to nothing. A missing or short table
// still ends loaded, with no entries.
TEST_F(SceneHelpersTest, TheCodeTableCopiesWholeRecordsAndResolvesTheirNames) {
    Write("script/texture/a.dds", Dds(4));
    Write("script/texture/b.dds", Dds(4));
    std::vector<uint8_t> file(2 * ScriptEngine::kRecordSize + 100, 0);
    for (size_t i = 0; i < file.size(); ++i)
        if (i % ScriptEngine::kRecordSize >= 120)
            file[i] = static_cast<uint8_t>(i * 7);
    auto put = [&](size_t record, uint32_t offset, const char* name, size_t length) {
        std::memcpy(&file[record * ScriptEngine::kRecordSize + offset], name, length);
    };
    put(0, 80, "a", 2);
    put(0, 16, "b", 2);
    put(0, 48, "missing", 8);
    put(1, 80, "abcdefghijklmnopqrstuvwxyz", 26);
    put(1, 16, "a", 2);
    Write("code/table.bin", file);
    LoadCodeTable("table.bin");
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kJustLoaded);
    ASSERT_EQ(script->GetCodeEntryCount(), 2);
    const ScriptEngine::CodeEntry* e = script->GetCodeEntries();
    EXPECT_EQ(std::memcmp(e[0].record, file.data(), ScriptEngine::kRecordSize), 0);
    EXPECT_EQ(std::memcmp(e[1].record, file.data() + ScriptEngine::kRecordSize,
                          ScriptEngine::kRecordSize),
              0);
    Texture* a = script->GetTexture("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ((std::vector<Texture*>{e[0].textures[0], e[0].textures[1], e[0].textures[2],
                                     e[1].textures[0], e[1].textures[1], e[1].textures[2]}),
              (std::vector<Texture*>{a, script->GetTexture("b"), nullptr, nullptr, a, nullptr}));
    EXPECT_NE(script->GetTexture("b"), nullptr);
    script->Clear();
    EXPECT_EQ(script->GetCodeEntryCount(), 0);
    EXPECT_EQ(script->GetCodeEntries(), nullptr);
    EXPECT_EQ(script->GetCacheSize(), 0u);
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kNothing);
    Write("code/short.bin", std::vector<uint8_t>(ScriptEngine::kRecordSize - 1, 0));
    for (const char* name : {"none.bin", "short.bin"}) {
        script->SetLoadState(ScriptEngine::kLoading);
        LoadCodeTable(name);
        EXPECT_EQ(script->GetLoadState(), ScriptEngine::kJustLoaded) << name;
        EXPECT_EQ(script->GetCodeEntryCount(), 0) << name;
    }
}

// "LOADING" and one dot more every 20 frames, four texts in 80 frames, at
// (1130, 680); drawn only while loading, and once when just loaded.
TEST_F(SceneHelpersTest, TheLoadingIndicator) {
    const char16_t* texts[] = {u"LOADING", u"LOADING.", u"LOADING..", u"LOADING..."};
    for (uint32_t frame = 0; frame < 240; ++frame)
        EXPECT_EQ(std::u16string(ScriptEngine::IndicatorText(frame)),
                  std::u16string(texts[(frame % 80) / 20]))
            << frame;
    std::vector<testing_font::GlyphSpec> glyphs;
    uint32_t u = 0;
    for (char16_t c : std::u16string(u"LOADIN.G"))
        glyphs.push_back({static_cast<uint16_t>(c), {0, 0, 8, 8, 0, 0, u += 8, 0}});
    Write("font/script.mfd", testing_font::Description(16, 1, 0, "ind", glyphs));
    Write("font/ind_00.dds", Dds(128, 128));
    Mireku::Resource::ChildResourceLoader child;
    script->CreateTextRenderer(child, nullptr);
    ASSERT_NE(script->GetTextRenderer(), nullptr);
    ASSERT_TRUE(script->GetTextRenderer()->HasFont());
    auto step = [&] {
        BeginFrame();
        script->UpdateIndicator(Layer());
        EndFrame();
        return hud.size();
    };
    EXPECT_EQ(step(), 0u) << "state 0 draws nothing";
    EXPECT_EQ(script->GetIndicatorFrames(), 0u);
    script->SetLoadState(ScriptEngine::kLoading);
    for (uint32_t i = 0; i < 80; ++i)
        EXPECT_EQ(step(), 7u + i / 20) << i;
    EXPECT_EQ(script->GetIndicatorFrames(), 80u);
    EXPECT_FLOAT_EQ(hud[0].y0, 680.0f);
    script->SetLoadState(ScriptEngine::kJustLoaded);
    EXPECT_EQ(step(), 7u) << "frame 80 starts the cycle again";
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kShown);
    EXPECT_EQ(step(), 0u);
    EXPECT_EQ(script->GetIndicatorFrames(), 81u);
}

// A digit, the first and last of both letter rows, punctuation, colon, tab,
// space (half a cell in the ranking), and capitals, '^' and a high byte
// passed over: each glyph a 30-texel cell at 30 x the scale.
TEST_F(SceneHelpersTest, TheSpriteFontsCellsAndAdvances) {
    BeginFrame();
    SceneRanking::DrawSpriteText(Layer(), "7aAmn^z!\xC3:\t ~_+", 100, 50, 2.0f, 0.5f);
    EndFrame();
    const float cells[][3] = {{210, 0, 100},  {0, 30, 160},  {360, 30, 220}, {0, 60, 280},
                              {360, 60, 340}, {0, 90, 400},  {30, 120, 450}, {300, 90, 530},
                              {0, 150, 590},  {90, 150, 650}};
    ASSERT_EQ(hud.size(), 10u);
    for (size_t i = 0; i < hud.size(); ++i) {
        const auto [u, v, x] = cells[i];
        EXPECT_EQ(hud[i].Texels(), (Box{u, v, u + 30, v + 30})) << i;
        EXPECT_EQ(hud[i].Rect(), (Box{x, 50, x + 60, 65})) << i;
    }
    // The setup sets spaces a whole cell wide; capitals do not move the pen,
    // ':' and tab 10 each.
    EXPECT_EQ(SpriteFont::Draw(Layer(), "a b", 0, 0, 1, 1, SpriteFont::kWideSpace), 90.0f);
    EXPECT_EQ(SpriteFont::Draw(Layer(), "a b", 0, 0, 1, 1, SpriteFont::kNarrowSpace), 75.0f);
    EXPECT_EQ(SpriteFont::Draw(Layer(), "A:\tB", 0, 0, 1, 1, SpriteFont::kWideSpace), 20.0f);
}

// Sixty steps of one sixtieth, summed in single precision, leave 0.9999997
// (alpha 254); the 61st reports the end, with 1.0 (255) from then on and
// only the frame counter's parity kept. The caption flickers between its
// two pictures over (280, 300)-(1000, 360) at the layer's own priority; a
// missing file leaves its slot empty.
TEST_F(SceneHelpersTest, TheGameOverCaptionFadesInAndFlickers) {
    Write("texture/game/common/gameover_ani1.dds", Dds(8));
    Write("texture/game/common/gameover_ani2.dds", Dds(16));
    Write("texture/game/common/gameover_noise_ani3.dds", Dds(4));
    PresentGameOver p;
    for (int i = 0; i < 7; ++i)
        p.Draw(nullptr);
    EXPECT_EQ(p.GetFrameCounter(), 7);
    for (int i = 0; i < 60; ++i)
        EXPECT_TRUE(p.StepFadeIn()) << i;
    EXPECT_FLOAT_EQ(p.GetProgress(), 0.9999997f);
    EXPECT_LT(p.GetProgress(), 1.0f);
    EXPECT_EQ(p.GetCaptionAlpha(), 254u);
    EXPECT_FALSE(p.StepFadeIn());
    EXPECT_EQ(p.GetProgress(), 1.0f);
    EXPECT_EQ(p.GetCaptionAlpha(), 255u);
    EXPECT_EQ(p.GetFrameCounter(), 1);
    EXPECT_FALSE(p.StepFadeIn());

    Mireku::Resource::ChildResourceLoader child;
    p.LoadTextures(child);
    std::vector<bool> loaded;
    for (uint32_t i = 0; i < PresentGameOver::kTextureSlots; ++i)
        loaded.push_back(p.GetTexture(i) != nullptr);
    EXPECT_EQ(loaded, (std::vector<bool>{true, true, false, false, true, false, false, false}));
    for (int frame = 1; frame <= 2; ++frame) {
        BeginFrame();
        Layer()->SetPriority(27);
        p.Draw(Layer());
        EndFrame();
        ASSERT_EQ(hud.size(), 2u);
        const Sprite caption = One(p.GetTexture(frame == 1 ? 1 : 0));
        EXPECT_EQ(caption.Rect(), (Box{280, 300, 1000, 360})) << frame;
        EXPECT_EQ(caption.u1, 720.0f);
        EXPECT_EQ((std::vector<uint32_t>{caption.Alpha(), caption.priority}),
                  (std::vector<uint32_t>{255, 27}));
    }
    p.ReleaseTextures();
    EXPECT_EQ(p.GetTexture(0), nullptr);
}

} // namespace
