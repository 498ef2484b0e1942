#include "support/GraphicsFixture.h"

#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "engine/renderer/BuiltinShaders.h"
#include "engine/resource/ResourceManager.h"
#include "sys/gpu/objects.h"
#include "sys/shader.h"
#include "tools/dds/DdsWriter.h"

#include <cfloat>
#include <cstring>

namespace {

using namespace Mireku::Graphics;
namespace Builtin = Mireku::Renderer::BuiltinShaders;

class ResourceCreation : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 640, 480)); }
    void TearDown() override {
        for (Mireku::Resource::ManagedResource* r : made)
            r->Release();
        stack.Stop();
    }
    template <class T> T* Keep(T* r) {
        EXPECT_NE(r, nullptr);
        made.push_back(r);
        return r;
    }
    testing_graphics::GraphicsStack stack;
    std::vector<Mireku::Resource::ManagedResource*> made;
};

TEST_F(ResourceCreation, DepthTestIsOffOnlyForNoWriteAndAlways) {
    auto* off = Keep(CreateDepthStencilState(0, 7));
    EXPECT_FALSE(off->GetState()->desc.depthEnable);
    auto* readOnly = Keep(CreateDepthStencilState(0, 3));
    EXPECT_TRUE(readOnly->GetState()->desc.depthEnable);
    EXPECT_FALSE(readOnly->GetState()->desc.depthWrite);
    EXPECT_EQ(readOnly->GetState()->desc.depthFunc, sys::gpu::Comparison::LessEqual);
    auto* full = Keep(CreateDepthStencilState(1, 7));
    EXPECT_TRUE(full->GetState()->desc.depthEnable);
    EXPECT_TRUE(full->GetState()->desc.depthWrite);
    EXPECT_FALSE(full->GetState()->desc.stencilEnable);
}

TEST_F(ResourceCreation, RasterizerStatesFromIndices) {
    const auto& d = Keep(CreateRasterizerState(1, 2, 1))->GetState()->desc;
    EXPECT_EQ(d.fill, sys::gpu::FillMode::Wireframe);
    EXPECT_EQ(d.cull, sys::gpu::CullMode::Back);
    EXPECT_TRUE(d.frontCounterClockwise);
    EXPECT_TRUE(d.scissor);
    EXPECT_TRUE(d.depthClip);
    EXPECT_FALSE(Keep(CreateRasterizerState(0, 0, 0))->GetState()->desc.scissor);
}

TEST_F(ResourceCreation, SamplerFilterByKindAndMipFlag) {
    using F = sys::gpu::Filter;
    EXPECT_EQ(Keep(CreateSamplerState(0, 0, 0, 0, 0, 0))->GetState()->desc.filter,
              F::MinMagMipPoint);
    EXPECT_EQ(Keep(CreateSamplerState(0, 1, 0, 0, 0, 0))->GetState()->desc.filter,
              F::MinMagPointMipLinear);
    EXPECT_EQ(Keep(CreateSamplerState(1, 0, 0, 0, 0, 0))->GetState()->desc.filter,
              F::MinMagLinearMipPoint);
    const auto& aniso0 = Keep(CreateSamplerState(2, 0, 3, 1, 2, 1))->GetState()->desc;
    const auto& aniso1 = Keep(CreateSamplerState(2, 1, 4, 0, 0, 0))->GetState()->desc;
    EXPECT_EQ(aniso0.filter, F::Anisotropic);
    EXPECT_EQ(aniso1.filter, F::Anisotropic);
    EXPECT_EQ(aniso0.maxAnisotropy, 8u);
    EXPECT_EQ(aniso1.maxAnisotropy, 16u);
    EXPECT_EQ(aniso0.addressU, sys::gpu::AddressMode::Wrap);
    EXPECT_EQ(aniso0.addressV, sys::gpu::AddressMode::Mirror);
    EXPECT_EQ(aniso0.addressW, sys::gpu::AddressMode::Clamp);
    EXPECT_EQ(aniso0.comparison, sys::gpu::Comparison::Less);
    EXPECT_EQ(aniso1.comparison, sys::gpu::Comparison::Always);
    EXPECT_EQ(aniso0.borderColour[2], FLT_MAX);
    EXPECT_EQ(aniso0.maxLod, FLT_MAX);
}

TEST_F(ResourceCreation, TheSpriteBlendsAreDescribedForEveryTarget) {
    using BF = sys::gpu::BlendFactor;
    using BO = sys::gpu::BlendOp;
    const auto& opaque = Keep(CreateBlendState(0, 0, 0, 0, 1, 0, 0, 1, 0))->GetState()->desc;
    EXPECT_FALSE(opaque.target[0].enable);
    const auto& alpha = Keep(CreateBlendState(1, 9, 9, 1, 1, 0, 5, 4, 0))->GetState()->desc;
    for (const auto& t : alpha.target) {
        EXPECT_TRUE(t.enable);
        EXPECT_EQ(t.srcColour, BF::SrcAlpha);
        EXPECT_EQ(t.destColour, BF::InvSrcAlpha);
        EXPECT_EQ(t.colourOp, BO::Add);
        EXPECT_EQ(t.srcAlpha, BF::One);
        EXPECT_EQ(t.destAlpha, BF::One);
        EXPECT_EQ(t.writeMask, 0xF);
    }
    const auto& sub = Keep(CreateBlendState(1, 0, 0, 1, 1, 0, 1, 4, 2))->GetState()->desc;
    EXPECT_EQ(sub.target[7].colourOp, BO::RevSubtract);
    EXPECT_EQ(sub.target[7].destColour, BF::One);
    EXPECT_FALSE(sub.alphaToCoverage);
}

TEST_F(ResourceCreation, LayoutStreamMaskCollectsInputSlots) {
    const VertexElement two[] = {{0, 0, kVertexR32G32Float, "POSITION", 0, 0},
                                 {1, 0, kVertexR8G8B8A8Unorm, "COLOR", 0, 0},
                                 {kVertexElementEnd, 0, 0, nullptr, 0, 0}};
    const VertexElement one[] = {{0, 0, kVertexR32G32Float, "POSITION", 0, 0},
                                 {0, 8, kVertexR32G32Float, "TEXTURE", 0, 0},
                                 {kVertexElementEnd, 0, 0, nullptr, 0, 0}};
    VertexLayout* a =
        Keep(CreateVertexLayout(two, Builtin::kSpriteVertexShader,
                                static_cast<uint32_t>(Builtin::kSpriteVertexShaderBytes)));
    VertexLayout* b =
        Keep(CreateVertexLayout(one, Builtin::kSpriteVertexShader,
                                static_cast<uint32_t>(Builtin::kSpriteVertexShaderBytes)));
    EXPECT_EQ(a->GetStreamMask(), 3u);
    EXPECT_EQ(b->GetStreamMask(), 1u);
    ASSERT_NE(b->GetLayout(), nullptr);
    const auto& e = b->GetLayout()->elements;
    ASSERT_EQ(e.size(), 2u);
    // Attributes are placed where the shader reads their semantic.
    EXPECT_EQ(e[1].location, static_cast<uint32_t>(sys::SemanticLocation("TEXTURE", 0)));
    EXPECT_EQ(e[1].element.format, sys::gpu::Format::R32G32_FLOAT);
    // A semantic the shader does not read fails validation: no device layout.
    const VertexElement stray[] = {{0, 0, kVertexR32Float, "NORMAL", 0, 0},
                                   {kVertexElementEnd, 0, 0, nullptr, 0, 0}};
    VertexLayout* c =
        Keep(CreateVertexLayout(stray, Builtin::kSpriteVertexShader,
                                static_cast<uint32_t>(Builtin::kSpriteVertexShaderBytes)));
    EXPECT_EQ(c->GetLayout(), nullptr);
}

TEST_F(ResourceCreation, DynamicBuffersStageTwoFramesAndKeepTheLargestWrite) {
    VertexBuffer* dynamic = Keep(CreateVertexBuffer(256, 1, 0));
    VertexBuffer* fixed = Keep(CreateVertexBuffer(256, 0, 0));
    ASSERT_NE(dynamic->GetStaging(0), nullptr);
    ASSERT_NE(dynamic->GetStaging(1), nullptr);
    EXPECT_NE(dynamic->GetStaging(0), dynamic->GetStaging(1));
    EXPECT_EQ(fixed->GetStaging(0), nullptr);
    EXPECT_EQ(dynamic->GetUsage(), 1u);
    EXPECT_EQ(dynamic->GetByteSize(), 256u);
    const auto& desc = sys::gpu::Device::GetDesc(dynamic->GetBuffer());
    EXPECT_EQ(desc.usage, sys::gpu::Usage::Dynamic);
    EXPECT_EQ(desc.cpuAccess, uint32_t{sys::gpu::kCpuWrite});
    EXPECT_EQ(desc.bindFlags, uint32_t{sys::gpu::kBindVertexBuffer});
    dynamic->SetWriting(1);
    dynamic->Unlock(0, 96);
    dynamic->Unlock(0, 64);
    EXPECT_EQ(dynamic->GetPending(0), 96u);
    EXPECT_EQ(dynamic->GetPending(1), 0u);
    EXPECT_EQ(dynamic->IsWriting(), 0);
}

TEST_F(ResourceCreation, BufferOptionsAddUnorderedAccess) {
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    IndexBuffer* raw = Keep(CreateIndexBufferWithData(indices, sizeof indices, 0, 1));
    const auto& desc = sys::gpu::Device::GetDesc(raw->GetBuffer());
    EXPECT_EQ(desc.bindFlags,
              uint32_t{sys::gpu::kBindIndexBuffer} | uint32_t{sys::gpu::kBindUnorderedAccess});
    EXPECT_EQ(desc.miscFlags, uint32_t{sys::gpu::kMiscAllowRawViews});
    const sys::gpu::View* access = raw->GetUnorderedAccessView();
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->viewKind, sys::gpu::ViewKind::UnorderedAccess);
    EXPECT_EQ(access->buffer, raw->GetBuffer()) << "a view of the buffer itself";
    EXPECT_EQ(access->texture, nullptr);
    ConstantBuffer* cb = Keep(CreateConstantBuffer(64, 1, 2));
    EXPECT_EQ(sys::gpu::Device::GetDesc(cb->GetBuffer()).miscFlags,
              uint32_t{sys::gpu::kMiscDrawIndirectArgs});
    EXPECT_EQ(cb->GetData(), nullptr);
    EXPECT_EQ(cb->IsWriting(), 0);
    void* data = cb->AllocData(10);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(cb->IsWriting(), 1);
    cb->EndWrite();
    EXPECT_EQ(cb->IsWriting(), 0);
    EXPECT_EQ(Keep(CreateVertexBuffer(64, 1, 0))->GetUnorderedAccessView(), nullptr);
}

TEST_F(ResourceCreation, ShadersBindByGlobalIdsAtTheirOwnRegisters) {
    const char hlsl[] = R"(
        cbuffer CB_PixelShaderParameter : register(b3) { float4 c; };
        Texture2D g_Texture1 : register(t1);
        Texture2D g_Texture0 : register(t0);
        SamplerState g_Sampler1 : register(s2);
        float4 main(float4 p : SV_Position, float2 uv : TEXCOORD0) : SV_Target0 {
            return g_Texture0.Sample(g_Sampler1, uv) + g_Texture1.Sample(g_Sampler1, uv) * c;
        })";
    std::vector<uint32_t> spirv;
    std::string log;
    ASSERT_TRUE(
        sys::CompileHlslToSpirv(hlsl, sizeof hlsl - 1, sys::ShaderStage::Pixel, "main", spirv, log))
        << log;
    PixelShader* ps =
        Keep(CreatePixelShader(spirv.data(), static_cast<uint32_t>(spirv.size() * 4)));
    ASSERT_NE(ps->GetShader(), nullptr);
    ASSERT_EQ(ps->GetConstantBuffers().size(), 1u);
    EXPECT_EQ(ps->GetConstantBuffers()[0].id, GetConstantBufferId("CB_PixelShaderParameter"));
    EXPECT_EQ(ps->GetConstantBuffers()[0].slot, 3u);
    ASSERT_EQ(ps->GetTextures().size(), 2u);
    // In register order, whatever the order of declaration.
    EXPECT_EQ(ps->GetTextures()[0].id, GetTextureId("g_Texture0"));
    EXPECT_EQ(ps->GetTextures()[0].slot, 0u);
    EXPECT_EQ(ps->GetTextures()[1].id, GetTextureId("g_Texture1"));
    EXPECT_EQ(ps->GetTextures()[1].slot, 1u);
    ASSERT_EQ(ps->GetSamplers().size(), 1u);
    EXPECT_EQ(ps->GetSamplers()[0].id, GetSamplerId("g_Sampler1"));
    EXPECT_EQ(ps->GetSamplers()[0].slot, 2u);
    // The device shader samples each texture with its sampler's register.
    const auto& bindings = ps->GetShader()->bindings;
    ASSERT_EQ(bindings.size(), 3u);
    EXPECT_EQ(bindings[1].kind, sys::gpu::BindingKind::Texture);
    EXPECT_EQ(bindings[1].samplerSlot, 2u);

    VertexShader* vs = Keep(CreateVertexShader(
        Builtin::kSpriteVertexShader, static_cast<uint32_t>(Builtin::kSpriteVertexShaderBytes)));
    ASSERT_EQ(vs->GetConstantBuffers().size(), 2u);
    EXPECT_EQ(vs->GetConstantBuffers()[1].id, GetConstantBufferId("CB_VS_1"));
    EXPECT_EQ(vs->GetShader()->inputs.size(), 5u);

    // Code that is not a shader gives a wrapper around nothing.
    const uint32_t junk[6] = {1, 2, 3, 4, 5, 6};
    PixelShader* empty = Keep(CreatePixelShader(junk, sizeof junk));
    EXPECT_EQ(empty->GetShader(), nullptr);
    EXPECT_TRUE(empty->GetTextures().empty());
}

TEST_F(ResourceCreation, TexturesKeepTheFileFormatOrRefuseAnother) {
    std::vector<uint8_t> px(16 * 8 * 4, 7);
    auto dds = tools::WriteDds(sys::DdsFormat::R8G8B8A8, 16, 8, 1, false, px.data(), px.size());
    Texture* kept = Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                 kTextureFormatFromFile));
    EXPECT_EQ(kept->GetFormat(), 0u);
    EXPECT_EQ(kept->GetWidth(), 16);
    EXPECT_EQ(kept->GetHeight(), 8);
    EXPECT_FLOAT_EQ(kept->GetInvWidth(), 1.0f / 16);
    EXPECT_EQ(kept->GetKind(), uint32_t{Texture::kTexture});
    EXPECT_EQ(kept->GetRenderTargetView(), nullptr);
    ASSERT_NE(kept->GetTexture(), nullptr);
    EXPECT_EQ(sys::gpu::Device::GetDesc(kept->GetTexture()).format,
              sys::gpu::Format::R8G8B8A8_UNORM);
    const sys::gpu::View* view = kept->GetShaderResourceView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->viewKind, sys::gpu::ViewKind::ShaderResource);
    EXPECT_EQ(sys::gpu::Device::GetTexture(view), kept->GetTexture());
    Texture* named = Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                  kTextureR8G8B8A8Unorm));
    EXPECT_EQ(named->GetFormat(), 28u);
    Texture* other =
        Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()), kTextureBC1));
    EXPECT_EQ(other->GetTexture(), nullptr);
    // A malformed file gives a wrapper around nothing, not a crash.
    Texture* bad = Keep(CreateTextureFromMemory(dds.data(), 100, kTextureFormatFromFile));
    EXPECT_EQ(bad->GetTexture(), nullptr);
    EXPECT_EQ(bad->GetWidth(), 0);
}

TEST_F(ResourceCreation, PixelsWithoutAlphaArriveOpaque) {
    std::vector<uint8_t> px(2 * 2 * 4, 0x11); // the fourth byte of each pixel is junk
    auto dds = tools::WriteDds(sys::DdsFormat::B8G8R8X8, 2, 2, 1, false, px.data(), px.size());
    Texture* t = Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                              kTextureFormatFromFile));
    ASSERT_NE(t->GetTexture(), nullptr);
    EXPECT_EQ(sys::gpu::Device::GetDesc(t->GetTexture()).format, sys::gpu::Format::B8G8R8A8_UNORM);
    const auto& initial = t->GetTexture()->initial; // kept until the device makes it
    ASSERT_EQ(initial.size(), 1u);
    ASSERT_EQ(initial[0].size(), 16u);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(initial[0][i], i % 4 == 3 ? 0xFF : 0x11) << i;
}

TEST_F(ResourceCreation, CubeMapsAndMipChainsReachTheDevice) {
    const size_t face = tools::DdsFaceBytes(sys::DdsFormat::BC3, 16, 16, 3);
    std::vector<uint8_t> px(face * 6, 3);
    auto dds = tools::WriteDds(sys::DdsFormat::BC3, 16, 16, 3, true, px.data(), px.size());
    Texture* cube = Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                 kTextureFormatFromFile));
    ASSERT_NE(cube->GetTexture(), nullptr);
    const auto& desc = sys::gpu::Device::GetDesc(cube->GetTexture());
    EXPECT_EQ(desc.mipLevels, 3u);
    EXPECT_EQ(desc.arraySize, 6u);
    EXPECT_EQ(desc.miscFlags, uint32_t{sys::gpu::kMiscTextureCube});
    EXPECT_EQ(desc.usage, sys::gpu::Usage::Immutable);
    EXPECT_EQ(desc.format, sys::gpu::Format::BC3_UNORM);
}

// A texture keeps the mip levels it was made with, for those that ask how
// deep its chain is (the effects' reflection level).
TEST_F(ResourceCreation, TexturesKeepTheirFilesMipLevels) {
    struct Row {
        const char* name;
        sys::DdsFormat format;
        uint32_t size;
        uint32_t mips;
        bool cube;
        uint32_t expected;
    };
    const Row rows[] = {
        {"OneLevel", sys::DdsFormat::R8G8B8A8, 16, 1, false, 1},
        {"NineLevelsDownTo1x1", sys::DdsFormat::R8G8B8A8, 256, 9, false, 9},
        {"ACubesChainPerFace", sys::DdsFormat::BC3, 16, 3, true, 3},
    };
    for (const Row& row : rows) {
        const size_t face = tools::DdsFaceBytes(row.format, row.size, row.size, row.mips);
        std::vector<uint8_t> px(face * (row.cube ? 6 : 1), 5);
        auto dds = tools::WriteDds(row.format, row.size, row.size, row.mips, row.cube, px.data(),
                                   px.size());
        Texture* t = Keep(CreateTextureFromMemory(dds.data(), static_cast<uint32_t>(dds.size()),
                                                  kTextureFormatFromFile));
        ASSERT_NE(t->GetTexture(), nullptr) << row.name;
        EXPECT_EQ(t->GetMipLevels(), row.expected) << row.name;
        EXPECT_EQ(sys::gpu::Device::GetDesc(t->GetTexture()).mipLevels, row.expected) << row.name;
    }
    // Nothing made, no levels; a render target has its one.
    const uint8_t junk[8] = {};
    EXPECT_EQ(Keep(CreateTextureFromMemory(junk, sizeof junk, kTextureFormatFromFile))
                  ->GetMipLevels(),
              0u);
    EXPECT_EQ(Keep(CreateRenderTargetTexture(8, 8, kTargetR8G8B8A8Unorm))->GetMipLevels(), 1u);
}

TEST_F(ResourceCreation, RenderTargetsHaveBothViews) {
    RenderTargetTexture* target = Keep(CreateRenderTargetTexture(720, 720, kTargetR8G8B8A8Unorm));
    EXPECT_EQ(target->GetKind(), uint32_t{Texture::kRenderTarget});
    // Both views are of the target's own texture: one to draw into, one to
    // read it through.
    const sys::gpu::View* drawn = target->GetRenderTargetView();
    const sys::gpu::View* read = target->GetShaderResourceView();
    ASSERT_NE(drawn, nullptr);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(drawn->viewKind, sys::gpu::ViewKind::RenderTarget);
    EXPECT_EQ(read->viewKind, sys::gpu::ViewKind::ShaderResource);
    ASSERT_NE(target->GetTexture(), nullptr);
    EXPECT_EQ(sys::gpu::Device::GetTexture(drawn), target->GetTexture());
    EXPECT_EQ(sys::gpu::Device::GetTexture(read), target->GetTexture());
    EXPECT_EQ(target->GetFormat(), 28u);
    EXPECT_EQ(target->GetWidth(), 720);
    const auto& desc = sys::gpu::Device::GetDesc(target->GetTexture());
    EXPECT_EQ(desc.bindFlags,
              uint32_t{sys::gpu::kBindRenderTarget} | uint32_t{sys::gpu::kBindShaderResource});
    EXPECT_EQ(desc.mipLevels, 1u);
    EXPECT_EQ(Keep(CreateRenderTargetTexture(8, 8, kTargetR16Float))->GetFormat(), 54u);
}

TEST(ResourceRelease, TheLastReleaseWaitsThreeFramesInTheManager) {
    testing_graphics::GraphicsStack stack;
    ASSERT_TRUE(stack.Start(sys::gpu::Backend::Null, 64, 64));
    auto* manager = Mireku::Resource::ResourceManager::CreateInstance();
    ASSERT_NE(manager, nullptr);
    Texture* texture = CreateRenderTargetTexture(8, 8, 0);
    ASSERT_NE(texture, nullptr);
    texture->AddRef();
    texture->Release();
    EXPECT_EQ(manager->GetPendingCount(), 0u);
    texture->Release(); // the last reference
    EXPECT_EQ(manager->GetPendingCount(), 1u);
    manager->Update();
    manager->Update();
    EXPECT_EQ(manager->GetPendingCount(), 1u);
    manager->Update();
    EXPECT_EQ(manager->GetPendingCount(), 0u);
    Mireku::Resource::ResourceManager::DestroyInstance();
    stack.Stop();
}

TEST(ResourceCreationWithoutDevice, FreeFunctionsGiveNull) {
    EXPECT_EQ(CreateRasterizerState(0, 0, 0), nullptr);
    EXPECT_EQ(CreateVertexBuffer(16, 1, 0), nullptr);
    EXPECT_EQ(CreateTextureFromMemory(nullptr, 0, kTextureFormatFromFile), nullptr);
    EXPECT_EQ(TextureFormatCode(kTextureBC7), 98u);
    EXPECT_EQ(TextureFormatCode(kTextureFormatFromFile), 0u);
    EXPECT_EQ(RenderTargetFormatCode(kTargetR32Float), 41u);
}

} // namespace
