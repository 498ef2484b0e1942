#include "support/SceneTestSupport.h"

#include "engine/graphics/Texture.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/renderer/TextRenderer.h"
#include "engine/resource/ChildResourceLoader.h"
#include "game/scene/ScriptEngine.h"

#include <cstring>
#include <string>

namespace {

using Mireku::Graphics::Texture;

class ScriptEngineTest : public testing_scene::LooseFiles {
protected:
    void SetUp() override {
        LooseFiles::SetUp();
        script = ScriptEngine::CreateInstance();
        ASSERT_NE(script, nullptr);
    }
    void TearDown() override {
        script->Finalize();
        ScriptEngine::DestroyInstance();
        LooseFiles::TearDown();
    }
    void LoadCodeTable(const char* name) {
        script->SetCodeTableName(name);
        Mireku::Resource::ChildResourceLoader child;
        script->LoadCodeTable(child, nullptr);
    }
    static void PutName(std::vector<uint8_t>& file, size_t record, uint32_t offset,
                        const char* name, size_t length) {
        std::memcpy(&file[record * ScriptEngine::kRecordSize + offset], name, length);
    }

    ScriptEngine* script = nullptr;
};

TEST_F(ScriptEngineTest, CacheReadsEachFileOnce) {
    Write("script/texture/face01.dds", Dds());
    Texture* first = script->GetTexture("face01");
    ASSERT_NE(first, nullptr);
    Remove("script/texture/face01.dds");
    EXPECT_EQ(script->GetTexture("face01"), first) << "served from the cache, not read again";
    EXPECT_EQ(script->GetCacheSize(), 1u);
}

TEST_F(ScriptEngineTest, MissingTextureIsCachedAsNullAndNotTriedAgain) {
    EXPECT_EQ(script->GetTexture("late"), nullptr);
    Write("script/texture/late.dds", Dds());
    EXPECT_EQ(script->GetTexture("late"), nullptr);
    EXPECT_EQ(script->GetCacheSize(), 1u);
}

TEST_F(ScriptEngineTest, NoNameAndOverlongNamesGiveNoTexture) {
    Write("script/texture/abcdefghijklmnop.dds", Dds());
    Write("script/texture/abcdefghijklmnopq.dds", Dds());
    EXPECT_EQ(script->GetTexture(nullptr), nullptr);
    EXPECT_EQ(script->GetTexture(""), nullptr);
    EXPECT_EQ(script->GetCacheSize(), 0u) << "no name is not cached";
    EXPECT_NE(script->GetTexture("abcdefghijklmnop"), nullptr) << "16 characters fit";
    EXPECT_EQ(script->GetTexture("abcdefghijklmnopq"), nullptr) << "17 do not";
}

TEST_F(ScriptEngineTest, CodeTableCopiesWholeRecordsAndResolvesTheirNames) {
    Write("script/texture/a.dds", Dds());
    Write("script/texture/b.dds", Dds());
    std::vector<uint8_t> file(2 * ScriptEngine::kRecordSize + 100, 0);
    for (size_t i = 0; i < file.size(); ++i)
        if (i % ScriptEngine::kRecordSize >= 120)
            file[i] = static_cast<uint8_t>(i * 7);
    PutName(file, 0, 80, "a", 2);
    PutName(file, 0, 16, "b", 2);
    PutName(file, 0, 48, "missing", 8);
    // Record 1: the first name has no terminator within 17 bytes; the second
    // is the same texture as record 0's.
    PutName(file, 1, 80, "abcdefghijklmnopqrstuvwxyz", 26);
    PutName(file, 1, 16, "a", 2);
    Write("code/table.bin", file);

    LoadCodeTable("table.bin");
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kJustLoaded);
    ASSERT_EQ(script->GetCodeEntryCount(), 2) << "the trailing partial record is ignored";
    const ScriptEngine::CodeEntry* e = script->GetCodeEntries();
    EXPECT_EQ(std::memcmp(e[0].record, file.data(), ScriptEngine::kRecordSize), 0);
    EXPECT_EQ(std::memcmp(e[1].record, file.data() + ScriptEngine::kRecordSize,
                          ScriptEngine::kRecordSize),
              0);
    EXPECT_EQ(e[0].textures[0], script->GetTexture("a"));
    EXPECT_EQ(e[0].textures[1], script->GetTexture("b"));
    EXPECT_NE(e[0].textures[0], nullptr);
    EXPECT_NE(e[0].textures[1], nullptr);
    EXPECT_EQ(e[0].textures[2], nullptr);
    EXPECT_EQ(e[1].textures[0], nullptr);
    EXPECT_EQ(e[1].textures[1], e[0].textures[0]) << "one texture per name";
    EXPECT_EQ(e[1].textures[2], nullptr);

    script->Clear();
    EXPECT_EQ(script->GetCodeEntryCount(), 0);
    EXPECT_EQ(script->GetCodeEntries(), nullptr);
    EXPECT_EQ(script->GetCacheSize(), 0u);
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kNothing);
}

TEST_F(ScriptEngineTest, MissingOrShortCodeTableStillEndsLoaded) {
    LoadCodeTable("none.bin");
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kJustLoaded);
    EXPECT_EQ(script->GetCodeEntryCount(), 0);
    Write("code/short.bin", std::vector<uint8_t>(ScriptEngine::kRecordSize - 1, 0));
    script->SetLoadState(ScriptEngine::kLoading);
    LoadCodeTable("short.bin");
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kJustLoaded);
    EXPECT_EQ(script->GetCodeEntryCount(), 0);
}

TEST(ScriptIndicator, FourTextsEveryEightyFrames) {
    const char16_t* expected[] = {u"LOADING", u"LOADING.", u"LOADING..", u"LOADING..."};
    for (uint32_t frame = 0; frame < 240; ++frame)
        EXPECT_EQ(std::u16string(ScriptEngine::IndicatorText(frame)),
                  std::u16string(expected[(frame % 80) / 20]))
            << frame;
}

class Indicator : public ScriptEngineTest {
protected:
    void SetUp() override {
        ScriptEngineTest::SetUp();
        // A font with the indicator's letters, one 8x8 cell each.
        std::vector<testing_font::GlyphSpec> glyphs;
        uint32_t u = 0;
        for (char16_t c : std::u16string(u"LOADIN.G"))
            glyphs.push_back({static_cast<uint16_t>(c), {0, 0, 8, 8, 0, 0, u += 8, 0}});
        Write("font/script.mfd", testing_font::Description(16, 1, 0, "ind", glyphs));
        Write("font/ind_00.dds", Dds(128));
        Mireku::Resource::ChildResourceLoader child;
        script->CreateTextRenderer(child, nullptr);
        ASSERT_NE(script->GetTextRenderer(), nullptr);
        ASSERT_TRUE(script->GetTextRenderer()->HasFont());
        hud = new Mireku::Renderer::SpriteRenderer(64, 8, "HUD");
    }
    void TearDown() override {
        hud->Release();
        ScriptEngineTest::TearDown();
    }
    // Sprites the frame's indicator step submitted.
    uint32_t Step() {
        script->UpdateIndicator(hud);
        const uint32_t n = hud->GetCount();
        if (n)
            firstY = hud->GetCurrent().vertices[0].y;
        hud->Flush(1280, 720);
        return n;
    }

    Mireku::Renderer::SpriteRenderer* hud = nullptr;
    float firstY = 0.0f;
};

TEST_F(Indicator, DrawnOnlyWhileLoadingAndOnceWhenJustLoaded) {
    EXPECT_EQ(Step(), 0u) << "state 0 draws nothing";
    EXPECT_EQ(script->GetIndicatorFrames(), 0u);

    script->SetLoadState(ScriptEngine::kLoading);
    std::vector<uint32_t> counts;
    for (int i = 0; i < 80; ++i)
        counts.push_back(Step());
    EXPECT_EQ(script->GetIndicatorFrames(), 80u);
    // Seven letters, then one more per dot, 20 frames each.
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(counts[i], 7u + i / 20) << i;
    EXPECT_FLOAT_EQ(firstY, ScriptEngine::kIndicatorY);

    script->SetLoadState(ScriptEngine::kJustLoaded);
    EXPECT_EQ(Step(), 7u) << "frame 80 starts the cycle again";
    EXPECT_EQ(script->GetLoadState(), ScriptEngine::kShown);
    EXPECT_EQ(Step(), 0u);
    EXPECT_EQ(script->GetIndicatorFrames(), 81u);
}

} // namespace
