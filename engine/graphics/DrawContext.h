#pragma once

#include "engine/graphics/CommandHeader.h"
#include "engine/graphics/DrawPayload.h"
#include "engine/graphics/SortKey.h"

#include <cstdint>

namespace Mireku::Graphics {

// One thread's recording state: the bindings of its next draw and the sort key
// its commands carry. Setters only store; the recording operations append
// commands to the frame's shared command block.
class DrawContext {
public:
    static constexpr uint32_t kContextCount = 256;
    static constexpr uint32_t kConstantBufferSlots = 128;
    static constexpr uint32_t kTextureSlots = 64;
    static constexpr uint32_t kSamplerSlots = 64;
    static constexpr uint32_t kSequenceMask = 0x00FFFFFF;
    static constexpr uint32_t kNoId = 0xFFFFFFFFu;

    // The 256 contexts, in one static array.
    static DrawContext* Contexts();
    static DrawContext& At(uint32_t index) { return Contexts()[index]; }

    // Driver initialisation: index and key of every context, claim counter 0.
    static void ResetAll();
    // Number of contexts claimed since ResetAll.
    static uint32_t GetClaimCount();

    uint32_t GetIndex() const { return index_; }
    void GetTargetExtent(uint16_t& width, uint16_t& height) const {
        width = targetWidth_;
        height = targetHeight_;
    }
    uint32_t GetSequence() const { return keyLow_ & kSequenceMask; }
    uint32_t GetKeyLow() const { return keyLow_; }
    uint32_t GetKeyHigh() const { return keyHigh_; }
    void SetKeyHigh(uint32_t high) { keyHigh_ = high; }

    // Start of a frame: bindings empty, topology point list, sequence 0.
    void Clear();

    void SetVertexShader(VertexShader* shader) { vertexShader_ = shader; }
    // The geometry stage is never used: the slot is cleared whatever is passed.
    void SetGeometryShader(GeometryShader* shader) {
        (void)shader;
        geometryShader_ = nullptr;
    }
    void SetPixelShader(PixelShader* shader) { pixelShader_ = shader; }
    void SetRasterizerState(RasterizerState* state) { rasterizerState_ = state; }
    void SetDepthStencilState(DepthStencilState* state) { depthStencilState_ = state; }
    void SetBlendState(BlendState* state) { blendState_ = state; }
    // An id that found its name table full (kNoId) or lies beyond the table is
    // ignored.
    void SetConstantBuffer(uint32_t id, ConstantBuffer* buffer) {
        if (id < kConstantBufferSlots)
            constantBuffers_[id] = buffer;
    }
    void SetTexture(uint32_t id, Texture* texture) {
        if (id < kTextureSlots)
            textures_[id] = texture;
    }
    void SetSampler(uint32_t id, SamplerState* sampler) {
        if (id < kSamplerSlots)
            samplers_[id] = sampler;
    }
    void SetVertexStream(uint32_t stream, VertexBuffer* buffer, uint32_t stride, uint32_t offset) {
        if (stream < 2)
            streams_[stream] = {buffer, stride, offset};
    }
    void SetVertexLayout(VertexLayout* layout) { layout_ = layout; }
    // Indices are always recorded as 16-bit; the format argument is not read.
    void SetIndexBuffer(IndexBuffer* buffer, uint32_t format, uint32_t offset) {
        (void)format;
        indexBuffer_ = buffer;
        indexFormat_ = 0;
        indexOffset_ = offset;
    }
    void SetTopology(uint32_t topology) { topology_ = topology; }
    void SetSortPriority(uint32_t value) { keyHigh_ = SortKey::WithPriority(keyHigh_, value); }
    void SetSortField1(uint32_t value) { keyHigh_ = SortKey::WithField1(keyHigh_, value); }
    void SetSortField2(uint32_t value) { keyHigh_ = SortKey::WithField2(keyHigh_, value); }
    void SetSortField3(uint32_t value) { keyHigh_ = SortKey::WithField3(keyHigh_, value); }

    ConstantBuffer* GetConstantBuffer(uint32_t id) const {
        return id < kConstantBufferSlots ? constantBuffers_[id] : nullptr;
    }
    Texture* GetTexture(uint32_t id) const { return id < kTextureSlots ? textures_[id] : nullptr; }
    SamplerState* GetSampler(uint32_t id) const {
        return id < kSamplerSlots ? samplers_[id] : nullptr;
    }
    uint32_t GetTopology() const { return topology_; }

    // Recording. Each advances the sequence once its command is complete.
    CommandHeader* AllocCommand(uint32_t type, uint32_t size);
    void Draw(uint32_t vertexCount);
    void DrawIndexed(uint32_t indexCount, uint32_t startIndex);
    void SetRenderTarget(RenderTargetTexture* target);
    void SetBackBuffer();
    void SetScissor(const RectPayload& rect);
    // Viewport and clear have executors but no recorder in the engine's
    // callers; they are recorded the same way.
    void SetViewport(const RectPayload& rect);
    void ClearTarget(const float colour[4]);

    // (sequence + 1) mod 2^24; the context index bits stay.
    void AdvanceSequence() {
        keyLow_ = (keyLow_ & ~kSequenceMask) | ((keyLow_ + 1) & kSequenceMask);
    }

private:
    DrawPayload* RecordDraw(uint32_t type, uint32_t size);
    // Records a command whose payload is a copy of `size` bytes.
    void RecordCopy(uint32_t type, const void* payload, uint32_t size);
    bool CaptureStage(const ShaderBase* shader, StageBindings& out);

    uint32_t index_ = 0;
    uint16_t targetWidth_ = 0;
    uint16_t targetHeight_ = 0;
    uint32_t keyLow_ = 0;
    uint32_t keyHigh_ = 0;
    VertexShader* vertexShader_ = nullptr;
    GeometryShader* geometryShader_ = nullptr;
    PixelShader* pixelShader_ = nullptr;
    RasterizerState* rasterizerState_ = nullptr;
    DepthStencilState* depthStencilState_ = nullptr;
    BlendState* blendState_ = nullptr;
    VertexStream streams_[2] = {};
    VertexLayout* layout_ = nullptr;
    IndexBuffer* indexBuffer_ = nullptr;
    uint8_t indexFormat_ = 0;
    uint32_t indexOffset_ = 0;
    uint32_t topology_ = 0;
    ConstantBuffer* constantBuffers_[kConstantBufferSlots] = {};
    Texture* textures_[kTextureSlots] = {};
    SamplerState* samplers_[kSamplerSlots] = {};
};

// The calling thread's context: claimed once per recording thread.
DrawContext* ClaimDrawContext();
DrawContext* GetDrawContext();
// Forgets the calling thread's context (threads that end, tests).
void ReleaseDrawContext();

// Thread-local forms of the context operations. A thread without a context
// records nothing.
void SetVertexShader(VertexShader* shader);
void SetGeometryShader(GeometryShader* shader);
void SetPixelShader(PixelShader* shader);
void SetRasterizerState(RasterizerState* state);
void SetDepthStencilState(DepthStencilState* state);
void SetBlendState(BlendState* state);
void SetConstantBuffer(uint32_t id, ConstantBuffer* buffer);
void SetTexture(uint32_t id, Texture* texture);
void SetSampler(uint32_t id, SamplerState* sampler);
void SetVertexStream(uint32_t stream, VertexBuffer* buffer, uint32_t stride, uint32_t offset);
void SetVertexLayout(VertexLayout* layout);
void SetIndexBuffer(IndexBuffer* buffer, uint32_t format, uint32_t offset);
void SetTopology(uint32_t topology);
void SetSortPriority(uint32_t value);
void SetSortField1(uint32_t value);
void SetSortField2(uint32_t value);
void SetSortField3(uint32_t value);
void GetTargetExtent(uint16_t& width, uint16_t& height);
CommandHeader* AllocCommand(uint32_t type, uint32_t size);
void Draw(uint32_t vertexCount);
void DrawIndexed(uint32_t indexCount, uint32_t startIndex);
void SetRenderTarget(RenderTargetTexture* target);
void SetBackBuffer();
void SetScissor(const RectPayload& rect);

// Memory that lives exactly as long as the current frame's commands: taken
// from the payload end of the current command block; null when it is full.
void* AllocFrameMemory(uint32_t size);

} // namespace Mireku::Graphics
