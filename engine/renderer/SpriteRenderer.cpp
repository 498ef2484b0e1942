#include "engine/renderer/SpriteRenderer.h"

#include "engine/common/Heap.h"
#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/Driver.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/IndexBuffer.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/ShaderBase.h"
#include "engine/graphics/SortKey.h"
#include "engine/graphics/StateCodes.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/VertexBuffer.h"
#include "engine/graphics/VertexLayout.h"
#include "engine/renderer/BuiltinShaders.h"
#include "engine/renderer/DefaultTexture.h"

#include <cmath>
#include <cstring>

namespace Mireku::Renderer {

namespace {

using namespace Graphics;

const VertexElement kSpriteElements[] = {
    {0, 0, kVertexR32G32Float, "POSITION", 0, 0}, {0, 8, kVertexR32G32Float, "TEXTURE", 0, 0},
    {0, 16, kVertexR32G32Float, "TEXTURE", 1, 0}, {0, 24, kVertexR8G8B8A8Unorm, "COLOR", 0, 0},
    {0, 28, kVertexR8G8B8A8Unorm, "COLOR", 1, 0}, {kVertexElementEnd, 0, 0, nullptr, 0, 0},
};

constexpr uint32_t kParameterSizes[5] = {16, 32, 64, 128, 256};

template <class T> void ReleaseResource(T*& resource) {
    if (resource)
        resource->Release();
    resource = nullptr;
}

} // namespace

SpriteRenderer::SpriteRenderer(uint32_t capacity, uint32_t blockCount, const char* name)
    : name_(name ? name : "") {
    if (capacity > kMaxCapacity)
        capacity = kMaxCapacity;
    records_ = static_cast<SpriteRecord*>(
        Common::Heap::LockedAlloc(size_t{capacity ? capacity : 1} * sizeof(SpriteRecord)));
    capacity_ = records_ ? capacity : 0;
    blocks_ = blockCount ? static_cast<uint32_t*>(Common::Heap::LockedAlloc(
                               size_t{blockCount} * (kBlockWords + 1) * sizeof(uint32_t)))
                         : nullptr;
    blockCount_ = blocks_ ? blockCount : 0;

    vertexBuffer_ = CreateVertexBuffer(capacity_ * 4 * kVertexStride, 1, 0);
    // Quad k of vertices 4k..4k+3 (TL, TR, BL, BR): triangles TL-TR-BR and BR-BL-TL.
    const uint32_t indexCount = capacity_ * 6;
    uint16_t* indices = static_cast<uint16_t*>(
        Common::Heap::LockedAlloc(size_t{indexCount ? indexCount : 1} * sizeof(uint16_t)));
    if (indices) {
        for (uint32_t k = 0; k < capacity_; ++k) {
            const uint16_t b = static_cast<uint16_t>(k * 4);
            uint16_t* q = indices + k * 6;
            q[0] = b, q[1] = static_cast<uint16_t>(b + 1), q[2] = static_cast<uint16_t>(b + 3);
            q[3] = static_cast<uint16_t>(b + 3), q[4] = static_cast<uint16_t>(b + 2), q[5] = b;
        }
        indexBuffer_ = CreateIndexBufferWithData(indices, indexCount * sizeof(uint16_t), 0, 0);
        Common::Heap::LockedFree(indices);
    }
    layout_ = CreateVertexLayout(kSpriteElements, BuiltinShaders::kSpriteVertexShader,
                                 static_cast<uint32_t>(BuiltinShaders::kSpriteVertexShaderBytes));
    vertexShader_ =
        CreateVertexShader(BuiltinShaders::kSpriteVertexShader,
                           static_cast<uint32_t>(BuiltinShaders::kSpriteVertexShaderBytes));
    pixelShader_ =
        CreatePixelShader(BuiltinShaders::kSpritePixelShader,
                          static_cast<uint32_t>(BuiltinShaders::kSpritePixelShaderBytes));

    namespace Code = Graphics::StateCode;
    // Indexed by filter x 2 + address: point/linear, clamp/wrap.
    for (uint32_t filter : {kFilterPoint, kFilterLinear}) {
        const uint32_t kind = filter == kFilterLinear ? Code::kFilterLinear : Code::kFilterPoint;
        const uint32_t linearMip = filter == kFilterLinear ? 1 : 0;
        samplers_[filter * 2] = CreateSamplerState(kind, linearMip, 0, Code::kAddressClamp,
                                                   Code::kAddressClamp, Code::kSamplerCompareNone);
        samplers_[filter * 2 + 1] = CreateSamplerState(
            kind, linearMip, 0, Code::kAddressWrap, Code::kAddressWrap, Code::kSamplerCompareNone);
    }
    // By blend selector; alpha always adds one and one.
    blends_[kBlendNone] = CreateBlendState(0, 0, 0, Code::kBlendZero, Code::kBlendOne, Code::kOpAdd,
                                           Code::kBlendZero, Code::kBlendOne, Code::kOpAdd);
    blends_[kBlendAlpha] =
        CreateBlendState(1, 0, 0, Code::kBlendOne, Code::kBlendOne, Code::kOpAdd,
                         Code::kBlendInvSrcAlpha, Code::kBlendSrcAlpha, Code::kOpAdd);
    blends_[kBlendAdd] = CreateBlendState(1, 0, 0, Code::kBlendOne, Code::kBlendOne, Code::kOpAdd,
                                          Code::kBlendOne, Code::kBlendSrcAlpha, Code::kOpAdd);
    blends_[kBlendSubtract] =
        CreateBlendState(1, 0, 0, Code::kBlendOne, Code::kBlendOne, Code::kOpAdd, Code::kBlendOne,
                         Code::kBlendSrcAlpha, Code::kOpRevSubtract);
    depthStencil_ = CreateDepthStencilState(Code::kDepthWriteOff, Code::kCompareAlways);
    rasterizer_ = CreateRasterizerState(Code::kFillSolid, Code::kCullNone, 1); // scissor on

    screenId_ = GetConstantBufferId("CB_VS_0");
    textureSizeId_ = GetConstantBufferId("CB_VS_1");
    parameterId_ = GetConstantBufferId("CB_PixelShaderParameter");
    textureIds_[0] = GetTextureId("g_Texture0");
    textureIds_[1] = GetTextureId("g_Texture1");
    samplerIds_[0] = GetSamplerId("g_Sampler0");
    samplerIds_[1] = GetSamplerId("g_Sampler1");

    screenBuffer_ = CreateConstantBuffer(16, 1, 0);
    textureSizeBuffer_ = CreateConstantBuffer(16, 1, 0);
    for (uint32_t i = 0; i < 5; ++i)
        parameterBuffers_[i] = CreateConstantBuffer(kParameterSizes[i], 1, 0);
    defaultTexture_ =
        CreateTextureFromMemory(kWhiteTextureDds, sizeof(kWhiteTextureDds), kTextureFormatFromFile);
    ResetState();
}

SpriteRenderer::~SpriteRenderer() {
    ReleaseResource(vertexBuffer_);
    ReleaseResource(indexBuffer_);
    ReleaseResource(layout_);
    ReleaseResource(vertexShader_);
    ReleaseResource(pixelShader_);
    for (SamplerState*& s : samplers_)
        ReleaseResource(s);
    for (BlendState*& b : blends_)
        ReleaseResource(b);
    ReleaseResource(depthStencil_);
    ReleaseResource(rasterizer_);
    ReleaseResource(screenBuffer_);
    ReleaseResource(textureSizeBuffer_);
    for (ConstantBuffer*& c : parameterBuffers_)
        ReleaseResource(c);
    ReleaseResource(defaultTexture_);
    if (records_)
        Common::Heap::LockedFree(records_);
    if (blocks_)
        Common::Heap::LockedFree(blocks_);
}

// --- Setters. ---

void SpriteRenderer::SetPriority(uint32_t priority) {
    const uint32_t word = Graphics::SortKey::WithPriority(current_.stateWord, priority);
    if (word != current_.stateWord) {
        current_.stateWord = word;
        current_.dirty |= kDirtyPriority;
    }
}

void SpriteRenderer::ClearSortField1() {
    if (Graphics::SortKey::Field1(current_.stateWord) != 0) {
        current_.stateWord = Graphics::SortKey::WithField1(current_.stateWord, 0);
        current_.dirty |= kDirtySortField1;
    }
}

void SpriteRenderer::ClearSortField2() {
    if (Graphics::SortKey::Field2(current_.stateWord) != 0) {
        current_.stateWord = Graphics::SortKey::WithField2(current_.stateWord, 0);
        current_.dirty |= kDirtySortField2;
    }
}

void SpriteRenderer::ClearSortField3() {
    if (Graphics::SortKey::Field3(current_.stateWord) != 0) {
        current_.stateWord = Graphics::SortKey::WithField3(current_.stateWord, 0);
        current_.dirty |= kDirtySortField3;
    }
}

void SpriteRenderer::SetScissor(int16_t x, int16_t y, int16_t width, int16_t height) {
    current_.scissor[0] = x;
    current_.scissor[1] = y;
    current_.scissor[2] = width;
    current_.scissor[3] = height;
    current_.dirty |= kDirtyScissor;
}

void SpriteRenderer::SetBlend(uint32_t index) {
    const uint32_t blend = index & 255;
    if (blend != current_.blend) {
        current_.blend = blend;
        current_.dirty |= kDirtyBlend;
    }
}

void SpriteRenderer::SetFilter(uint32_t slot, uint32_t filter) {
    if (slot > 1)
        return;
    const uint8_t f = filter ? 1 : 0;
    if (f != current_.filter[slot]) {
        current_.filter[slot] = f;
        current_.dirty |= slot == 0 ? kDirtySampler0 : kDirtySampler1;
    }
}

void SpriteRenderer::SetClamp(uint32_t slot) {
    if (slot > 1 || current_.address[slot] == 0)
        return;
    current_.address[slot] = 0;
    current_.dirty |= slot == 0 ? kDirtySampler0 : kDirtySampler1;
}

void SpriteRenderer::SetTexture(Graphics::Texture* texture) {
    if (texture != current_.textures[0]) {
        current_.textures[0] = texture;
        current_.dirty |= kDirtyTexture0;
    }
}

void SpriteRenderer::SetPixelShader(Graphics::PixelShader* shader) {
    Graphics::PixelShader* s = shader ? shader : pixelShader_;
    if (s != current_.pixelShader) {
        current_.pixelShader = s;
        current_.dirty |= kDirtyPixelShader;
    }
}

void SpriteRenderer::SetPixelShaderConstants(const uint32_t* words, uint32_t count) {
    const int32_t next = current_.constantBlock + 1;
    if (!words || next < 0 || static_cast<uint32_t>(next) >= blockCount_ || count > kBlockWords)
        return;
    uint32_t* block = blocks_ + size_t{static_cast<uint32_t>(next)} * (kBlockWords + 1);
    std::memcpy(block, words, count * sizeof(uint32_t));
    block[kBlockWords] = count;
    current_.constantBlock = next;
    current_.dirty |= kDirtyConstants;
}

void SpriteRenderer::SetPixelShaderConstants(const float* values, uint32_t count) {
    static_assert(sizeof(float) == sizeof(uint32_t));
    SetPixelShaderConstants(reinterpret_cast<const uint32_t*>(values), count);
}

void SpriteRenderer::SetTexCoord0(float u, float v, float w, float h) {
    SpriteVertex* q = current_.vertices;
    q[0].u0 = u, q[0].v0 = v;
    q[1].u0 = u + w, q[1].v0 = v;
    q[2].u0 = u, q[2].v0 = v + h;
    q[3].u0 = u + w, q[3].v0 = v + h;
}

void SpriteRenderer::SetColor(uint32_t index, uint32_t rgba) {
    for (SpriteVertex& v : current_.vertices) {
        if (index == 0)
            v.colour0 = rgba;
        else if (index == 1)
            v.colour1 = rgba;
    }
}

void SpriteRenderer::SetCorners(float x0, float y0, float x1, float y1, float x2, float y2,
                                float x3, float y3) {
    SpriteVertex* q = current_.vertices;
    q[0].x = x0, q[0].y = y0;
    q[1].x = x1, q[1].y = y1;
    q[2].x = x2, q[2].y = y2;
    q[3].x = x3, q[3].y = y3;
}

void SpriteRenderer::SetPositions(const Common::Vector2& p0, const Common::Vector2& p1,
                                  const Common::Vector2& p2, const Common::Vector2& p3) {
    SetCorners(p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
}

void SpriteRenderer::SetRect(float x, float y, float w, float h) {
    SetCorners(x, y, x + w, y, x, y + h, x + w, y + h);
}

void SpriteRenderer::SetTransformed(float x, float y, float w, float h, float cx, float cy,
                                    float sx, float sy, float angle, float post) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float xs[4] = {x, x + w, x, x + w};
    const float ys[4] = {y, y, y + h, y + h};
    for (int i = 0; i < 4; ++i) {
        const float dx = (xs[i] - cx) * sx;
        const float dy = (ys[i] - cy) * sy;
        current_.vertices[i].x = (dx * c - dy * s) * post + cx;
        current_.vertices[i].y = (dx * s + dy * c) * post + cy;
    }
}

void SpriteRenderer::SetRectScaled(float x, float y, float w, float h, float sx, float sy) {
    SetTransformed(x, y, w, h, x + w * 0.5f, y + h * 0.5f, sx, sy, 0.0f, 1.0f);
}

void SpriteRenderer::SetRectScaledUniform(float x, float y, float w, float h, float s) {
    SetTransformed(x, y, w, h, x + w * 0.5f, y + h * 0.5f, s, s, 0.0f, 1.0f);
}

void SpriteRenderer::SetRectScaledAbout(float x, float y, float w, float h, float px, float py,
                                        float s) {
    SetTransformed(x, y, w, h, px, py, s, s, 0.0f, 1.0f);
}

void SpriteRenderer::SetRectRotated(float x, float y, float w, float h, float angle) {
    SetTransformed(x, y, w, h, x + w * 0.5f, y + h * 0.5f, 1.0f, 1.0f, angle, 1.0f);
}

void SpriteRenderer::SetRectRotatedScaled(float x, float y, float w, float h, float s,
                                          float angle) {
    SetTransformed(x, y, w, h, x + w * 0.5f, y + h * 0.5f, 1.0f, 1.0f, angle, s);
}

void SpriteRenderer::SetRectRotatedScaled2(float x, float y, float w, float h, float sx, float sy,
                                           float angle) {
    SetTransformed(x, y, w, h, x + w * 0.5f, y + h * 0.5f, sx, sy, angle, 1.0f);
}

// --- Batch. ---

void SpriteRenderer::Submit() {
    if (count_ >= capacity_)
        return;
    SpriteRecord* r = &records_[count_];
    *r = current_;
    r->nextGroup = nullptr;
    if (!firstGroup_) {
        firstGroup_ = lastGroup_ = r;
    } else if (current_.dirty != 0) {
        lastGroup_->nextGroup = r;
        lastGroup_ = r;
    }
    ++count_;
    current_.dirty = 0;
}

void SpriteRenderer::ResetState() {
    uint16_t width = 0, height = 0;
    if (DrawContext* context = GetDrawContext())
        context->GetTargetExtent(width, height);
    current_.pixelShader = pixelShader_;
    current_.textures[0] = nullptr;
    current_.textures[1] = nullptr;
    current_.scissor[0] = 0;
    current_.scissor[1] = 0;
    current_.scissor[2] = static_cast<int16_t>(width);
    current_.scissor[3] = static_cast<int16_t>(height);
    current_.stateWord = 0;
    current_.constantBlock = -1;
    current_.blend = 0;
    current_.filter[0] = current_.filter[1] = 0;
    current_.address[0] = current_.address[1] = 0;
    current_.dirty = kDirtyAll;
}

uint32_t SpriteRenderer::WriteGroup(const SpriteRecord* head, const SpriteRecord* end,
                                    SpriteVertex* out) {
    // A group's records are consecutive in the array (records are appended in
    // submission order and a group runs until the next group head).
    SpriteVertex* const begin = out;
    for (const SpriteRecord* r = head; r != end; ++r) {
        std::memcpy(out, r->vertices, sizeof(r->vertices));
        out += 4;
    }
    return static_cast<uint32_t>(out - begin);
}

void SpriteRenderer::ApplyGroupState(const SpriteRecord& head) {
    DrawContext* context = GetDrawContext();
    context->SetKeyHigh(head.stateWord);
    const uint32_t dirty = head.dirty;
    if (dirty & kDirtyScissor) {
        RectPayload rect{head.scissor[0], head.scissor[1], head.scissor[2], head.scissor[3]};
        context->SetScissor(rect);
    }
    if ((dirty & kDirtyConstants) && head.constantBlock >= 0 &&
        static_cast<uint32_t>(head.constantBlock) < blockCount_) {
        const uint32_t* block =
            blocks_ + size_t{static_cast<uint32_t>(head.constantBlock)} * (kBlockWords + 1);
        const uint32_t words = block[kBlockWords];
        if (words > 0 && words <= kBlockWords) {
            uint32_t pick = 0;
            while (kParameterSizes[pick] < words * 4)
                ++pick;
            ConstantBuffer* buffer = parameterBuffers_[pick];
            // The render thread uploads the buffer's whole size from the data
            // address, so the whole size is taken; the tail is zero.
            void* data = buffer ? buffer->AllocData(kParameterSizes[pick]) : nullptr;
            if (data) {
                std::memcpy(data, block, words * 4);
                std::memset(static_cast<uint8_t*>(data) + words * 4, 0,
                            kParameterSizes[pick] - words * 4);
                buffer->EndWrite();
                context->SetConstantBuffer(parameterId_, buffer);
            }
        }
    }
    if (dirty & kDirtyPixelShader)
        context->SetPixelShader(head.pixelShader ? head.pixelShader : pixelShader_);
    if ((dirty & kDirtyBlend) && head.blend < 4)
        context->SetBlendState(blends_[head.blend]);
    for (uint32_t slot = 0; slot < 2; ++slot) {
        if (dirty & (kDirtyTexture0 << slot)) {
            Texture* t = head.textures[slot];
            context->SetTexture(textureIds_[slot], t ? t : defaultTexture_);
        }
        if (dirty & (kDirtySampler0 << slot))
            context->SetSampler(samplerIds_[slot],
                                samplers_[(head.filter[slot] & 1) * 2 + (head.address[slot] & 1)]);
    }
    if (dirty & (kDirtyTexture0 | kDirtyTexture1)) {
        float* sizes =
            textureSizeBuffer_ ? static_cast<float*>(textureSizeBuffer_->AllocData(16)) : nullptr;
        if (sizes) {
            // A missing texture draws with the 1x1 default texture, whose
            // reciprocal size is 1.
            for (uint32_t slot = 0; slot < 2; ++slot) {
                const Texture* t = head.textures[slot];
                sizes[slot * 2] = t ? t->GetInvWidth() : 1.0f;
                sizes[slot * 2 + 1] = t ? t->GetInvHeight() : 1.0f;
            }
            textureSizeBuffer_->EndWrite();
        }
    }
}

void SpriteRenderer::Flush(int16_t width, int16_t height) {
    DrawContext* context = GetDrawContext();
    if (context && screenBuffer_) {
        context->SetTopology(3);
        context->SetVertexStream(0, vertexBuffer_, kVertexStride, 0);
        context->SetIndexBuffer(indexBuffer_, 0, 0);
        context->SetVertexLayout(layout_);
        context->SetVertexShader(vertexShader_);
        context->SetPixelShader(pixelShader_);
        context->SetBlendState(blends_[0]);
        context->SetDepthStencilState(depthStencil_);
        context->SetRasterizerState(rasterizer_);
        context->SetConstantBuffer(screenId_, screenBuffer_);
        context->SetConstantBuffer(textureSizeId_, textureSizeBuffer_);
        context->SetConstantBuffer(parameterId_, parameterBuffers_[0]);
        for (uint32_t slot = 0; slot < 2; ++slot) {
            context->SetSampler(samplerIds_[slot], samplers_[0]);
            context->SetTexture(textureIds_[slot], defaultTexture_);
        }

        float* screen = static_cast<float*>(screenBuffer_->AllocData(16));
        if (screen) {
            screen[0] = width ? 2.0f / width : 0.0f;
            screen[1] = height ? -2.0f / height : 0.0f;
            screen[2] = -1.0f;
            screen[3] = 1.0f;
            screenBuffer_->EndWrite();
        }
        const uint32_t half = GetFrameIndex();
        SpriteVertex* vertices =
            vertexBuffer_ ? reinterpret_cast<SpriteVertex*>(vertexBuffer_->GetStaging(half))
                          : nullptr;
        if (screen && vertices && count_ > 0) {
            vertexBuffer_->SetWriting(1);
            uint32_t drawn = 0;
            for (SpriteRecord* head = firstGroup_; head; head = head->nextGroup) {
                ApplyGroupState(*head);
                const SpriteRecord* end = head->nextGroup ? head->nextGroup : records_ + count_;
                const uint32_t group = WriteGroup(head, end, vertices + drawn);
                context->DrawIndexed(group / 4 * 6, drawn / 4 * 6);
                drawn += group;
            }
            vertexBuffer_->Unlock(half, drawn * kVertexStride);
            lastFlushVertices_ = drawn;
        }
    }
    // Whatever happened, the batch is spent: a failed reservation must not
    // carry this frame's sprites into the next one.
    count_ = 0;
    firstGroup_ = lastGroup_ = nullptr;
    ResetState();
}

} // namespace Mireku::Renderer
