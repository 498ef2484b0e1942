#include "support/GraphicsTestRig.h"

#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"

#include <cstring>

namespace graphics_test {

using sys::gpu::NullOp;

TEST_F(NullGraphics, CommandsExecuteInKeyOrderWhateverTheRecordingOrder) {
    DrawContext* other = ClaimDrawContext(); // context 1, recorded from this thread
    other->Clear();
    ReleaseDrawContext();
    context->SetSortPriority(5);
    context->Draw(1); // (5, ctx 0, seq 0)
    other->SetSortPriority(2);
    other->Draw(2); // (2, ctx 1, seq 0): lower high word, first
    context->SetSortPriority(2);
    context->Draw(3); // (2, ctx 0, seq 1): context 0 before context 1 at equal high words
    other->SetSortPriority(5);
    other->Draw(4); // (5, ctx 1, seq 1)
    context->SetSortField3(1);
    context->SetSortPriority(0);
    context->Draw(5); // sort field 3 outranks every priority
    ExecuteRecorded();
    std::vector<uint32_t> order;
    for (const auto& c : CallsOf(NullOp::Draw))
        order.push_back(c.count);
    EXPECT_EQ(order, (std::vector<uint32_t>{3, 2, 1, 4, 5}));
}

TEST_F(NullGraphics, ScissorAndViewportCommandsReachTheDevice) {
    context->SetScissor({0, 0, 0, 0});
    context->SetScissor({0, 0, 640, 360});
    context->SetViewport({10, 20, 300, 200});
    ExecuteRecorded();
    auto scissors = CallsOf(NullOp::SetScissorRect);
    ASSERT_EQ(scissors.size(), 2u);
    // All zeros is the whole viewport.
    EXPECT_EQ(scissors[0].floats[2], 1280.0f);
    EXPECT_EQ(scissors[0].floats[3], 720.0f);
    EXPECT_EQ(scissors[1].floats[0], 0.0f);
    EXPECT_EQ(scissors[1].floats[2], 640.0f);
    EXPECT_EQ(scissors[1].floats[3], 360.0f);
    auto viewports = CallsOf(NullOp::SetViewport);
    ASSERT_EQ(viewports.size(), 1u);
    EXPECT_EQ(viewports[0].floats[0], 10.0f);
    EXPECT_EQ(viewports[0].floats[3], 200.0f);
}

TEST_F(NullGraphics, ClearFollowsTheCurrentTarget) {
    RenderTargetTexture* target = new RenderTargetTexture;
    sys::gpu::View* view =
        device->GetGpu()->CreateRenderTargetView(device->GetGpu()->GetBackBuffer());
    target->SetRenderTargetView(view);
    const float red[4] = {1, 0, 0, 1};
    context->ClearTarget(red);
    context->SetRenderTarget(target);
    context->ClearTarget(red);
    ExecuteRecorded();
    auto clears = CallsOf(NullOp::ClearRenderTargetView);
    ASSERT_EQ(clears.size(), 2u);
    EXPECT_EQ(clears[0].objects[0], device->GetBackBufferView());
    EXPECT_EQ(clears[1].objects[0], view);
    EXPECT_EQ(clears[1].floats[0], 1.0f);
    // No depth target: only the colour view is cleared.
    EXPECT_TRUE(CallsOf(NullOp::ClearDepthStencilView).empty());
    EXPECT_EQ(executor->IsBackBufferCurrent(), 0);
    target->Release();
}

TEST_F(NullGraphics, StateCacheSendsOnlyChangedSlotsInRuns) {
    sys::gpu::Device* gpu = device->GetGpu();
    Texture* tex[6];
    for (int i = 0; i < 6; ++i) {
        tex[i] = new Texture;
        tex[i]->Set(nullptr, gpu->CreateShaderResourceView(gpu->GetBackBuffer()), 4, 4, 0, 1);
    }
    device->SetShaderResource(2, 2, tex[2]);
    device->SetShaderResource(2, 3, tex[3]);
    device->SetShaderResource(2, 5, tex[5]);
    device->SetShaderResource(0, 15, tex[0]);
    calls->clear();
    device->Draw(3, 0);
    auto views = CallsOf(NullOp::SetShaderResources);
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0].stage, 0u);
    EXPECT_EQ(views[0].start, 15u);
    EXPECT_EQ(views[0].count, 1u);
    EXPECT_EQ(views[1].stage, 2u);
    EXPECT_EQ(views[1].start, 2u);
    EXPECT_EQ(views[1].count, 2u);
    EXPECT_EQ(views[1].objects[0], tex[2]->GetShaderResourceView());
    EXPECT_EQ(views[1].objects[1], tex[3]->GetShaderResourceView());
    EXPECT_EQ(views[2].start, 5u);
    EXPECT_EQ(views[2].count, 1u);
    // Nothing changed: the next draw sends no views at all.
    calls->clear();
    device->Draw(3, 0);
    EXPECT_TRUE(CallsOf(NullOp::SetShaderResources).empty());
    ASSERT_EQ(calls->size(), 1u);
    EXPECT_EQ(calls->back().op, NullOp::Draw);
    for (Texture* t : tex)
        t->Release();
}

TEST_F(NullGraphics, PipelineStatesApplyOnChangeAndAgainAfterPresent) {
    sys::gpu::Device* gpu = device->GetGpu();
    RasterizerState* rs = new RasterizerState(gpu->CreateRasterizerState({}));
    BlendState* bs = new BlendState(gpu->CreateBlendState({}));
    device->SetRasterizerState(rs);
    device->SetBlendState(bs);
    device->Draw(3, 0);
    device->SetRasterizerState(rs);
    device->SetBlendState(bs);
    device->Draw(3, 0);
    EXPECT_EQ(CallsOf(NullOp::SetRasterizerState).size(), 1u);
    EXPECT_EQ(CallsOf(NullOp::SetBlendState).size(), 1u);
    EXPECT_EQ(CallsOf(NullOp::SetBlendState)[0].value, 0xFFFFFFFF);

    calls->clear();
    device->Present();
    // Present, then a cleared context, the back buffer bound and cleared black.
    ASSERT_GE(calls->size(), 6u);
    EXPECT_EQ((*calls)[0].op, NullOp::Present);
    EXPECT_EQ((*calls)[0].value, 1);
    EXPECT_EQ((*calls)[1].op, NullOp::ClearState);
    EXPECT_EQ((*calls)[2].op, NullOp::SetRenderTargets);
    EXPECT_EQ((*calls)[2].objects[0], device->GetBackBufferView());
    const auto& clear = calls->back();
    EXPECT_EQ(clear.op, NullOp::ClearRenderTargetView);
    EXPECT_EQ(clear.floats[0], 0.0f);
    EXPECT_EQ(clear.floats[3], 1.0f);

    calls->clear();
    device->SetRasterizerState(rs);
    device->Draw(3, 0);
    EXPECT_EQ(CallsOf(NullOp::SetRasterizerState).size(), 1u);
    rs->Release();
    bs->Release();
}

TEST_F(NullGraphics, FlushOrderFollowsTheDevice) {
    sys::gpu::Device* gpu = device->GetGpu();
    VertexShader* vs = new VertexShader;
    vs->SetShader(gpu->CreateShader({sys::gpu::Stage::Vertex, "v"}));
    PixelShader* ps = new PixelShader;
    ps->SetShader(gpu->CreateShader({sys::gpu::Stage::Pixel, "p"}));
    ConstantBuffer* cb = MakeBuffer<ConstantBuffer>(sys::gpu::kBindConstantBuffer, 16);
    VertexBuffer* vb = MakeBuffer<VertexBuffer>(sys::gpu::kBindVertexBuffer, 64);
    device->SetPixelShader(ps);
    device->SetVertexShader(vs);
    device->SetGeometryShader(nullptr);
    device->SetConstantBuffer(0, 1, cb);
    device->SetVertexBuffer(1, vb, 16, 32);
    device->SetInputLayout(nullptr);
    calls->clear();
    device->Draw(4, 0);
    std::vector<NullOp> ops;
    for (const auto& c : *calls)
        ops.push_back(c.op);
    EXPECT_EQ(ops, (std::vector<NullOp>{NullOp::SetInputLayout, NullOp::SetVertexBuffers,
                                        NullOp::SetShader, NullOp::SetShader, NullOp::SetShader,
                                        NullOp::SetConstantBuffers, NullOp::Draw}));
    EXPECT_EQ((*calls)[1].start, 1u);
    EXPECT_EQ((*calls)[1].value, (int64_t{16} << 32) | 32);
    // Geometry, vertex, pixel, whatever order they were set in.
    EXPECT_EQ((*calls)[2].stage, 1u);
    EXPECT_EQ((*calls)[3].objects[0], vs->GetShader());
    EXPECT_EQ((*calls)[4].objects[0], ps->GetShader());
    EXPECT_EQ((*calls)[5].start, 1u);
    for (Mireku::Resource::ManagedResource* o :
         std::initializer_list<Mireku::Resource::ManagedResource*>{vs, ps, cb, vb})
        o->Release();
}

TEST_F(NullGraphics, DrawUploadsConstantDataAndStaging) {
    sys::gpu::Device* gpu = device->GetGpu();
    const uint32_t cbId = device->GetConstantBufferId("CB_PS_0");
    PixelShader* ps = new PixelShader;
    ps->GetConstantBuffers().push_back({cbId, 4});
    ConstantBuffer* cb = MakeBuffer<ConstantBuffer>(sys::gpu::kBindConstantBuffer, 16);
    VertexBuffer* vb = MakeBuffer<VertexBuffer>(sys::gpu::kBindVertexBuffer, 8);
    ASSERT_TRUE(vb->AllocateStaging(8));
    VertexLayout* layout = new VertexLayout;
    layout->Set(nullptr, 1);
    gpu->ProcessPending();

    const float values[4] = {1, 2, 3, 4};
    std::memcpy(cb->AllocData(16), values, 16);
    // The main thread writes staging half 0 in frame 0; the render thread
    // uploads that half while the next frame records into half 1.
    std::memcpy(vb->GetStaging(0), "ABCDEFGH", 8);
    vb->Unlock(0, 8);
    vb->Unlock(0, 4);
    EXPECT_EQ(vb->GetPending(0), 8u);
    context->SetPixelShader(ps);
    context->SetConstantBuffer(cbId, cb);
    context->SetVertexLayout(layout);
    context->SetVertexStream(0, vb, 8, 0);
    context->Draw(1);
    executor->SetUploadHalf(0);
    ExecuteRecorded();
    const auto* cbData = sys::gpu::NullBufferContents(cb->GetBuffer());
    ASSERT_EQ(cbData->size(), 16u);
    EXPECT_EQ(std::memcmp(cbData->data(), values, 16), 0);
    EXPECT_EQ(std::memcmp(sys::gpu::NullBufferContents(vb->GetBuffer())->data(), "ABCDEFGH", 8), 0);
    EXPECT_EQ(vb->GetPending(0), 0u);
    auto cbs = CallsOf(NullOp::SetConstantBuffers);
    ASSERT_EQ(cbs.size(), 1u);
    EXPECT_EQ(cbs[0].stage, 2u);
    EXPECT_EQ(cbs[0].start, 4u);
    for (Mireku::Resource::ManagedResource* o :
         std::initializer_list<Mireku::Resource::ManagedResource*>{ps, cb, vb, layout})
        o->Release();
}

TEST_F(NullGraphics, NameTablesGiveStableIdsUntilFull) {
    EXPECT_EQ(device->GetConstantBufferId("CB_VS_0"), 0u);
    EXPECT_EQ(device->GetConstantBufferId("CB_PS_0"), 1u);
    EXPECT_EQ(device->GetConstantBufferId("CB_VS_0"), 0u);
    EXPECT_EQ(device->GetTextureId("CB_VS_0"), 0u);        // tables are separate
    EXPECT_EQ(device->GetConstantBufferId("cb_vs_0"), 2u); // case-sensitive
    for (uint32_t i = 3; i < 128; ++i) {
        const std::string name = "Buffer" + std::to_string(i);
        EXPECT_EQ(device->GetConstantBufferId(name.c_str()), i);
    }
    EXPECT_EQ(device->GetConstantBufferId("OneTooMany"), GraphicsDevice::kNoId);
    EXPECT_EQ(device->GetConstantBufferId("Buffer127"), 127u);
    for (uint32_t i = 1; i < 64; ++i)
        device->GetSamplerId(("S" + std::to_string(i)).c_str());
    EXPECT_EQ(device->GetSamplerId("CB_VS_0"), 63u);
    EXPECT_EQ(device->GetSamplerId("Full"), GraphicsDevice::kNoId);
}

TEST(DisplayModeChoice, TakesTheFirstSixtyHertzMode) {
    using sys::gpu::DisplayMode;
    DisplayMode modes[3];
    modes[0].refreshNumerator = 59;
    modes[0].refreshDenominator = 1;
    modes[1].refreshNumerator = 60;
    modes[1].refreshDenominator = 0; // never matches
    modes[2].refreshNumerator = 120000;
    modes[2].refreshDenominator = 2000;
    DisplayMode m = GraphicsDevice::ChooseDisplayMode(modes, 3);
    EXPECT_EQ(m.refreshNumerator, 120000u);
    m = GraphicsDevice::ChooseDisplayMode(modes, 2);
    EXPECT_EQ(m.refreshNumerator, 59u); // none at 60: mode 0
    m = GraphicsDevice::ChooseDisplayMode(nullptr, 0);
    EXPECT_EQ(m.refreshNumerator, 0u);
    EXPECT_EQ(m.refreshDenominator, 0u);
    EXPECT_EQ(m.format, sys::gpu::Format::R8G8B8A8_UNORM);
}

} // namespace graphics_test
