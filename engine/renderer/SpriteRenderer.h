#pragma once

#include "engine/common/HeapAllocator.h"
#include "engine/common/ReferenceCountObject.h"
#include "engine/common/Vector2.h"
#include "engine/renderer/SpriteRecord.h"

#include <cstdint>

namespace Mireku::Graphics {
class BlendState;
class ConstantBuffer;
class DepthStencilState;
class IndexBuffer;
class RasterizerState;
class SamplerState;
class VertexBuffer;
class VertexLayout;
class VertexShader;
} // namespace Mireku::Graphics

namespace Mireku::Renderer {

// Batched sprite drawing. A caller fills the current record field by field
// and submits it; Flush writes the frame's sprites into one dynamic vertex
// buffer and records one indexed draw per run of sprites that share their
// state, through the calling thread's draw context. Nothing is allocated per
// sprite or per frame.
class SpriteRenderer : public Common::ReferenceCountObject {
public:
    static constexpr uint32_t kMaxCapacity = 16384; // 16-bit indices
    static constexpr uint32_t kBlockWords = 64;
    static constexpr uint32_t kVertexStride = sizeof(SpriteVertex);
    // Blend selectors (SetBlend) and filters (SetFilter).
    static constexpr uint32_t kBlendNone = 0;
    static constexpr uint32_t kBlendAlpha = 1;
    static constexpr uint32_t kBlendAdd = 2;
    static constexpr uint32_t kBlendSubtract = 3;
    static constexpr uint32_t kFilterPoint = 0;
    static constexpr uint32_t kFilterLinear = 1;

    SpriteRenderer(uint32_t capacity, uint32_t blockCount, const char* name);
    ~SpriteRenderer() override;

    // --- The current record. ---
    void SetPriority(uint32_t priority);
    void ClearSortField1();
    void ClearSortField2();
    void ClearSortField3();
    void SetScissor(int16_t x, int16_t y, int16_t width, int16_t height);
    void SetBlend(uint32_t index);
    void SetFilter(uint32_t slot, uint32_t filter);
    void SetClamp(uint32_t slot);
    void SetTexture(Graphics::Texture* texture);
    void SetPixelShader(Graphics::PixelShader* shader);
    // Takes the next constant block for the words. Calls beyond the block
    // count, or more than 64 words, are ignored rather than written past the
    // blocks.
    void SetPixelShaderConstants(const uint32_t* words, uint32_t count);
    void SetPixelShaderConstants(const float* values, uint32_t count);

    void SetTexCoord0(float u, float v, float w, float h);
    void SetColor(uint32_t index, uint32_t rgba);
    void SetPositions(const Common::Vector2& p0, const Common::Vector2& p1,
                      const Common::Vector2& p2, const Common::Vector2& p3);
    void SetRect(float x, float y, float w, float h);
    void SetRectScaled(float x, float y, float w, float h, float sx, float sy);
    void SetRectScaledUniform(float x, float y, float w, float h, float s);
    void SetRectScaledAbout(float x, float y, float w, float h, float px, float py, float s);
    void SetRectRotated(float x, float y, float w, float h, float angle);
    void SetRectRotatedScaled(float x, float y, float w, float h, float s, float angle);
    void SetRectRotatedScaled2(float x, float y, float w, float h, float sx, float sy, float angle);

    // --- The batch. ---
    // Copies the current record into the batch (dropped when full) and clears
    // its dirty mask.
    void Submit();
    // Writes the batch's vertices and records its draws for a target of
    // width x height pixels; then empties the batch and resets the record.
    void Flush(int16_t width, int16_t height);
    void ResetState();

    // Inspection.
    const char* GetName() const { return name_.c_str(); }
    uint32_t GetCapacity() const { return capacity_; }
    uint32_t GetCount() const { return count_; }
    uint32_t GetLastFlushVertices() const { return lastFlushVertices_; }
    const SpriteRecord& GetCurrent() const { return current_; }
    Graphics::PixelShader* GetStandardPixelShader() const { return pixelShader_; }
    Graphics::Texture* GetDefaultTexture() const { return defaultTexture_; }
    Graphics::VertexBuffer* GetVertexBuffer() const { return vertexBuffer_; }
    Graphics::BlendState* GetBlendState(uint32_t index) const { return blends_[index & 3]; }
    Graphics::SamplerState* GetSamplerState(uint32_t index) const { return samplers_[index & 3]; }
    Graphics::ConstantBuffer* GetParameterBuffer(uint32_t index) const {
        return parameterBuffers_[index < 5 ? index : 4];
    }

private:
    void SetCorners(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
    // Corners of the rectangle as offsets from (cx, cy), scaled, rotated, and
    // put back at the centre.
    void SetTransformed(float x, float y, float w, float h, float cx, float cy, float sx, float sy,
                        float angle, float post);
    void ApplyGroupState(const SpriteRecord& head);
    // Writes the vertices of a group's records from `out` on; returns their count.
    static uint32_t WriteGroup(const SpriteRecord* head, const SpriteRecord* end,
                               SpriteVertex* out);

    Common::String name_;
    SpriteRecord* records_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t count_ = 0;
    uint32_t* blocks_ = nullptr; // blockCount x (64 words + a word count)
    uint32_t blockCount_ = 0;

    Graphics::VertexBuffer* vertexBuffer_ = nullptr;
    Graphics::IndexBuffer* indexBuffer_ = nullptr;
    Graphics::VertexLayout* layout_ = nullptr;
    Graphics::VertexShader* vertexShader_ = nullptr;
    Graphics::PixelShader* pixelShader_ = nullptr;
    Graphics::SamplerState* samplers_[4] = {};
    Graphics::BlendState* blends_[4] = {};
    Graphics::DepthStencilState* depthStencil_ = nullptr;
    Graphics::RasterizerState* rasterizer_ = nullptr;

    uint32_t screenId_ = 0xFFFFFFFFu;      // "CB_VS_0"
    uint32_t textureSizeId_ = 0xFFFFFFFFu; // "CB_VS_1"
    uint32_t parameterId_ = 0xFFFFFFFFu;   // "CB_PixelShaderParameter"
    uint32_t textureIds_[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
    uint32_t samplerIds_[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};

    Graphics::ConstantBuffer* screenBuffer_ = nullptr;
    Graphics::ConstantBuffer* textureSizeBuffer_ = nullptr;
    Graphics::ConstantBuffer* parameterBuffers_[5] = {}; // 16, 32, 64, 128, 256 bytes
    Graphics::Texture* defaultTexture_ = nullptr;

    SpriteRecord current_{};

    uint32_t lastFlushVertices_ = 0;

    SpriteRecord* firstGroup_ = nullptr;
    SpriteRecord* lastGroup_ = nullptr;
};

} // namespace Mireku::Renderer
