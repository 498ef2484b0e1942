#include "support/GraphicsTestRig.h"

#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"

#include <cstring>

namespace graphics_test {

namespace {

template <class T> T* Make() {
    return new T;
}

const CommandHeader* Headers(ContextBuffer* b) {
    return reinterpret_cast<const CommandHeader*>(b->GetCurrentBlock());
}

const DrawPayload* PayloadOf(ContextBuffer* b, const CommandHeader& h) {
    return reinterpret_cast<const DrawPayload*>(b->GetCurrentBlock() + h.payload);
}

} // namespace

TEST_F(NullGraphics, SortKeyFieldsSitAtTheirBits) {
    context->SetSortPriority(0xFFFFFFFF);
    EXPECT_EQ(context->GetKeyHigh(), 0x3FFFFu);
    context->SetSortField1(0x1F);
    EXPECT_EQ(context->GetKeyHigh(), 0x3FFFFu | (0xFu << 18));
    context->SetSortField2(0x3);
    context->SetSortField3(0xFF);
    EXPECT_EQ(context->GetKeyHigh(), 0x3FFFFu | (0xFu << 18) | (0x3u << 22) | (0x3Fu << 26));
    context->SetSortField1(0);
    context->SetSortPriority(5);
    EXPECT_EQ(context->GetKeyHigh(), 5u | (0x3u << 22) | (0x3Fu << 26));
}

TEST_F(NullGraphics, SequenceWrapsWithoutTouchingTheContextIndex) {
    DrawContext& c = DrawContext::At(7);
    c.Clear();
    EXPECT_EQ(c.GetKeyLow(), 7u << 24);
    for (uint32_t i = 0; i < 3; ++i)
        c.AdvanceSequence();
    EXPECT_EQ(c.GetSequence(), 3u);
    // Put the sequence at its last value and step once more.
    while (c.GetSequence() != 0) {
        const uint32_t before = c.GetSequence();
        if (before < 0xFFFFF0)
            for (uint32_t i = 0; i < 0xFFFFF0 - before; ++i)
                c.AdvanceSequence();
        else
            c.AdvanceSequence();
    }
    EXPECT_EQ(c.GetKeyLow(), 7u << 24);
}

TEST_F(NullGraphics, HeadersGrowUpAndPayloadsDown) {
    CommandHeader* a = context->AllocCommand(kCommandClear, 16);
    CommandHeader* b = context->AllocCommand(kCommandSetScissor, 3);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(a), buffer->GetCurrentBlock());
    EXPECT_EQ(reinterpret_cast<uint8_t*>(b), buffer->GetCurrentBlock() + 16);
    EXPECT_EQ(a->payload, kBlockSize - 16);
    EXPECT_EQ(b->payload, kBlockSize - 24); // 3 rounds up to 8
    EXPECT_EQ(buffer->GetHeaderUsed(), 32u);
    EXPECT_EQ(buffer->GetPayloadUsed(), 24u);
    EXPECT_EQ(a->type, kCommandClear);
    // The sequence moves only when the caller completes a command.
    EXPECT_EQ(context->GetSequence(), 0u);
}

TEST_F(NullGraphics, ExactFitSucceedsAndOneByteMoreFailsForTheRestOfTheFrame) {
    // 16 header bytes + payload fill the block exactly.
    ASSERT_NE(context->AllocCommand(kCommandClear, kBlockSize - 16), nullptr);
    EXPECT_EQ(context->AllocCommand(kCommandClear, 0), nullptr);
    EXPECT_EQ(AllocFrameMemory(8), nullptr);
    buffer->Reset(1);
    // Failed reservations are not taken back: one header and 8 bytes too many.
    EXPECT_EQ(buffer->GetLastFrameBytes(), kBlockSize + 16 + 8);
    ASSERT_EQ(context->AllocCommand(kCommandClear, kBlockSize - 8), nullptr);
    // Once over, every later reservation of the frame fails, even a small one.
    EXPECT_EQ(context->AllocCommand(kCommandClear, 8), nullptr);
    EXPECT_EQ(AllocFrameMemory(8), nullptr);
    buffer->Reset(0);
    EXPECT_NE(context->AllocCommand(kCommandClear, 8), nullptr);
}

TEST_F(NullGraphics, FrontReservationsOfAnySizeStaySixteenByteAligned) {
    const uint32_t sizes[] = {1, 17, 5, 40, 16};
    const uint32_t rounded[] = {16, 32, 16, 48, 16};
    auto* block = buffer->GetCurrentBlock();
    uint32_t at = buffer->GetHeaderUsed();
    for (int i = 0; i < 5; ++i) {
        auto* p = static_cast<uint8_t*>(buffer->AllocFront(sizes[i]));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 16, 0u) << sizes[i];
        EXPECT_EQ(p, block + at) << "each starts where the last one's rounded size ends";
        at += rounded[i];
    }
    EXPECT_EQ(buffer->GetHeaderUsed(), at);
}

TEST_F(NullGraphics, OversizedRequestsFailWithoutWrappingTheCounters) {
    EXPECT_EQ(AllocFrameMemory(0xFFFFFFF9u), nullptr);
    EXPECT_EQ(buffer->AllocFront(0xFFFFFFF9u), nullptr);
    EXPECT_NE(AllocFrameMemory(64), nullptr);
}

TEST_F(NullGraphics, RenderTargetScissorAndBackBufferPayloads) {
    RenderTargetTexture* target = Make<RenderTargetTexture>();
    context->SetRenderTarget(target);
    context->SetScissor({1, 2, 640, 360});
    context->SetBackBuffer();
    EXPECT_EQ(context->GetSequence(), 3u);
    const CommandHeader* h = Headers(buffer);
    ASSERT_EQ(h[0].type, kCommandSetRenderTargets);
    auto* rt =
        reinterpret_cast<const SetRenderTargetsPayload*>(buffer->GetCurrentBlock() + h[0].payload);
    EXPECT_EQ(rt->count, 1u);
    EXPECT_EQ(rt->colour[0], target);
    EXPECT_EQ(rt->colour[1], nullptr);
    EXPECT_EQ(rt->colour[3], nullptr);
    EXPECT_EQ(rt->depth, nullptr);
    ASSERT_EQ(h[1].type, kCommandSetScissor);
    RectPayload r;
    std::memcpy(&r, buffer->GetCurrentBlock() + h[1].payload, sizeof(r));
    EXPECT_EQ(r.width, 640);
    EXPECT_EQ(h[2].type, kCommandSetBackBuffer);
    EXPECT_EQ(h[1].keyLow, 1u);
    target->Release();
}

TEST_F(NullGraphics, DrawCapturesStateStreamsAndBindings) {
    VertexShader* vs = Make<VertexShader>();
    PixelShader* ps = Make<PixelShader>();
    const uint32_t cbId = device->GetConstantBufferId("CB_VS_0");
    const uint32_t texId = device->GetTextureId("Texture0");
    const uint32_t smpId = device->GetSamplerId("Sampler0");
    vs->GetConstantBuffers().push_back({cbId, 2});
    ps->GetTextures().push_back({texId, 0});
    ps->GetTextures().push_back({device->GetTextureId("Unset"), 1});
    ps->GetSamplers().push_back({smpId, 3});
    ConstantBuffer* cb = Make<ConstantBuffer>();
    void* data = cb->AllocData(64);
    ASSERT_NE(data, nullptr);
    Texture* tex = Make<Texture>();
    SamplerState* smp = Make<SamplerState>();
    VertexLayout* layout = Make<VertexLayout>();
    layout->Set(nullptr, 1); // reads stream 0 only
    VertexBuffer* vb0 = Make<VertexBuffer>();
    VertexBuffer* vb1 = Make<VertexBuffer>();
    IndexBuffer* ib = Make<IndexBuffer>();

    context->SetVertexShader(vs);
    context->SetPixelShader(ps);
    context->SetGeometryShader(reinterpret_cast<GeometryShader*>(vs));
    context->SetConstantBuffer(cbId, cb);
    context->SetTexture(texId, tex);
    context->SetSampler(smpId, smp);
    context->SetVertexLayout(layout);
    context->SetVertexStream(0, vb0, 24, 48);
    context->SetVertexStream(1, vb1, 8, 0);
    context->SetIndexBuffer(ib, 1, 12);
    context->SetTopology(4);
    context->SetSortPriority(9);
    context->DrawIndexed(36, 6);
    ASSERT_EQ(context->GetSequence(), 1u);

    const CommandHeader& h = Headers(buffer)[0];
    EXPECT_EQ(h.type, kCommandDrawIndexed);
    EXPECT_EQ(h.keyHigh, 9u);
    const DrawPayload* p = PayloadOf(buffer, h);
    EXPECT_EQ(p->vertexShader, vs);
    EXPECT_EQ(p->geometryShader, nullptr); // the geometry slot is always cleared
    EXPECT_EQ(p->pixelShader, ps);
    EXPECT_EQ(p->topology, 4u);
    EXPECT_EQ(p->streams[0].buffer, vb0);
    EXPECT_EQ(p->streams[0].stride, 24u);
    EXPECT_EQ(p->streams[0].offset, 48u);
    EXPECT_EQ(p->streams[1].buffer, nullptr); // stream mask 1 leaves stream 1 out
    EXPECT_EQ(p->streams[1].stride, 0u);
    EXPECT_EQ(p->count, 36u);
    EXPECT_EQ(p->start, 6u);
    EXPECT_EQ(p->baseVertex, 0);
    EXPECT_EQ(p->indexBuffer, ib);
    EXPECT_EQ(p->indexFormat, 0); // always 16-bit
    EXPECT_EQ(p->indexOffset, 12u);
    const StageBindings& v = p->stages[kStageVertex];
    ASSERT_EQ(v.constantBufferCount, 1u);
    EXPECT_EQ(v.constantBuffers[0].buffer, cb);
    EXPECT_EQ(v.constantBuffers[0].data, data);
    EXPECT_EQ(v.constantBuffers[0].slot, 2u);
    EXPECT_EQ(v.textureCount, 0u);
    const StageBindings& px = p->stages[kStagePixel];
    ASSERT_EQ(px.textureCount, 2u);
    EXPECT_EQ(px.textures[0].texture, tex);
    EXPECT_EQ(px.textures[1].texture, nullptr);
    EXPECT_EQ(px.textures[1].slot, 1u);
    ASSERT_EQ(px.samplerCount, 1u);
    EXPECT_EQ(px.samplers[0].sampler, smp);
    EXPECT_EQ(px.samplers[0].slot, 3u);
    EXPECT_EQ(p->stages[kStageCompute].constantBufferCount, 0u);

    // The frame's data pointer moves on with the next AllocData; the draw keeps
    // the one it captured.
    cb->AllocData(64);
    EXPECT_NE(cb->GetData(), v.constantBuffers[0].data);

    for (Mireku::Resource::ManagedResource* o :
         std::initializer_list<Mireku::Resource::ManagedResource*>{vs, ps, cb, tex, smp, layout,
                                                                   vb0, vb1, ib})
        o->Release();
}

TEST_F(NullGraphics, IdsBeyondTheTablesAreIgnoredBySetters) {
    ConstantBuffer* cb = Make<ConstantBuffer>();
    context->SetConstantBuffer(DrawContext::kNoId, cb);
    context->SetTexture(64, reinterpret_cast<Texture*>(cb));
    context->SetSampler(0xFFFFFFFF, reinterpret_cast<SamplerState*>(cb));
    for (uint32_t i = 0; i < DrawContext::kConstantBufferSlots; ++i)
        EXPECT_EQ(context->GetConstantBuffer(i), nullptr);
    for (uint32_t i = 0; i < DrawContext::kTextureSlots; ++i)
        EXPECT_EQ(context->GetTexture(i), nullptr);
    for (uint32_t i = 0; i < DrawContext::kSamplerSlots; ++i)
        EXPECT_EQ(context->GetSampler(i), nullptr);
    cb->Release();
}

TEST_F(NullGraphics, ClearEmptiesBindingsAndStartsAtThePointList) {
    context->SetTopology(3);
    context->SetSortField3(2);
    context->AdvanceSequence();
    context->Clear();
    EXPECT_EQ(context->GetTopology(), 0u);
    EXPECT_EQ(context->GetKeyHigh(), 0u);
    EXPECT_EQ(context->GetSequence(), 0u);
}

TEST_F(NullGraphics, ADrawWhoseBindingsDoNotFitIsNeverExecuted) {
    VertexShader* vs = Make<VertexShader>();
    vs->GetConstantBuffers().push_back({0, 0});
    context->SetVertexShader(vs);
    context->Draw(3);
    ASSERT_EQ(context->GetSequence(), 1u);
    // Leave room for a header and a payload, but not for the binding list.
    const uint32_t payload = (kDrawPayloadBytes + 7) & ~7u;
    const uint32_t used = buffer->GetHeaderUsed() + buffer->GetPayloadUsed();
    ASSERT_NE(AllocFrameMemory(kBlockSize - used - 16 - payload - 8), nullptr);
    context->Draw(3);
    EXPECT_EQ(context->GetSequence(), 1u);
    ASSERT_EQ(buffer->GetHeaderUsed(), 32u);
    EXPECT_EQ(Headers(buffer)[1].type, kCommandNone);
    ExecuteRecorded();
    EXPECT_EQ(CallsOf(sys::gpu::NullOp::Draw).size(), 1u);
    vs->Release();
}

TEST_F(NullGraphics, ThreadWithoutAContextRecordsNothing) {
    ReleaseDrawContext();
    Draw(3);
    SetBackBuffer();
    EXPECT_EQ(buffer->GetHeaderUsed(), 0u);
    EXPECT_EQ(AllocCommand(kCommandClear, 8), nullptr);
}

TEST_F(NullGraphics, ConstantDataOfAnEarlierFrameIsNeverCaptured) {
    ConstantBuffer* cb = MakeBuffer<ConstantBuffer>(sys::gpu::kBindConstantBuffer, 64);
    void* data = cb->AllocData(64);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(cb->GetData(), data);
    // The next frame records into the other block: last frame's address now
    // lies in memory the render thread reads or the main thread rewrites.
    buffer->Reset(1 - buffer->GetCurrentIndex());
    EXPECT_EQ(cb->GetData(), nullptr);
    EXPECT_NE(cb->AllocData(64), nullptr);
    EXPECT_NE(cb->GetData(), nullptr);
    cb->Release();
}

} // namespace graphics_test
