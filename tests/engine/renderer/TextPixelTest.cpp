// A line of text in a font made from DejaVu Sans, drawn with its outline by
// the GL backend and read back.
#include "support/FontTestSupport.h"
#include "support/GraphicsFixture.h"

#include "engine/renderer/SpriteRenderer.h"
#include "engine/renderer/TextRenderer.h"
#include "tools/font/FontBuilder.h"

#include <filesystem>

namespace {

using namespace Mireku;
using testing_font::kDejaVu;

constexpr int kSize = 128;

TEST(TextPixels, ALineOfTextAppearsWithItsOutline) {
    if (!std::filesystem::exists(kDejaVu))
        GTEST_SKIP() << "fonts-dejavu-core is not installed";
    testing_graphics::GraphicsStack stack;
    if (!stack.Start(sys::gpu::Backend::OpenGL, kSize, kSize)) {
        stack.Stop();
        GTEST_SKIP() << "no GL context here";
    }
    testing_font::FontFolder folder;
    tools::FontBuildOptions options;
    options.fontPath = kDejaVu;
    options.codes = tools::DefaultFontCodes();
    tools::FontBuildResult font;
    std::string error;
    ASSERT_TRUE(tools::BuildFont(options, font, error)) << error;
    folder.Write("script.mfd", font.description);
    for (size_t i = 0; i < font.pages.size(); ++i)
        folder.Write(tools::FontPageFileName(options.pageName, i), font.pages[i]);

    Renderer::TextRenderer* text = new Renderer::TextRenderer();
    Renderer::SpriteRenderer* sprites = new Renderer::SpriteRenderer(64, 8, "Text");
    ASSERT_TRUE(text->HasFont());
    text->SetColor(255, 255, 255, 255);
    text->SetOutlineColor(255, 0, 0, 255);
    text->SetPosition(8, 8);
    text->Draw(sprites, u"HI");
    EXPECT_EQ(sprites->GetCount(), 2u);
    sprites->Flush(kSize, kSize);
    const float black[4] = {0, 0, 0, 1};
    stack.Execute(black);
    std::vector<uint8_t> px = stack.ReadBackBuffer();
    ASSERT_EQ(px.size(), static_cast<size_t>(kSize * kSize * 4));

    // Two cells of 16 (half of 32) from x 8, 36 high with the outline margin.
    int white = 0, red = 0, outside = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const uint8_t* p = &px[static_cast<size_t>((y * kSize + x) * 4)];
            const bool inBox = x >= 0 && x < 8 + 2 * 16 + 24 && y >= 0 && y < 8 + 40;
            if (p[0] > 230 && p[1] > 230 && p[2] > 230)
                ++white;
            else if (p[0] > 200 && p[1] < 40 && p[2] < 40)
                ++red;
            if (!inBox && (p[0] | p[1] | p[2]))
                ++outside;
        }
    }
    EXPECT_GT(white, 60) << "glyph bodies";
    EXPECT_GT(red, 60) << "outline ring";
    EXPECT_EQ(outside, 0);
    // The left stem of the H is white, and the outline hugs it on its left.
    bool stem = false, ring = false;
    for (int x = 0; x < 20; ++x) {
        const uint8_t* p = &px[static_cast<size_t>((26 * kSize + x) * 4)];
        if (p[0] > 230 && p[1] > 230)
            stem = true;
        if (!stem && p[0] > 200 && p[1] < 40)
            ring = true;
    }
    EXPECT_TRUE(stem);
    EXPECT_TRUE(ring);
    sprites->Release();
    text->Release();
    stack.Stop();
}

} // namespace
