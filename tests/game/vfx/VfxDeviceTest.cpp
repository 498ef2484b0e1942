// The effects device on the null backend: what each draw records in the
// engine's command block, read back from the draw payloads.
#include "support/vfx/VfxDeviceRig.h"

#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/Driver.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "engine/resource/ResourceManager.h"
#include "game/vfx/DeviceInterface.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/Shader.h"
#include "game/vfx/Texture.h"
#include "game/vfx/VertexBuffer.h"
#include "game/vfx/VfxDevice.h"
#include "sys/gpu/objects.h"

#include <cstring>
#include <tuple>
#include <vector>

namespace {

namespace G = Mireku::Graphics;
using FulgorCore::IShader;
using FulgorCore::ShaderKey;

constexpr uint32_t kModelMorph = ShaderKey::kModel | ShaderKey::kMorphTargetBit;

class VfxDeviceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rig.Start(sys::gpu::Backend::Null, 64, 64));
        device = rig.device;
        simple = rig.Shader(ShaderKey::kSimple);
        ASSERT_NE(simple, nullptr);
        texture = rig.Texture(1, 1, {255, 255, 255, 255});
        ASSERT_NE(texture, nullptr);
    }
    void TearDown() override { rig.Stop(); }

    template <class T> T* Keep(T* object) { return rig.Keep(object); }
    // Buffers made through the device, kept until the rig stops.
    VertexBuffer* Vertices(uint32_t bytes, bool dynamic = true, const void* data = nullptr) {
        return Keep(static_cast<VertexBuffer*>(device->CreateVertexBuffer(bytes, dynamic, data)));
    }
    IndexBuffer* Indices(uint32_t bytes) {
        return Keep(static_cast<IndexBuffer*>(device->CreateIndexBuffer(bytes, true, nullptr)));
    }
    // The state a batch starts from: reset, then the billboard program.
    void Ready(IShader* shader = nullptr) {
        device->ResetRenderState();
        device->SetShader(shader ? shader : simple);
    }

    // Every draw recorded so far, indexed or not, in recording order.
    std::vector<const G::DrawPayload*> Draws() const {
        std::vector<const G::DrawPayload*> out;
        for (G::CommandHeader* h : stack.Commands())
            if (h->type == G::kCommandDraw || h->type == G::kCommandDrawIndexed)
                out.push_back(reinterpret_cast<const G::DrawPayload*>(
                    G::ContextBuffer::GetInstance()->GetCurrentBlock() + h->payload));
        return out;
    }
    // The pixel stage's entry of a register, null when the draw has none.
    template <class Entry>
    static const Entry* BySlot(const Entry* entries, uint32_t count, uint32_t slot) {
        for (uint32_t i = 0; i < count; ++i)
            if (entries[i].slot == slot)
                return &entries[i];
        return nullptr;
    }
    static const G::TextureEntry* TextureAt(const G::DrawPayload& p, uint32_t slot) {
        const G::StageBindings& s = p.stages[G::kStagePixel];
        return BySlot(s.textures, s.textureCount, slot);
    }
    static const G::SamplerEntry* SamplerAt(const G::DrawPayload& p, uint32_t slot) {
        const G::StageBindings& s = p.stages[G::kStagePixel];
        return BySlot(s.samplers, s.samplerCount, slot);
    }
    // The constants a draw carries for a stage: 22 vertex or 49 pixel
    // registers of four floats.
    static const float* Snapshot(const G::DrawPayload& p, G::ShaderStage stage) {
        const G::StageBindings& s = p.stages[stage];
        return s.constantBufferCount ? static_cast<const float*>(s.constantBuffers[0].data)
                                     : nullptr;
    }

    testsupport::VfxDeviceRig rig;
    testing_graphics::GraphicsStack& stack = rig.stack;
    testsupport::SampleShaders& shaders = rig.shaders;
    VfxDevice* device = nullptr;
    IShader* simple = nullptr;
    FulgorCore::ITexture* texture = nullptr;
};

// The state tables, made once in index order, against the descriptions the
// index stands for.
TEST_F(VfxDeviceTest, StateTablesDescribeTheirIndices) {
    using sys::gpu::AddressMode;
    using sys::gpu::Filter;
    struct SamplerCase {
        uint32_t index;
        Filter filter;
        uint32_t anisotropy;
        AddressMode u, v;
    };
    const SamplerCase samplers[] = {
        {0, Filter::MinMagMipPoint, 1, AddressMode::Clamp, AddressMode::Clamp},
        {12, Filter::MinMagMipLinear, 1, AddressMode::Wrap, AddressMode::Clamp},
        {20, Filter::Anisotropic, 4, AddressMode::Clamp, AddressMode::Mirror},
        {35, Filter::Anisotropic, 8, AddressMode::Mirror, AddressMode::Mirror},
    };
    for (const SamplerCase& c : samplers) {
        const sys::gpu::SamplerDesc& d = device->GetSamplerState(c.index)->GetState()->desc;
        EXPECT_EQ(
            std::tuple(d.filter, d.maxAnisotropy, d.addressU, d.addressV, d.addressW, d.comparison),
            std::tuple(c.filter, c.anisotropy, c.u, c.v, AddressMode::Clamp,
                       sys::gpu::Comparison::Always))
            << c.index;
    }
    EXPECT_EQ(device->GetSamplerState(36), nullptr);

    using sys::gpu::Comparison;
    struct DepthCase {
        uint32_t index;
        bool enable, write;
        Comparison comparison;
    };
    const DepthCase depths[] = {
        {0, false, false, Comparison::Always}, {1, true, false, Comparison::LessEqual},
        {2, true, true, Comparison::Always},   {3, true, true, Comparison::LessEqual},
        {4, false, false, Comparison::Always}, {5, true, false, Comparison::Greater},
        {6, true, true, Comparison::Always},   {7, true, true, Comparison::Greater},
    };
    for (const DepthCase& c : depths) {
        const sys::gpu::DepthStencilDesc& d = device->GetDepthState(c.index)->GetState()->desc;
        EXPECT_EQ(std::tuple(d.depthEnable, d.depthWrite, c.enable ? d.depthFunc : c.comparison,
                             d.stencilEnable),
                  std::tuple(c.enable, c.write, c.comparison, false))
            << c.index;
    }

    using sys::gpu::CullMode;
    const CullMode culls[4] = {CullMode::Back, CullMode::Front, CullMode::None, CullMode::None};
    for (uint32_t i = 0; i < 8; ++i) {
        const sys::gpu::RasterizerDesc& d = device->GetRasterizerState(i)->GetState()->desc;
        EXPECT_EQ(std::tuple(d.cull, d.fill, d.frontCounterClockwise, d.scissor),
                  std::tuple(culls[i / 2],
                             i % 2 ? sys::gpu::FillMode::Wireframe : sys::gpu::FillMode::Solid,
                             true, false))
            << i;
    }

    using sys::gpu::BlendFactor;
    using sys::gpu::BlendOp;
    struct BlendCase {
        bool enable;
        BlendFactor source, destination;
        BlendOp op;
    };
    const BlendCase blends[6] = {
        {false, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, BlendOp::Add},
        {true, BlendFactor::SrcAlpha, BlendFactor::InvSrcAlpha, BlendOp::Add},
        {true, BlendFactor::SrcAlpha, BlendFactor::One, BlendOp::Add},
        {true, BlendFactor::SrcAlpha, BlendFactor::One, BlendOp::RevSubtract},
        {true, BlendFactor::Zero, BlendFactor::SrcColour, BlendOp::Add},
        {true, BlendFactor::One, BlendFactor::InvSrcColour, BlendOp::Add},
    };
    for (uint32_t i = 0; i < 6; ++i) {
        const sys::gpu::RenderTargetBlendDesc& d =
            device->GetBlendState(i)->GetState()->desc.target[0];
        const BlendCase& b = blends[i];
        EXPECT_EQ(std::tuple(d.enable, d.srcColour, d.destColour, d.colourOp, d.srcAlpha,
                             d.destAlpha, d.alphaOp, d.writeMask),
                  std::tuple(b.enable, b.source, b.destination, b.op, BlendFactor::One,
                             BlendFactor::Zero, BlendOp::Add, uint8_t{0xF}))
            << i;
    }
}

// Each draw picks the sampler (filter x 9 + address u x 3 + address v; an
// address of 3, which has no state, reads as clamp), the depth state
// (compare x 4 + write x 2 + test) and the blend state (modes 6 and 7, which
// have none, draw with blending off, as mode 0).
TEST_F(VfxDeviceTest, EachDrawPicksTheStatesOfItsSettings) {
    const struct {
        uint32_t filter, u, v, flag;
        uint8_t compare, write, test;
        uint32_t blend, sampler, depth, blendState;
    } draws[] = {
        {3, 2, 2, 1, 1, 1, 1, 0, 35, 7, 0},
        {1, 1, 0, 0, 0, 1, 0, 5, 12, 2, 5},
        {3, 3, 3, 0, 0, 0, 0, 6, 27, 0, 0},
        {1, 3, 2, 0, 1, 0, 1, 7, 11, 5, 0},
    };
    Ready();
    for (const auto& d : draws) {
        device->SetTexture(0, texture, d.filter, d.u, d.v, d.flag);
        device->SetDepthState(d.compare, d.write, d.test);
        device->SetBlendMode(d.blend, false);
        device->Draw(1, 3);
    }
    const auto recorded = Draws();
    ASSERT_EQ(recorded.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        ASSERT_NE(SamplerAt(*recorded[i], 0), nullptr);
        EXPECT_EQ(SamplerAt(*recorded[i], 0)->sampler, device->GetSamplerState(draws[i].sampler))
            << i;
        EXPECT_EQ(recorded[i]->depthStencilState, device->GetDepthState(draws[i].depth)) << i;
        EXPECT_EQ(recorded[i]->blendState, device->GetBlendState(draws[i].blendState)) << i;
        EXPECT_EQ(TextureAt(*recorded[i], 0)->texture, static_cast<Texture*>(texture)->Get());
    }
}

TEST_F(VfxDeviceTest, CullModesPickPassesAndRasterizerStates) {
    Ready();
    device->SetCullMode(3);
    device->Draw(1, 3);
    auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->rasterizerState, device->GetRasterizerState(2)); // front faces culled
    EXPECT_EQ(draws[1]->rasterizerState, device->GetRasterizerState(0)); // back faces culled

    device->SetCullMode(4);
    device->Draw(1, 3);
    EXPECT_EQ(Draws().size(), 2u);

    device->SetCullMode(1);
    device->SetBlendMode(0, true);
    device->Draw(1, 3);
    device->SetCullMode(2);
    device->Draw(1, 3);
    device->SetCullMode(0);
    device->SetBlendMode(0, false);
    device->Draw(1, 3);
    draws = Draws();
    ASSERT_EQ(draws.size(), 5u);
    EXPECT_EQ(draws[2]->rasterizerState, device->GetRasterizerState(3)); // front, wireframe
    EXPECT_EQ(draws[3]->rasterizerState, device->GetRasterizerState(5)); // none, wireframe
    EXPECT_EQ(draws[4]->rasterizerState, device->GetRasterizerState(0));
}

TEST_F(VfxDeviceTest, DrawsRecordTopologyCountsAndIndexOffset) {
    IndexBuffer* indices = Indices(256);
    ASSERT_NE(indices, nullptr);
    Ready();
    device->SetIndexBuffer(indices);
    device->DrawIndexed(1, 6, 9, 0);
    device->Draw(0, 5);
    device->Draw(2, 5); // no such primitive: nothing drawn
    std::vector<G::CommandHeader*> commands = stack.Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0]->type, G::kCommandDrawIndexed);
    EXPECT_EQ(commands[1]->type, G::kCommandDraw);
    const auto draws = Draws();
    EXPECT_EQ(draws[0]->indexBuffer, indices->Get());
    EXPECT_EQ(draws[0]->indexOffset, 12u);
    EXPECT_EQ(draws[0]->count, 9u);
    EXPECT_EQ(draws[0]->start, 0u);
    EXPECT_EQ(draws[0]->baseVertex, 0);
    EXPECT_EQ(draws[0]->topology, 3u);
    EXPECT_EQ(draws[1]->count, 5u);
    EXPECT_EQ(draws[1]->topology, 1u);
    ShaderObject* program = static_cast<Shader*>(simple)->Get();
    EXPECT_EQ(draws[0]->vertexShader, program->GetVertexShader());
    EXPECT_EQ(draws[0]->pixelShader, program->GetPixelShader());
    EXPECT_EQ(draws[0]->layout, program->GetLayout());
}

TEST_F(VfxDeviceTest, ConstantsFillRegistersAndEveryDrawKeepsItsSnapshot) {
    // Identity in vertex registers 0-7 and pixel registers 4-11.
    const float* vs = device->GetVertexConstants();
    const float* ps = device->GetPixelConstants();
    for (uint32_t r = 0; r < 8; ++r)
        for (uint32_t c = 0; c < 4; ++c) {
            EXPECT_EQ(vs[r * 4 + c], r % 4 == c ? 1.0f : 0.0f) << r;
            EXPECT_EQ(ps[(r + 4) * 4 + c], r % 4 == c ? 1.0f : 0.0f) << r;
        }

    Ready();
    float rows[12];
    for (int i = 0; i < 12; ++i)
        rows[i] = 10.0f + static_cast<float>(i);
    device->SetVertexShaderConstants(0, rows, 4, 12);
    device->SetVertexShaderConstants(13, rows, 0, 16); // a count of 0 changes nothing
    const float colour[4] = {1, 2, 3, 4};
    device->SetPixelShaderConstants(15, colour, 1, 16);
    device->Draw(1, 3);
    const float changed[4] = {5, 6, 7, 8};
    device->SetVertexShaderConstants(13, changed, 1, 16);
    device->Draw(1, 3);
    // The same values set again change nothing.
    device->SetVertexShaderConstants(13, changed, 1, 16);
    device->SetPixelShaderConstants(15, colour, 1, 16);
    device->Draw(1, 3);

    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 3u);
    const float* first = Snapshot(*draws[0], G::kStageVertex);
    const float* second = Snapshot(*draws[1], G::kStageVertex);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    for (uint32_t r = 0; r < 4; ++r) {
        for (uint32_t c = 0; c < 3; ++c)
            EXPECT_EQ(first[r * 4 + c], rows[r * 3 + c]);
        EXPECT_EQ(first[r * 4 + 3], r == 3 ? 1.0f : 0.0f); // the identity's fourth column
    }
    EXPECT_EQ(first[13 * 4], 0.0f); // the first snapshot stays as it was
    EXPECT_EQ(second[13 * 4 + 2], 7.0f);
    EXPECT_EQ(second[0], 10.0f);
    const float* pixel = Snapshot(*draws[0], G::kStagePixel);
    ASSERT_NE(pixel, nullptr);
    EXPECT_EQ(std::memcmp(pixel + 15 * 4, colour, sizeof colour), 0);
    EXPECT_EQ(pixel[4 * 4], 1.0f);
    // Draws whose constants did not change since the last share its copy.
    EXPECT_EQ(Snapshot(*draws[1], G::kStagePixel), pixel);
    EXPECT_EQ(Snapshot(*draws[2], G::kStagePixel), pixel);
    EXPECT_EQ(Snapshot(*draws[2], G::kStageVertex), second);
}

TEST_F(VfxDeviceTest, StreamsFollowTheLayoutAndANullBufferClearsOne) {
    IShader* morph = rig.Shader(kModelMorph);
    ASSERT_NE(morph, nullptr);
    auto* first = Vertices(4096);
    auto* second = Vertices(4096);
    ASSERT_TRUE(first && second);
    Ready(morph);
    device->SetVertexBuffer(0, first, 96, 48);
    device->SetVertexBuffer(1, second, 32, 28);
    device->Draw(1, 3);
    device->SetVertexBuffer(1, nullptr, 0, 0);
    device->Draw(1, 3);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->streams[0].buffer, first->Get());
    EXPECT_EQ(draws[0]->streams[0].offset, 96u);
    EXPECT_EQ(draws[0]->streams[0].stride, 48u);
    EXPECT_EQ(draws[0]->streams[1].buffer, second->Get());
    EXPECT_EQ(draws[0]->streams[1].offset, 32u);
    EXPECT_EQ(draws[0]->streams[1].stride, 28u);
    EXPECT_EQ(draws[1]->streams[0].buffer, first->Get());
    EXPECT_EQ(draws[1]->streams[1].buffer, nullptr);
}

TEST_F(VfxDeviceTest, LocksWriteTheRecordingHalfAndUnlocksRaiseItsPendingBytes) {
    auto* buffer = Vertices(1024);
    ASSERT_NE(buffer, nullptr);
    G::VertexBuffer* engine = buffer->Get();
    const uint32_t half = G::GetFrameIndex();

    auto* at = static_cast<uint8_t*>(device->LockVertexBuffer(buffer, 0, 100));
    EXPECT_EQ(at, engine->GetStaging(half));
    EXPECT_EQ(engine->IsWriting(), 1);
    device->UnlockVertexBuffer(buffer, 100);
    EXPECT_EQ(engine->IsWriting(), 0);
    EXPECT_EQ(engine->GetPending(half), 100u);
    at = static_cast<uint8_t*>(device->LockVertexBuffer(buffer, 256, 64));
    EXPECT_EQ(at, engine->GetStaging(half) + 256);
    device->UnlockVertexBuffer(buffer, 64);
    EXPECT_EQ(engine->GetPending(half), 320u);
    EXPECT_EQ(engine->GetPending(half ^ 1), 0u);
    // A smaller later write leaves the extent where it was.
    device->LockVertexBuffer(buffer, 0, 16);
    device->UnlockVertexBuffer(buffer, 16);
    EXPECT_EQ(engine->GetPending(half), 320u);

    auto* indices = Indices(512);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(device->LockIndexBuffer(indices, 64, 128), indices->Get()->GetStaging(half) + 64);
    device->UnlockIndexBuffer(indices, 100);
    EXPECT_EQ(indices->Get()->GetPending(half), 164u);
}

TEST_F(VfxDeviceTest, CreatedObjectsWrapTheEngineAndFailuresGiveNull) {
    const uint8_t box[96] = {1, 2, 3};
    auto* fixed = Vertices(96, false, box);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->Get()->GetByteSize(), 96u);
    EXPECT_EQ(fixed->Get()->GetUsage(), G::BaseBuffer::kUsageDefault);
    EXPECT_EQ(fixed->Get()->GetRefCount(), 1u); // the device kept no reference of its own
    // A static buffer has no staging memory to lock.
    EXPECT_EQ(device->LockVertexBuffer(fixed, 0, 12), nullptr);

    const uint8_t junk[16] = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    EXPECT_EQ(device->CreateTexture(junk, sizeof junk), nullptr);
    EXPECT_EQ(device->CreateTexture(nullptr, 100), nullptr);
    EXPECT_EQ(static_cast<Texture*>(texture)->Get()->GetWidth(), 1);
    EXPECT_FALSE(static_cast<Texture*>(texture)->IsUnbound());
    EXPECT_EQ(device->GetBuiltinTexture(0), nullptr);
    EXPECT_EQ(device->GetBuiltinTexture(1), nullptr);
    EXPECT_EQ(device->Reserved7(1, 2), 0u);
    EXPECT_FALSE(device->Reserved30(1));
    EXPECT_EQ(device->Reserved33(1), 0u);
}

// The slots no caller gives a meaning (the five with bodies in the host's
// interface, and 28 and 29) record nothing and leave the pending state: the
// next draw is the one it would have been.
TEST_F(VfxDeviceTest, SlotsWithoutACallerChangeNothing) {
    Ready();
    device->SetTexture(0, texture, 1, 1, 1, 0);
    device->SetBlendMode(2, false);
    DeviceInterface* host = device;
    host->Reserved28();
    host->Reserved29();
    host->Reserved34(1, 2, 3, 4, 5);
    host->Reserved35(1, 2, 3, 4, 5, 6);
    host->Reserved36(1, 2, 3, 4);
    host->Reserved37();
    host->Reserved38();
    EXPECT_TRUE(stack.Commands().empty());
    device->Draw(1, 3);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->blendState, device->GetBlendState(2));
    ASSERT_NE(TextureAt(*draws[0], 0), nullptr);
    EXPECT_EQ(TextureAt(*draws[0], 0)->texture, static_cast<Texture*>(texture)->Get());
}

TEST_F(VfxDeviceTest, ResetForgetsEverySetting) {
    auto* buffer = Vertices(256);
    Ready();
    device->SetTexture(0, texture, 1, 1, 1, 0);
    device->SetVertexBuffer(0, buffer, 16, 48);
    device->SetBlendMode(2, true);
    device->SetDepthState(1, 1, 1);
    device->SetCullMode(2);
    device->Draw(1, 3);
    Ready();
    device->Draw(1, 3);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0]->blendState, device->GetBlendState(2));
    EXPECT_EQ(draws[1]->blendState, device->GetBlendState(0));
    EXPECT_EQ(draws[1]->depthStencilState, device->GetDepthState(0));
    EXPECT_EQ(draws[1]->rasterizerState, device->GetRasterizerState(0));
    EXPECT_EQ(draws[1]->streams[0].buffer, nullptr);
    ASSERT_NE(TextureAt(*draws[1], 0), nullptr);
    EXPECT_EQ(TextureAt(*draws[1], 0)->texture, nullptr);
}

TEST_F(VfxDeviceTest, TheDepthTextureGoesToStageEightWithMirroredPointSampling) {
    Ready();
    device->SetDepthTexture(texture);
    device->Draw(1, 3);
    G::DrawContext* context = G::GetDrawContext();
    EXPECT_EQ(context->GetTexture(G::GetTextureId("g_TextureDepth")),
              static_cast<Texture*>(texture)->Get());
    EXPECT_EQ(context->GetSampler(G::GetSamplerId("g_SamplerDepth")), device->GetSamplerState(8));
}

TEST_F(VfxDeviceTest, EveryEngineObjectGoesBackThroughDeferredRelease) {
    auto* manager = Mireku::Resource::ResourceManager::CreateInstance();
    VfxDevice* other = new VfxDevice();
    ShaderKey key;
    IShader* shader = nullptr;
    ASSERT_TRUE(other->CreateShader(&key, &shader));
    shader->Release(); // the cache keeps the pair alive
    EXPECT_EQ(manager->GetPendingCount(), 0u);
    EXPECT_EQ(other->Release(), 0u);
    // 36 samplers, 8 depth, 8 rasterizer and 6 blend states, two constant
    // buffers, and the cached pair's layout and two programs.
    EXPECT_EQ(manager->GetPendingCount(), 36u + 8 + 8 + 6 + 2 + 3);
    manager->Finalize();
    Mireku::Resource::ResourceManager::DestroyInstance();
}

// Without a current shader (after a reset, or a material whose shader could
// not be made) nothing is recorded.
TEST_F(VfxDeviceTest, NoShaderRecordsNothing) {
    device->ResetRenderState();
    device->Draw(1, 3);
    device->DrawIndexed(1, 0, 3, 3);
    ShaderKey broken;
    broken.words[0] = ShaderKey::kShape;
    shaders.BreakVertex(1);
    IShader* none = simple;
    EXPECT_FALSE(device->CreateShader(&broken, &none));
    EXPECT_EQ(none, nullptr);
    device->SetShader(none);
    device->Draw(1, 3);
    EXPECT_TRUE(stack.Commands().empty());
}

// The constant snapshots come from the frame's command memory; when it
// cannot give them the draw is skipped.
TEST_F(VfxDeviceTest, ADrawWithoutConstantMemoryIsSkipped) {
    Ready();
    G::ContextBuffer* block = G::ContextBuffer::GetInstance();
    // A failed reservation leaves the block over-full: each case starts on a
    // fresh one.
    for (uint32_t left : {600u, 100u}) {
        block->Reset(0);
        G::GetDrawContext()->Clear();
        const uint32_t used = block->GetHeaderUsed() + block->GetPayloadUsed();
        ASSERT_NE(G::AllocFrameMemory(block->GetBlockSize() - used - left), nullptr);
        // 600 bytes hold the vertex snapshot (352) but not the pixel one
        // (784); 100 hold neither.
        device->Draw(1, 3);
        EXPECT_TRUE(stack.Commands().empty()) << left;
    }
}

// A stage without a texture, or with one that answers unbound, must not
// sample what an earlier draw of the frame bound under its name: it is
// bound to nothing. Without a texture the sampler stays as the earlier draw
// left it; an unbound texture's sampler is set as for any texture.
TEST_F(VfxDeviceTest, AStageWithoutATextureOrWithAnUnboundOneBindsNone) {
    struct UnboundTexture : Texture {
        using Texture::Texture;
        bool IsUnbound() override { return true; }
    };
    auto* unbound = Keep(new UnboundTexture(static_cast<Texture*>(texture)->Get()));
    Ready();
    device->SetTexture(0, texture, 0, 0, 0, 0);
    device->SetTexture(1, texture, 0, 0, 0, 0);
    device->Draw(1, 3);
    device->SetTexture(0, nullptr, 1, 1, 1, 0);
    device->SetTexture(1, unbound, 1, 1, 0, 0);
    device->Draw(1, 3);
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 2u);
    for (uint32_t slot : {0u, G::GetTextureId("g_TextureColor2")}) {
        ASSERT_TRUE(TextureAt(*draws[0], slot) && TextureAt(*draws[1], slot)) << slot;
        EXPECT_EQ(TextureAt(*draws[0], slot)->texture, static_cast<Texture*>(texture)->Get());
        EXPECT_EQ(TextureAt(*draws[1], slot)->texture, nullptr) << slot;
    }
    EXPECT_EQ(SamplerAt(*draws[1], 0)->sampler, device->GetSamplerState(0));
    EXPECT_EQ(SamplerAt(*draws[1], G::GetSamplerId("g_SamplerColor2"))->sampler,
              device->GetSamplerState(12));
}

// An indexed draw whose range passes the bound index buffer, or that has
// none bound, is skipped; the first index is not wrapped in 32 bits.
TEST_F(VfxDeviceTest, IndexRangesPastTheBufferAreSkipped) {
    IndexBuffer* indices = Indices(256);
    ASSERT_NE(indices, nullptr);
    Ready();
    device->DrawIndexed(1, 0, 3, 3); // no index buffer
    device->SetIndexBuffer(indices);
    device->DrawIndexed(1, 120, 9, 0);         // ends at index 129 of 128
    device->DrawIndexed(1, 0x80000001u, 3, 0); // first * 2 wraps to 2 in 32 bits
    device->DrawIndexed(1, 0, 0xFFFFFFFFu, 0); // count * 2 wraps too
    device->DrawIndexed(1, 0xFFFFFFFFu, 1, 0); // first + count wraps to 0
    EXPECT_TRUE(stack.Commands().empty());
    device->DrawIndexed(1, 120, 8, 0); // the last eight indices: drawn
    const auto draws = Draws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0]->indexOffset, 240u);
    EXPECT_EQ(draws[0]->count, 8u);
}

// Register calls stay within the shadows, a stride within a register, and
// locks within their buffer.
TEST_F(VfxDeviceTest, RegisterAndLockRangesAreChecked) {
    std::vector<float> ramp(64);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i + 1);
    // Registers 20 and 21 are the last two: the rest of the call is cut.
    device->SetVertexShaderConstants(20, ramp.data(), 4, 16);
    const float* vs = device->GetVertexConstants();
    const float* ps = device->GetPixelConstants();
    EXPECT_EQ(vs[21 * 4 + 3], 8.0f);
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(ps[i], 0.0f) << i; // the pixel shadow starts right after
    device->SetPixelShaderConstants(48, ramp.data(), 2, 16);
    EXPECT_EQ(ps[48 * 4], 1.0f);
    device->SetVertexShaderConstants(22, ramp.data(), 1, 16);
    device->SetPixelShaderConstants(49, ramp.data(), 1, 16);
    EXPECT_EQ(ps[0], 0.0f);

    // A stride of 20: each register takes the first 16 bytes of its element.
    device->SetVertexShaderConstants(8, ramp.data(), 2, 20);
    EXPECT_EQ(vs[8 * 4], 1.0f);
    EXPECT_EQ(vs[8 * 4 + 3], 4.0f);
    EXPECT_EQ(vs[9 * 4], 6.0f);
    EXPECT_EQ(vs[9 * 4 + 3], 9.0f);
    EXPECT_EQ(vs[10 * 4], 0.0f);

    auto* buffer = Vertices(1024);
    ASSERT_NE(buffer, nullptr);
    const uint32_t half = G::GetFrameIndex();
    EXPECT_EQ(device->LockVertexBuffer(buffer, 1000, 100), nullptr);
    EXPECT_EQ(device->LockVertexBuffer(buffer, 0xFFFFFFF0u, 0x20), nullptr);
    EXPECT_EQ(buffer->Get()->IsWriting(), 0);
    ASSERT_NE(device->LockVertexBuffer(buffer, 1000, 24), nullptr);
    device->UnlockVertexBuffer(buffer, 100);
    EXPECT_EQ(buffer->Get()->GetPending(half), 1024u);
}

} // namespace
