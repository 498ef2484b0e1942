#include "engine/graphics/ContextExecutor.h"

#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DrawPayload.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RenderTargetTexture.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"

#include <algorithm>
#include <cstring>

namespace Mireku::Graphics {

void ContextExecutor::Reset() {
    block_ = nullptr;
    count_ = 0;
    for (RenderTargetTexture*& c : colour_)
        c = nullptr;
    depth_ = nullptr;
    backBuffer_ = 1;
}

void ContextExecutor::SortHeaders(CommandHeader* headers, uint32_t count) {
    std::sort(headers, headers + count,
              [](const CommandHeader& a, const CommandHeader& b) { return a.Key() < b.Key(); });
}

void ContextExecutor::ExecuteCommands() {
    if (!block_ || count_ == 0)
        return;
    auto* headers = reinterpret_cast<CommandHeader*>(block_);
    SortHeaders(headers, count_);
    for (uint32_t i = 0; i < count_; ++i) {
        const CommandHeader& h = headers[i];
        const void* payload = block_ + h.payload;
        switch (h.type) {
        case kCommandSetRenderTargets:
            ExecuteSetRenderTargets(payload);
            break;
        case kCommandSetBackBuffer:
            ExecuteSetBackBuffer();
            break;
        case kCommandSetViewport:
            ExecuteViewport(payload);
            break;
        case kCommandSetScissor:
            ExecuteScissor(payload);
            break;
        case kCommandClear:
            ExecuteClear(payload);
            break;
        case kCommandDraw:
            ExecuteDraw(payload);
            break;
        case kCommandDrawIndexed:
            ExecuteDrawIndexed(payload);
            break;
        default:
            break;
        }
    }
}

void ContextExecutor::Execute() {
    ExecuteCommands();
    Present();
    // Present binds the back buffer again; targets of this frame must not be
    // taken for the next frame's, and may be released by then.
    Reset();
}

void ContextExecutor::ExecuteSetRenderTargets(const void* payload) {
    const auto* p = static_cast<const SetRenderTargetsPayload*>(payload);
    GraphicsDevice::GetInstance()->SetRenderTargets(p->colour, p->depth);
    for (int i = 0; i < 4; ++i)
        colour_[i] = p->colour[i];
    depth_ = p->depth;
    backBuffer_ = 0;
}

void ContextExecutor::ExecuteSetBackBuffer() {
    GraphicsDevice::GetInstance()->SetBackBufferTarget();
    backBuffer_ = 1;
}

void ContextExecutor::ExecuteViewport(const void* payload) {
    RectPayload r;
    std::memcpy(&r, payload, sizeof(r));
    GraphicsDevice::GetInstance()->SetViewport(r.x, r.y, r.width, r.height);
}

void ContextExecutor::ExecuteScissor(const void* payload) {
    RectPayload r;
    std::memcpy(&r, payload, sizeof(r));
    GraphicsDevice::GetInstance()->SetScissor(r.x, r.y, r.width, r.height);
}

void ContextExecutor::ExecuteClear(const void* payload) {
    const auto* p = static_cast<const ClearPayload*>(payload);
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    if (backBuffer_) {
        d->ClearBackBuffer(p->colour);
        return;
    }
    for (RenderTargetTexture* c : colour_)
        if (c)
            d->ClearRenderTarget(c, p->colour);
    if (depth_)
        d->ClearDepth(depth_);
}

void ContextExecutor::PrepareDraw(const DrawPayload& p, bool indexed) {
    GraphicsDevice* d = GraphicsDevice::GetInstance();
    const ShaderBase* shaders[3] = {p.vertexShader, p.geometryShader, p.pixelShader};
    d->SetVertexShader(p.vertexShader);
    d->SetGeometryShader(p.geometryShader);
    d->SetPixelShader(p.pixelShader);
    for (uint32_t st = 0; st < 3; ++st) {
        if (!shaders[st])
            continue;
        const StageBindings& b = p.stages[st];
        for (uint32_t i = 0; i < b.constantBufferCount; ++i) {
            const ConstantBufferEntry& e = b.constantBuffers[i];
            if (e.buffer && e.data) {
                void* dst = d->MapBuffer(e.buffer->GetBuffer(), 0);
                if (dst) {
                    std::memcpy(dst, e.data, e.buffer->GetByteSize());
                    d->UnmapBuffer(e.buffer->GetBuffer());
                }
            }
            d->SetConstantBuffer(st, e.slot, e.buffer);
        }
        for (uint32_t i = 0; i < b.textureCount; ++i)
            d->SetShaderResource(st, b.textures[i].slot, b.textures[i].texture);
        for (uint32_t i = 0; i < b.samplerCount; ++i)
            d->SetSampler(st, b.samplers[i].slot, b.samplers[i].sampler);
    }
    d->SetRasterizerState(p.rasterizerState);
    d->SetDepthStencilState(p.depthStencilState);
    d->SetBlendState(p.blendState);
    for (uint32_t s = 0; s < 2; ++s) {
        const VertexStream& vs = p.streams[s];
        if (!vs.buffer)
            continue;
        vs.buffer->Upload(uploadHalf_);
        d->SetVertexBuffer(s, vs.buffer, vs.stride, vs.offset);
    }
    if (indexed && p.indexBuffer) {
        p.indexBuffer->Upload(uploadHalf_);
        d->SetIndexBuffer(p.indexBuffer, p.indexFormat, p.indexOffset);
    }
    d->SetInputLayout(p.layout);
    d->SetTopology(p.topology);
}

void ContextExecutor::ExecuteDraw(const void* payload) {
    const auto* p = static_cast<const DrawPayload*>(payload);
    PrepareDraw(*p, false);
    GraphicsDevice::GetInstance()->Draw(p->count, p->start);
}

void ContextExecutor::ExecuteDrawIndexed(const void* payload) {
    const auto* p = static_cast<const DrawPayload*>(payload);
    PrepareDraw(*p, true);
    GraphicsDevice::GetInstance()->DrawIndexed(p->count, p->start, p->baseVertex);
}

} // namespace Mireku::Graphics
