#include "support/FontTestSupport.h"
#include "support/GraphicsFixture.h"

#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "engine/renderer/TextRenderer.h"
#include "tools/dds/DdsWriter.h"

namespace Mireku::Renderer {

// Reaches the shadow offset, which no setter raises above 0.
class TextRendererTestAccess {
public:
    static void SetShadowOffset(TextRenderer& t, float offset) { t.shadowOffset_ = offset; }
};

} // namespace Mireku::Renderer

namespace {

using namespace Mireku;
using Renderer::FontDescription;
using Renderer::SpriteRenderer;
using Renderer::SpriteVertex;
using Renderer::TextRenderer;

// Base size 20: 'A' 10 wide in channel 1, 'B' 14 wide in channel 2 on page 1,
// 'C' on a page the font does not have.
std::vector<uint8_t> TestFont(uint8_t flags) {
    return testing_font::Description(20, 2, flags, "tf",
                                     {{'A', {1, -2, 10, 20, 0, 1, 4, 8}},
                                      {'B', {0, 0, 14, 20, 1, 2, 16, 0}},
                                      {'C', {0, 0, 9, 20, 5, 0, 0, 0}}});
}

class TextLayout : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        sprites = new SpriteRenderer(64, 8, "Text");
    }
    void TearDown() override {
        if (text)
            text->Release();
        sprites->Release();
        stack.Stop();
    }
    void Load(uint8_t flags, bool withPages = true) {
        folder.Write("script.mfd", TestFont(flags));
        if (withPages) {
            std::vector<uint8_t> pixels(64 * 64 * 4, 0);
            for (const char* name : {"tf_00.dds", "tf_01.dds"})
                folder.Write(name, tools::WriteDds(sys::DdsFormat::R8G8B8A8, 64, 64, 1, false,
                                                   pixels.data(), pixels.size()));
        }
        text = new TextRenderer();
        ASSERT_TRUE(text->HasFont());
    }
    // Draws and flushes; returns the quads' vertices in submission order.
    std::vector<SpriteVertex> Draw(const char16_t* s) {
        text->Draw(sprites, s);
        submitted = sprites->GetCount();
        record = sprites->GetCurrent();
        sprites->Flush(1280, 720);
        const auto* v =
            reinterpret_cast<const SpriteVertex*>(sprites->GetVertexBuffer()->GetStaging(0));
        return std::vector<SpriteVertex>(v, v + submitted * 4);
    }

    testing_graphics::GraphicsStack stack;
    testing_font::FontFolder folder;
    SpriteRenderer* sprites = nullptr;
    TextRenderer* text = nullptr;
    uint32_t submitted = 0;
    Renderer::SpriteRecord record{};
};

TEST_F(TextLayout, CellPitchAdvancesByHalfOrWholeSize) {
    Load(0);
    text->SetPosition(100, 50);
    auto q = Draw(u"AB\u3042A");
    ASSERT_EQ(submitted, 3u);
    EXPECT_EQ(q[0].x, 101); // pen + x offset
    EXPECT_EQ(q[0].y, 48);  // pen + y offset
    EXPECT_EQ(q[3].x, 111); // 10 wide
    EXPECT_EQ(q[3].y, 68);
    EXPECT_EQ(q[0].u0, 4);
    EXPECT_EQ(q[3].v0, 28);
    EXPECT_EQ(q[4].x, 110); // a half-width glyph advances by half the size
    // The full-width code has no glyph and advances by the whole size.
    EXPECT_EQ(q[8].x, 141);
    // Each glyph's channel is selected by COLOR0.
    EXPECT_EQ(q[0].colour0, 0x0000FF00u);
    EXPECT_EQ(q[4].colour0, 0x00FF0000u);
    EXPECT_FLOAT_EQ(text->MeasureWidth(u"AB\u3042A"), 10 + 10 + 20 + 10);
}

TEST_F(TextLayout, ProportionalPitchUsesGlyphWidths) {
    Load(0);
    text->SetPitchMode(TextRenderer::kPitchProportional);
    text->SetPosition(0, 0);
    auto q = Draw(u"AB A\u3042Z");
    ASSERT_EQ(submitted, 3u);
    EXPECT_EQ(q[0].x, 0); // no x offset in proportional mode
    EXPECT_EQ(q[4].x, 10);
    EXPECT_EQ(q[8].x, 29); // 10 + 14 + a space of size / 4
    // After 'A': a missing full-width code size / 2, a missing byte code size / 4.
    EXPECT_FLOAT_EQ(text->MeasureWidth(u"AB A\u3042Z"), 10 + 14 + 5 + 10 + 10 + 5);
}

TEST_F(TextLayout, SizeAndSpacingScaleQuadsAndAdvances) {
    Load(0);
    text->SetSize(40);
    text->SetSpacing(3);
    text->SetPosition(0, 0);
    auto q = Draw(u"AA");
    ASSERT_EQ(submitted, 2u);
    EXPECT_EQ(q[0].x, 2);
    EXPECT_EQ(q[3].x, 22); // 10 wide at twice the base size
    EXPECT_EQ(q[3].y, 36);
    // Advance (size / 2) x size / base = 40, spacing 3 x 2 = 6.
    EXPECT_EQ(q[4].x, 48);
    text->SetSize(0); // back to the base size
    EXPECT_FLOAT_EQ(text->MeasureWidth(u"A"), 10 + 3);
}

TEST_F(TextLayout, MainPassKeepsWholePixels) {
    Load(0);
    text->SetSize(15);
    text->SetPosition(10.7f, 0);
    auto q = Draw(u"AAA");
    ASSERT_EQ(submitted, 3u);
    // Advance 7.5 x 0.75 = 5.625, truncated after each step.
    EXPECT_FLOAT_EQ(q[0].x, 10 + 0.75f);
    EXPECT_FLOAT_EQ(q[4].x, 15 + 0.75f);
    EXPECT_FLOAT_EQ(q[8].x, 20 + 0.75f);
}

TEST_F(TextLayout, RightAndCentreAlignmentSubtractTheWidth) {
    Load(0);
    text->SetAlign(TextRenderer::kAlignRight);
    text->SetPosition(100, 0);
    EXPECT_FLOAT_EQ(text->MeasureWidth(u"   "), 30);
    auto q = Draw(u"  A");
    ASSERT_EQ(submitted, 1u);
    EXPECT_EQ(q[0].x, 100 - 30 + 20 + 1);
    text->SetAlign(TextRenderer::kAlignCentre);
    q = Draw(u"AA");
    EXPECT_EQ(q[0].x, 100 - 10 + 1);
}

TEST_F(TextLayout, ControlCodesNeitherDrawNorAdvance) {
    Load(0);
    text->SetSpacing(2);
    text->SetPosition(0, 0);
    auto q = Draw(u"A\n\r\tA");
    ASSERT_EQ(submitted, 2u);
    EXPECT_EQ(q[4].x, 1 + 12);
}

TEST_F(TextLayout, EmptyTextSelectsThePassStateOnly) {
    Load(0);
    text->SetColor(255, 0, 0, 128);
    text->Draw(sprites, u"");
    EXPECT_EQ(sprites->GetCount(), 0u);
    const Renderer::SpriteRecord& r = sprites->GetCurrent();
    EXPECT_EQ(r.blend, 1u);
    EXPECT_EQ(r.pixelShader, text->GetPlainShader());
    EXPECT_EQ(r.constantBlock, 0);
    EXPECT_EQ(r.filter[0], 1);
    EXPECT_EQ(r.filter[1], 1);
    EXPECT_EQ(r.address[0], 0);
}

TEST_F(TextLayout, OutlineFontsUseTheOutlineShaderAndTheNextChannel) {
    Load(FontDescription::kFlagOutline);
    text->SetPosition(0, 0);
    auto q = Draw(u"AB");
    ASSERT_EQ(submitted, 2u);
    EXPECT_EQ(record.pixelShader, text->GetOutlineShader());
    EXPECT_EQ(q[0].colour0, 0x0000FF00u);
    EXPECT_EQ(q[0].colour1, 0x00FF0000u); // outline beside the glyph
    EXPECT_EQ(q[4].colour1, 0xFF000000u);
    // 8 words of colours: the 32-byte parameter buffer.
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 2u); // the page changes between the glyphs
    EXPECT_EQ(draws[0]->pixelShader, text->GetOutlineShader());
}

TEST_F(TextLayout, GlyphsWithoutAPageDrawAsBlanksAndMissingPagesAsDefault) {
    Load(0, /*withPages=*/false);
    EXPECT_EQ(text->GetPage(0), nullptr);
    text->SetPosition(0, 0);
    auto q = Draw(u"CA");
    ASSERT_EQ(submitted, 1u); // 'C' names page 5 of 2: no glyph
    EXPECT_EQ(q[0].x, 10 + 1);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 1u);
    const Graphics::StageBindings& ps = draws[0]->stages[Graphics::kStagePixel];
    ASSERT_GE(ps.textureCount, 1u);
    EXPECT_EQ(ps.textures[0].texture, sprites->GetDefaultTexture());
}

TEST_F(TextLayout, ShadowPassDrawsFirstWithTheShadowColourAtTheOffset) {
    Load(FontDescription::kFlagOutline);
    text->SetShadowColor(0, 0, 0, 255);
    Renderer::TextRendererTestAccess::SetShadowOffset(*text, 2.5f);
    text->SetPosition(10, 10);
    auto q = Draw(u"A");
    ASSERT_EQ(submitted, 2u);
    EXPECT_FLOAT_EQ(q[0].x, 13.5f); // shadow: offset, not truncated
    EXPECT_FLOAT_EQ(q[0].y, 10.5f);
    EXPECT_EQ(q[4].x, 11);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->pixelShader, text->GetPlainShader());
    EXPECT_EQ(draws[1]->pixelShader, text->GetOutlineShader());
    // Setting the shadow colour again puts the offset back to 0.
    text->SetShadowColor(0, 0, 0, 255);
    Draw(u"A");
    EXPECT_EQ(submitted, 1u);
}

TEST(TextRendererWithoutFont, StaysEmptyAndDrawsNothing) {
    testing_graphics::GraphicsStack stack;
    ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 640, 480));
    {
        testing_font::FontFolder folder; // no files in it
        TextRenderer* text = new TextRenderer();
        EXPECT_FALSE(text->HasFont());
        SpriteRenderer* sprites = new SpriteRenderer(8, 2, "t");
        text->Draw(sprites, u"ABC");
        EXPECT_EQ(sprites->GetCount(), 0u);
        EXPECT_EQ(text->MeasureWidth(u"ABC"), 0.0f);
        sprites->Release();
        text->Release();
        // A description shorter than its header is no font either.
        folder.Write("script.mfd", std::vector<uint8_t>(40, 1));
        text = new TextRenderer();
        EXPECT_FALSE(text->HasFont());
        text->Release();
    }
    stack.Stop();
}

} // namespace
