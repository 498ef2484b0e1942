// Sprites drawn by the GL backend (llvmpipe under the offscreen video driver)
// and read back from the back buffer.
#include "support/GraphicsFixture.h"
#include "support/PixelCheck.h"

#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/Texture.h"
#include "engine/renderer/SpriteRenderer.h"
#include "tools/dds/DdsWriter.h"

namespace {

using namespace Mireku;
using Renderer::SpriteRenderer;

constexpr int kSize = 128;

class SpritePixels : public testing::Test {
protected:
    void SetUp() override {
        if (!stack.Start(sys::gpu::Backend::OpenGL, kSize, kSize)) {
            stack.Stop();
            GTEST_SKIP() << "no GL context here";
        }
        renderer = new SpriteRenderer(64, 8, "Pixels");
    }
    void TearDown() override {
        for (Graphics::Texture* t : textures)
            t->Release();
        if (renderer)
            renderer->Release();
        stack.Stop();
    }
    Graphics::Texture* Texture(const std::vector<uint8_t>& dds) {
        Graphics::Texture* t = Graphics::CreateTextureFromMemory(
            dds.data(), static_cast<uint32_t>(dds.size()), Graphics::kTextureFormatFromFile);
        textures.push_back(t);
        return t;
    }
    // Flushes, executes over a background and reads the picture.
    void Draw(float r = 0, float g = 0, float b = 0) {
        renderer->Flush(kSize, kSize);
        const float clear[4] = {r, g, b, 1};
        stack.Execute(clear);
        pixels = stack.ReadBackBuffer();
        ASSERT_EQ(pixels.size(), static_cast<size_t>(kSize * kSize * 4));
    }
    ::testing::AssertionResult At(int x, int y, int r, int g, int b, int tolerance = 2) const {
        return testing_graphics::PixelIs(pixels, kSize, x, y, r, g, b, tolerance);
    }
    void Quad(float x, float y, float w, float h, uint32_t rgba) {
        renderer->SetRect(x, y, w, h);
        renderer->SetColor(0, rgba);
        renderer->Submit();
    }

    testing_graphics::GraphicsStack stack;
    SpriteRenderer* renderer = nullptr;
    std::vector<Graphics::Texture*> textures;
    std::vector<uint8_t> pixels;
};

TEST_F(SpritePixels, TexturedSpritesAppearWhereTheyWerePlaced) {
    // 8x8 RGBA: left half red, right half green.
    std::vector<uint8_t> rgba(8 * 8 * 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            uint8_t* p = &rgba[static_cast<size_t>((y * 8 + x) * 4)];
            p[0] = x < 4 ? 255 : 0;
            p[1] = x < 4 ? 0 : 255;
            p[3] = 255;
        }
    Graphics::Texture* split = Texture(
        tools::WriteDds(sys::DdsFormat::R8G8B8A8, 8, 8, 1, false, rgba.data(), rgba.size()));
    // 8x8 BC1: four solid blue blocks.
    uint8_t blocks[4 * 8];
    for (int i = 0; i < 4; ++i)
        tools::EncodeSolidBc1(0, 0, 255, blocks + i * 8);
    Graphics::Texture* blue =
        Texture(tools::WriteDds(sys::DdsFormat::BC1, 8, 8, 1, false, blocks, sizeof blocks));
    ASSERT_TRUE(split && blue);
    EXPECT_EQ(blue->GetWidth(), 8);

    renderer->SetTexture(split);
    renderer->SetTexCoord0(0, 0, 8, 8);
    Quad(10, 10, 32, 32, 0xFFFFFFFF);
    renderer->SetTexture(blue);
    Quad(70, 80, 16, 16, 0xFFFFFFFF);
    Draw();
    EXPECT_TRUE(At(12, 12, 255, 0, 0));
    EXPECT_TRUE(At(25, 40, 255, 0, 0));
    EXPECT_TRUE(At(27, 12, 0, 255, 0));
    EXPECT_TRUE(At(41, 41, 0, 255, 0));
    EXPECT_TRUE(At(9, 12, 0, 0, 0));  // just left of the sprite
    EXPECT_TRUE(At(42, 20, 0, 0, 0)); // just right
    EXPECT_TRUE(At(12, 42, 0, 0, 0)); // just below
    EXPECT_TRUE(At(70, 80, 0, 0, 255));
    EXPECT_TRUE(At(85, 95, 0, 0, 255));
    EXPECT_TRUE(At(86, 95, 0, 0, 0));
}

TEST_F(SpritePixels, TheFourBlendsGiveTheirColours) {
    // Source (1.0, 0.5, 0.0) with alpha 0.5 over the background (0.2, 0.4, 0.6).
    const uint32_t source = 0x800080FFu;
    for (uint32_t blend = 0; blend < 4; ++blend) {
        renderer->SetBlend(blend);
        Quad(static_cast<float>(blend * 32), 0, 32, 32, source);
    }
    Draw(0.2f, 0.4f, 0.6f);
    EXPECT_TRUE(At(16, 16, 255, 128, 0));      // opaque
    EXPECT_TRUE(At(48, 16, 153, 115, 77, 3));  // S a + B (1 - a)
    EXPECT_TRUE(At(80, 16, 179, 166, 153, 3)); // S a + B
    EXPECT_TRUE(At(112, 16, 0, 38, 153, 3));   // B - S a
    EXPECT_TRUE(At(16, 64, 51, 102, 153));     // background
}

TEST_F(SpritePixels, ScissorClipsAndAllZeroMeansTheWholeTarget) {
    renderer->SetScissor(0, 0, 64, 128);
    Quad(0, 0, 128, 64, 0xFF0000FFu);
    renderer->SetScissor(0, 0, 0, 0);
    Quad(0, 64, 128, 64, 0xFF00FF00u);
    Draw();
    EXPECT_TRUE(At(10, 10, 255, 0, 0));
    EXPECT_TRUE(At(63, 10, 255, 0, 0));
    EXPECT_TRUE(At(64, 10, 0, 0, 0));
    EXPECT_TRUE(At(120, 100, 0, 255, 0));
}

TEST_F(SpritePixels, HigherPriorityDrawsOverLowerWhateverTheOrder) {
    renderer->SetPriority(10);
    Quad(20, 20, 40, 40, 0xFF0000FFu); // red, submitted first
    renderer->SetPriority(5);
    Quad(40, 40, 40, 40, 0xFF00FF00u); // green, lower priority
    Draw();
    EXPECT_TRUE(At(50, 50, 255, 0, 0)); // the overlap shows red
    EXPECT_TRUE(At(70, 70, 0, 255, 0));
    EXPECT_TRUE(At(25, 25, 255, 0, 0));
}

} // namespace
