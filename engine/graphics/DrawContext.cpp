#include "engine/graphics/DrawContext.h"

#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/ContextBuffer.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexLayout.h"

#include <atomic>
#include <cstring>

namespace Mireku::Graphics {

namespace {

DrawContext g_contexts[DrawContext::kContextCount];
std::atomic<uint32_t> g_claimed{0};
thread_local DrawContext* t_context = nullptr;

} // namespace

DrawContext* DrawContext::Contexts() {
    return g_contexts;
}

void DrawContext::ResetAll() {
    g_claimed.exchange(0);
    for (uint32_t i = 0; i < kContextCount; ++i) {
        g_contexts[i].index_ = i;
        g_contexts[i].keyLow_ = i << 24;
        g_contexts[i].keyHigh_ = 0;
    }
}

uint32_t DrawContext::GetClaimCount() {
    const uint32_t n = g_claimed.load();
    return n < kContextCount ? n : kContextCount;
}

void DrawContext::Clear() {
    vertexShader_ = nullptr;
    geometryShader_ = nullptr;
    pixelShader_ = nullptr;
    rasterizerState_ = nullptr;
    depthStencilState_ = nullptr;
    blendState_ = nullptr;
    streams_[0] = streams_[1] = VertexStream{};
    layout_ = nullptr;
    indexBuffer_ = nullptr;
    indexFormat_ = 0;
    indexOffset_ = 0;
    topology_ = 0;
    std::memset(constantBuffers_, 0, sizeof(constantBuffers_));
    std::memset(textures_, 0, sizeof(textures_));
    std::memset(samplers_, 0, sizeof(samplers_));
    keyLow_ = index_ << 24;
    keyHigh_ = 0;
}

CommandHeader* DrawContext::AllocCommand(uint32_t type, uint32_t size) {
    ContextBuffer* cb = ContextBuffer::GetInstance();
    return cb ? cb->AllocCommand(keyLow_, keyHigh_, type, size) : nullptr;
}

namespace {

// Reserves one stage's entry list for a binding list and fills it through
// `make` (binding -> entry). An empty list needs nothing; false when the block
// is full.
template <class Entry, class Make>
bool CaptureList(const ShaderBase::BindingList& list, const Entry*& out, uint32_t& count,
                 Make make) {
    if (list.empty())
        return true;
    auto* e = static_cast<Entry*>(ContextBuffer::GetInstance()->AllocBack(
        static_cast<uint32_t>(list.size() * sizeof(Entry))));
    if (!e)
        return false;
    for (size_t i = 0; i < list.size(); ++i)
        e[i] = make(list[i]);
    out = e;
    count = static_cast<uint32_t>(list.size());
    return true;
}

} // namespace

bool DrawContext::CaptureStage(const ShaderBase* shader, StageBindings& out) {
    if (!shader)
        return true;
    return CaptureList(
               shader->GetConstantBuffers(), out.constantBuffers, out.constantBufferCount,
               [this](const ShaderBinding& b) {
                   ConstantBuffer* buffer = GetConstantBuffer(b.id);
                   return ConstantBufferEntry{buffer, buffer ? buffer->GetData() : nullptr, b.slot};
               }) &&
           CaptureList(shader->GetTextures(), out.textures, out.textureCount,
                       [this](const ShaderBinding& b) {
                           return TextureEntry{GetTexture(b.id), b.slot};
                       }) &&
           CaptureList(shader->GetSamplers(), out.samplers, out.samplerCount,
                       [this](const ShaderBinding& b) {
                           return SamplerEntry{GetSampler(b.id), b.slot};
                       });
}

DrawPayload* DrawContext::RecordDraw(uint32_t type, uint32_t size) {
    CommandHeader* h = AllocCommand(type, size);
    if (!h)
        return nullptr;
    ContextBuffer* cb = ContextBuffer::GetInstance();
    auto* p = reinterpret_cast<DrawPayload*>(cb->GetCurrentBlock() + h->payload);
    p->vertexShader = vertexShader_;
    p->geometryShader = geometryShader_;
    p->pixelShader = pixelShader_;
    p->computeShader = nullptr;
    std::memset(p->stages, 0, sizeof(p->stages));
    if (!CaptureStage(vertexShader_, p->stages[kStageVertex]) ||
        !CaptureStage(geometryShader_, p->stages[kStageGeometry]) ||
        !CaptureStage(pixelShader_, p->stages[kStagePixel])) {
        // Never executed half-captured: the header no longer names a command.
        h->type = kCommandNone;
        return nullptr;
    }
    p->rasterizerState = rasterizerState_;
    p->depthStencilState = depthStencilState_;
    p->blendState = blendState_;
    p->start = 0;
    p->topology = topology_;
    p->layout = layout_;
    const uint32_t mask = layout_ ? layout_->GetStreamMask() : 0;
    for (uint32_t s = 0; s < 2; ++s)
        p->streams[s] = (mask >> s) & 1u ? streams_[s] : VertexStream{};
    return p;
}

void DrawContext::Draw(uint32_t vertexCount) {
    DrawPayload* p = RecordDraw(kCommandDraw, kDrawPayloadBytes);
    if (!p)
        return;
    p->count = vertexCount;
    AdvanceSequence();
}

void DrawContext::DrawIndexed(uint32_t indexCount, uint32_t startIndex) {
    DrawPayload* p = RecordDraw(kCommandDrawIndexed, kDrawIndexedPayloadBytes);
    if (!p)
        return;
    p->count = indexCount;
    p->start = startIndex;
    p->baseVertex = 0;
    p->indexBuffer = indexBuffer_;
    p->indexFormat = indexFormat_;
    p->indexOffset = indexOffset_;
    AdvanceSequence();
}

void DrawContext::SetRenderTarget(RenderTargetTexture* target) {
    CommandHeader* h = AllocCommand(kCommandSetRenderTargets, sizeof(SetRenderTargetsPayload));
    if (!h)
        return;
    auto* p = reinterpret_cast<SetRenderTargetsPayload*>(
        ContextBuffer::GetInstance()->GetCurrentBlock() + h->payload);
    *p = {1, {target, nullptr, nullptr, nullptr}, nullptr};
    AdvanceSequence();
}

void DrawContext::SetBackBuffer() {
    if (AllocCommand(kCommandSetBackBuffer, 1))
        AdvanceSequence();
}

void DrawContext::RecordCopy(uint32_t type, const void* payload, uint32_t size) {
    CommandHeader* h = AllocCommand(type, size);
    if (!h)
        return;
    std::memcpy(ContextBuffer::GetInstance()->GetCurrentBlock() + h->payload, payload, size);
    AdvanceSequence();
}

void DrawContext::SetScissor(const RectPayload& rect) {
    RecordCopy(kCommandSetScissor, &rect, sizeof(rect));
}

void DrawContext::SetViewport(const RectPayload& rect) {
    RecordCopy(kCommandSetViewport, &rect, sizeof(rect));
}

void DrawContext::ClearTarget(const float colour[4]) {
    RecordCopy(kCommandClear, colour, sizeof(ClearPayload));
}

DrawContext* ClaimDrawContext() {
    const uint32_t index = g_claimed.fetch_add(1);
    // Beyond the 256 contexts a thread gets none and records nothing.
    t_context = index < DrawContext::kContextCount ? &g_contexts[index] : nullptr;
    return t_context;
}

DrawContext* GetDrawContext() {
    return t_context;
}

void ReleaseDrawContext() {
    t_context = nullptr;
}

#define MIREKU_FORWARD(call)                                                                       \
    do {                                                                                           \
        if (DrawContext* c = t_context)                                                            \
            c->call;                                                                               \
    } while (0)

void SetVertexShader(VertexShader* shader) {
    MIREKU_FORWARD(SetVertexShader(shader));
}
void SetGeometryShader(GeometryShader* shader) {
    MIREKU_FORWARD(SetGeometryShader(shader));
}
void SetPixelShader(PixelShader* shader) {
    MIREKU_FORWARD(SetPixelShader(shader));
}
void SetRasterizerState(RasterizerState* state) {
    MIREKU_FORWARD(SetRasterizerState(state));
}
void SetDepthStencilState(DepthStencilState* state) {
    MIREKU_FORWARD(SetDepthStencilState(state));
}
void SetBlendState(BlendState* state) {
    MIREKU_FORWARD(SetBlendState(state));
}
void SetConstantBuffer(uint32_t id, ConstantBuffer* buffer) {
    MIREKU_FORWARD(SetConstantBuffer(id, buffer));
}
void SetTexture(uint32_t id, Texture* texture) {
    MIREKU_FORWARD(SetTexture(id, texture));
}
void SetSampler(uint32_t id, SamplerState* sampler) {
    MIREKU_FORWARD(SetSampler(id, sampler));
}
void SetVertexStream(uint32_t stream, VertexBuffer* buffer, uint32_t stride, uint32_t offset) {
    MIREKU_FORWARD(SetVertexStream(stream, buffer, stride, offset));
}
void SetVertexLayout(VertexLayout* layout) {
    MIREKU_FORWARD(SetVertexLayout(layout));
}
void SetIndexBuffer(IndexBuffer* buffer, uint32_t format, uint32_t offset) {
    MIREKU_FORWARD(SetIndexBuffer(buffer, format, offset));
}
void SetTopology(uint32_t topology) {
    MIREKU_FORWARD(SetTopology(topology));
}
void SetSortPriority(uint32_t value) {
    MIREKU_FORWARD(SetSortPriority(value));
}
void SetSortField1(uint32_t value) {
    MIREKU_FORWARD(SetSortField1(value));
}
void SetSortField2(uint32_t value) {
    MIREKU_FORWARD(SetSortField2(value));
}
void SetSortField3(uint32_t value) {
    MIREKU_FORWARD(SetSortField3(value));
}
void Draw(uint32_t vertexCount) {
    MIREKU_FORWARD(Draw(vertexCount));
}
void DrawIndexed(uint32_t indexCount, uint32_t startIndex) {
    MIREKU_FORWARD(DrawIndexed(indexCount, startIndex));
}
void SetRenderTarget(RenderTargetTexture* target) {
    MIREKU_FORWARD(SetRenderTarget(target));
}
void SetBackBuffer() {
    MIREKU_FORWARD(SetBackBuffer());
}
void SetScissor(const RectPayload& rect) {
    MIREKU_FORWARD(SetScissor(rect));
}

#undef MIREKU_FORWARD

void GetTargetExtent(uint16_t& width, uint16_t& height) {
    width = height = 0;
    if (DrawContext* c = t_context)
        c->GetTargetExtent(width, height);
}

CommandHeader* AllocCommand(uint32_t type, uint32_t size) {
    DrawContext* c = t_context;
    return c ? c->AllocCommand(type, size) : nullptr;
}

void* AllocFrameMemory(uint32_t size) {
    ContextBuffer* cb = ContextBuffer::GetInstance();
    return cb ? cb->AllocBack(size) : nullptr; // rounded up to 8 there
}

} // namespace Mireku::Graphics
