#include "support/GraphicsFixture.h"

#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/SortKey.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/renderer/SpriteRenderer.h"
#include "tools/dds/DdsWriter.h"

namespace {

using namespace Mireku;
using Graphics::DrawPayload;
using Renderer::SpriteRenderer;

class SpriteBatching : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 1280, 720));
        renderer = new SpriteRenderer(8, 4, "Test");
        ASSERT_NE(renderer, nullptr);
        texture = MakeTexture(16, 8);
        other = MakeTexture(4, 4);
    }
    void TearDown() override {
        if (texture)
            texture->Release();
        if (other)
            other->Release();
        if (renderer)
            renderer->Release();
        stack.Stop();
    }
    static Graphics::Texture* MakeTexture(uint32_t w, uint32_t h) {
        std::vector<uint8_t> pixels(w * h * 4, 0x80);
        auto dds =
            tools::WriteDds(sys::DdsFormat::R8G8B8A8, w, h, 1, false, pixels.data(), pixels.size());
        return Graphics::CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                 Graphics::kTextureFormatFromFile);
    }
    void Sprite(float x) {
        renderer->SetRect(x, 10, 20, 30);
        renderer->Submit();
    }
    // The texture bound to "g_Texture0" in the pixel stage of a draw.
    static const Graphics::Texture* PixelTexture(const DrawPayload* d) {
        const Graphics::StageBindings& s = d->stages[Graphics::kStagePixel];
        return s.textureCount ? s.textures[0].texture : nullptr;
    }
    static const float* ConstantData(const DrawPayload* d, uint32_t stage, uint32_t slot) {
        const Graphics::StageBindings& s = d->stages[stage];
        for (uint32_t i = 0; i < s.constantBufferCount; ++i)
            if (s.constantBuffers[i].slot == slot)
                return static_cast<const float*>(s.constantBuffers[i].data);
        return nullptr;
    }
    const Renderer::SpriteVertex* Staged() const {
        return reinterpret_cast<const Renderer::SpriteVertex*>(
            renderer->GetVertexBuffer()->GetStaging(0));
    }

    testing_graphics::GraphicsStack stack;
    SpriteRenderer* renderer = nullptr;
    Graphics::Texture* texture = nullptr;
    Graphics::Texture* other = nullptr;
};

TEST_F(SpriteBatching, UnchangedStateIsOneDrawAndColourDoesNotSplit) {
    renderer->SetTexture(texture);
    for (int i = 0; i < 5; ++i) {
        renderer->SetColor(0, 0xFF000000u | static_cast<uint32_t>(i));
        Sprite(static_cast<float>(i * 30));
    }
    renderer->Flush(1280, 720);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->count, 30u);
    EXPECT_EQ(draws[0]->start, 0u);
    EXPECT_EQ(draws[0]->topology, 3u);
    EXPECT_EQ(PixelTexture(draws[0]), texture);
    EXPECT_EQ(renderer->GetLastFlushVertices(), 20u);
    EXPECT_EQ(renderer->GetVertexBuffer()->GetPending(0), 20u * 32u);
    // Vertices in submission order, colour per sprite.
    const Renderer::SpriteVertex* v = Staged();
    EXPECT_EQ(v[4 * 3].x, 90.0f);
    EXPECT_EQ(v[4 * 3 + 3].x, 110.0f);
    EXPECT_EQ(v[4 * 3 + 3].y, 40.0f);
    EXPECT_EQ(v[4 * 3].colour0, 0xFF000003u);
    EXPECT_EQ(renderer->GetCount(), 0u);
}

TEST_F(SpriteBatching, TextureChangeStartsANewDrawAtTheNextQuad) {
    renderer->SetTexture(texture);
    Sprite(0);
    Sprite(10);
    renderer->SetTexture(other);
    Sprite(20);
    renderer->SetTexture(other); // same texture again: no new group
    Sprite(30);
    renderer->Flush(1280, 720);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->count, 12u);
    EXPECT_EQ(draws[0]->start, 0u);
    EXPECT_EQ(draws[1]->count, 12u);
    EXPECT_EQ(draws[1]->start, 12u);
    EXPECT_EQ(PixelTexture(draws[0]), texture);
    EXPECT_EQ(PixelTexture(draws[1]), other);
    // Texture sizes reach the vertex shader as reciprocals.
    const float* size0 = ConstantData(draws[0], Graphics::kStageVertex, 1);
    const float* size1 = ConstantData(draws[1], Graphics::kStageVertex, 1);
    ASSERT_TRUE(size0 && size1);
    EXPECT_FLOAT_EQ(size0[0], 1.0f / 16);
    EXPECT_FLOAT_EQ(size0[1], 1.0f / 8);
    EXPECT_FLOAT_EQ(size1[0], 1.0f / 4);
    const float* screen = ConstantData(draws[0], Graphics::kStageVertex, 0);
    ASSERT_TRUE(screen);
    EXPECT_FLOAT_EQ(screen[0], 2.0f / 1280);
    EXPECT_FLOAT_EQ(screen[1], -2.0f / 720);
    EXPECT_FLOAT_EQ(screen[2], -1.0f);
    EXPECT_FLOAT_EQ(screen[3], 1.0f);
}

TEST_F(SpriteBatching, NullTextureDrawsWithTheDefaultTextureAndUnitSize) {
    renderer->SetTexture(texture);
    Sprite(0);
    renderer->SetTexture(nullptr);
    Sprite(10);
    renderer->Flush(720, 720);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(PixelTexture(draws[1]), renderer->GetDefaultTexture());
    ASSERT_NE(renderer->GetDefaultTexture()->GetTexture(), nullptr);
    EXPECT_EQ(renderer->GetDefaultTexture()->GetWidth(), 1);
    const float* size = ConstantData(draws[1], Graphics::kStageVertex, 1);
    ASSERT_TRUE(size);
    EXPECT_EQ(size[0], 1.0f); // not the previous texture's 1/16
    EXPECT_EQ(size[1], 1.0f);
}

TEST_F(SpriteBatching, OverflowDropsSpritesAndDrawsExactlyCapacity) {
    for (int i = 0; i < 12; ++i)
        Sprite(static_cast<float>(i));
    EXPECT_EQ(renderer->GetCount(), 8u);
    renderer->Flush(1280, 720);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->count, 48u);
    EXPECT_EQ(Staged()[28].x, 7.0f); // the last sprite kept is the eighth
    EXPECT_EQ(renderer->GetVertexBuffer()->GetPending(0), 8u * 4 * 32);
}

TEST_F(SpriteBatching, EmptyFlushRecordsNoDrawButResetsTheRecord) {
    renderer->SetBlend(2);
    renderer->SetPriority(77);
    renderer->SetTexture(texture);
    renderer->Flush(1280, 720);
    EXPECT_TRUE(stack.Draws().empty());
    const Renderer::SpriteRecord& r = renderer->GetCurrent();
    EXPECT_EQ(r.blend, 0u);
    EXPECT_EQ(r.stateWord, 0u);
    EXPECT_EQ(r.textures[0], nullptr);
    EXPECT_EQ(r.constantBlock, -1);
    EXPECT_EQ(r.dirty, static_cast<uint32_t>(Renderer::kDirtyAll));
    EXPECT_EQ(r.pixelShader, renderer->GetStandardPixelShader());
}

TEST_F(SpriteBatching, GroupHeadsCarryPriorityBlendSamplersAndScissor) {
    renderer->SetPriority(5);
    renderer->SetBlend(2);
    renderer->SetScissor(1, 2, 30, 40);
    renderer->SetFilter(0, 1);
    Sprite(0);
    renderer->SetPriority(9);
    Sprite(1);
    renderer->Flush(1280, 720);
    auto commands = stack.Commands();
    // Scissor, draw, draw.
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0]->type, Graphics::kCommandSetScissor);
    const auto* rect = reinterpret_cast<const Graphics::RectPayload*>(
        Graphics::ContextBuffer::GetInstance()->GetCurrentBlock() + commands[0]->payload);
    EXPECT_EQ(rect->x, 1);
    EXPECT_EQ(rect->height, 40);
    EXPECT_EQ(commands[1]->keyHigh, 5u);
    EXPECT_EQ(commands[2]->keyHigh, 9u);
    auto draws = stack.Draws();
    EXPECT_EQ(draws[0]->blendState, renderer->GetBlendState(2));
    const Graphics::StageBindings& ps = draws[0]->stages[Graphics::kStagePixel];
    ASSERT_EQ(ps.samplerCount, 1u);
    EXPECT_EQ(ps.samplers[0].sampler, renderer->GetSamplerState(2)); // linear, clamp
}

TEST_F(SpriteBatching, SortFieldClearsAndSettersOnlyDirtyOnChange) {
    renderer->Submit(); // spend the reset mask
    renderer->SetBlend(0);
    renderer->SetPriority(0);
    renderer->ClearSortField1();
    renderer->ClearSortField2();
    renderer->ClearSortField3();
    renderer->SetClamp(0);
    renderer->SetFilter(1, 0);
    renderer->SetTexture(nullptr);
    renderer->SetPixelShader(nullptr);
    EXPECT_EQ(renderer->GetCurrent().dirty, 0u);
    renderer->SetScissor(0, 0, 0, 0); // always marks
    EXPECT_EQ(renderer->GetCurrent().dirty, static_cast<uint32_t>(Renderer::kDirtyScissor));
    renderer->SetPriority(0x7FFFF); // keeps the low 18 bits
    EXPECT_EQ(renderer->GetCurrent().stateWord, 0x3FFFFu);
}

TEST_F(SpriteBatching, PixelConstantsPickTheSmallestBufferThatHoldsThem) {
    const float six[6] = {1, 2, 3, 4, 5, 6};
    renderer->SetPixelShaderConstants(six, 6);
    Sprite(0);
    const float one[1] = {9};
    renderer->SetPixelShaderConstants(one, 1);
    Sprite(1);
    renderer->Flush(1280, 720);
    auto draws = stack.Draws();
    ASSERT_EQ(draws.size(), 2u);
    // The standard pixel shader reads no constants; the binding is on the
    // context, so look at what the context holds for the parameter name.
    const uint32_t id = Graphics::GetConstantBufferId("CB_PixelShaderParameter");
    Graphics::ConstantBuffer* last = Graphics::GetDrawContext()->GetConstantBuffer(id);
    EXPECT_EQ(last, renderer->GetParameterBuffer(0));
    ASSERT_NE(last->GetData(), nullptr);
    EXPECT_EQ(static_cast<const float*>(last->GetData())[0], 9.0f);
    EXPECT_EQ(static_cast<const float*>(last->GetData())[1], 0.0f);
}

TEST_F(SpriteBatching, ConstantBlocksBeyondTheCountAreIgnored) {
    const float v[1] = {1};
    for (int i = 0; i < 4; ++i)
        renderer->SetPixelShaderConstants(v, 1);
    EXPECT_EQ(renderer->GetCurrent().constantBlock, 3);
    renderer->SetPixelShaderConstants(v, 1); // a fifth block does not exist
    EXPECT_EQ(renderer->GetCurrent().constantBlock, 3);
    float many[65] = {};
    renderer->SetPixelShaderConstants(many, 65);
    EXPECT_EQ(renderer->GetCurrent().constantBlock, 3);
}

TEST_F(SpriteBatching, RectangleSettersPlaceTheFourCorners) {
    renderer->SetRectScaled(10, 20, 40, 20, 2, 0.5f);
    const Renderer::SpriteVertex* q = renderer->GetCurrent().vertices;
    EXPECT_FLOAT_EQ(q[0].x, -10);
    EXPECT_FLOAT_EQ(q[0].y, 25);
    EXPECT_FLOAT_EQ(q[3].x, 70);
    EXPECT_FLOAT_EQ(q[3].y, 35);
    renderer->SetRectScaledAbout(10, 20, 40, 20, 10, 20, 2);
    EXPECT_FLOAT_EQ(q[0].x, 10);
    EXPECT_FLOAT_EQ(q[3].x, 90);
    EXPECT_FLOAT_EQ(q[3].y, 60);
    renderer->SetRectRotated(0, 0, 20, 10, 3.14159265f / 2);
    // A quarter turn about (10, 5): top-left (-10, -5) goes to (5, -10).
    EXPECT_NEAR(q[0].x, 15, 1e-4);
    EXPECT_NEAR(q[0].y, -5, 1e-4);
    renderer->SetRectRotatedScaled(0, 0, 20, 10, 2, 0);
    EXPECT_NEAR(q[1].x, 30, 1e-4);
    EXPECT_NEAR(q[1].y, -5, 1e-4);
    renderer->SetRectRotatedScaled2(0, 0, 20, 10, 1, 3, 3.14159265f);
    EXPECT_NEAR(q[0].x, 20, 1e-4);
    EXPECT_NEAR(q[0].y, 20, 1e-4);
    renderer->SetTexCoord0(1, 2, 3, 4);
    EXPECT_EQ(q[3].u0, 4);
    EXPECT_EQ(q[3].v0, 6);
    EXPECT_EQ(q[1].v0, 2);
}

TEST_F(SpriteBatching, AFullCommandBlockSkipsTheFlushAndStillEmptiesTheBatch) {
    Sprite(0);
    Graphics::ContextBuffer* b = Graphics::ContextBuffer::GetInstance();
    b->AllocBack(testing_graphics::GraphicsStack::kBlockSize); // fills the block
    ASSERT_EQ(b->AllocBack(8), nullptr);
    renderer->Flush(1280, 720);
    EXPECT_TRUE(stack.Draws().empty());
    EXPECT_EQ(renderer->GetCount(), 0u);
}

// Each draw's key high word is its sprite's whole state word: sort fields
// another recorder left on the context never reach a sprite's draws, nor
// does a priority of its own.
TEST_F(SpriteBatching, EachDrawsKeyIsItsSpritesWholeStateWord) {
    using Graphics::SortKey::Encode;
    const struct {
        const char* name;
        uint32_t leftOnTheContext;
    } rows[] = {
        {"sort field 1 left set", Encode(0, 0xF, 0, 0)},
        {"sort field 2 left set", Encode(0, 0, 0xF, 0)},
        {"sort field 3 left set", Encode(0, 0, 0, 0x3F)},
        {"a higher priority left set", Encode(0x3FFFF, 0, 0, 0)},
    };
    for (const auto& row : rows) {
        const size_t before = stack.Commands().size();
        Graphics::GetDrawContext()->SetKeyHigh(row.leftOnTheContext);
        renderer->SetPriority(6);
        Sprite(0);
        renderer->SetPriority(7);
        Sprite(1);
        renderer->Flush(1280, 720);
        const auto commands = stack.Commands();
        std::vector<uint32_t> keys;
        for (size_t i = before; i < commands.size(); ++i)
            if (commands[i]->type == Graphics::kCommandDrawIndexed)
                keys.push_back(commands[i]->keyHigh);
        EXPECT_EQ(keys, (std::vector<uint32_t>{6, 7})) << row.name;
    }
}

} // namespace
