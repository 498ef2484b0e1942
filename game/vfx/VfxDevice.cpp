#include "game/vfx/VfxDevice.h"

#include "engine/graphics/BlendState.h"
#include "engine/graphics/ConstantBuffer.h"
#include "engine/graphics/DepthStencilState.h"
#include "engine/graphics/DrawContext.h"
#include "engine/graphics/Driver.h"
#include "engine/graphics/GraphicsDevice.h"
#include "engine/graphics/RasterizerState.h"
#include "engine/graphics/ResourceCreation.h"
#include "engine/graphics/SamplerState.h"
#include "engine/graphics/StateCodes.h"
#include "game/vfx/IndexBuffer.h"
#include "game/vfx/Shader.h"
#include "game/vfx/Texture.h"
#include "game/vfx/VertexBuffer.h"

#include <algorithm>
#include <cstring>

namespace G = Mireku::Graphics;
namespace Code = Mireku::Graphics::StateCode;

namespace {

// The shader resource names the generated programs declare, in stage order.
constexpr const char* kTextureNames[VfxDevice::kStages] = {
    "g_TextureColor1",      "g_TextureColor2",      "g_TextureColor3",
    "g_TextureDistortion1", "g_TextureDistortion2", "g_TexturePalette",
    "g_TextureNormal",      "g_TextureReflection",  "g_TextureDepth",
};
constexpr const char* kSamplerNames[VfxDevice::kStages] = {
    "g_SamplerColor1",      "g_SamplerColor2",      "g_SamplerColor3",
    "g_SamplerDistortion1", "g_SamplerDistortion2", "g_SamplerPalette",
    "g_SamplerNormal",      "g_SamplerReflection",  "g_SamplerDepth",
};
constexpr const char* kVertexConstantName = "CBUFFER_VERTEX_SHADER";
constexpr const char* kPixelConstantName = "CBUFFER_PIXEL_SHADER";

// Filters of the sampler word: the engine's filter kind, its linear-mip flag
// and the maximum anisotropy index (1, 2, 4, 8, 16).
struct SamplerFilter {
    uint32_t kind;
    uint32_t linearMip;
    uint32_t anisotropy;
};
constexpr SamplerFilter kSamplerFilters[VfxDevice::kFilters] = {
    {Code::kFilterPoint, 0, 0},
    {Code::kFilterLinear, 1, 0},
    {Code::kFilterAnisotropic, 0, 2}, // x4
    {Code::kFilterAnisotropic, 0, 3}, // x8
};

// Depth states by compare kind * 4 + depth write * 2 + depth test: the
// engine's (write, comparison). Without the test the comparison is always,
// which with no write turns depth off altogether.
struct DepthCodes {
    uint32_t write;
    uint32_t comparison;
};
constexpr DepthCodes kDepthCodes[VfxDevice::kDepthStates] = {
    {Code::kDepthWriteOff, Code::kCompareAlways}, {Code::kDepthWriteOff, Code::kCompareLessEqual},
    {Code::kDepthWriteOn, Code::kCompareAlways},  {Code::kDepthWriteOn, Code::kCompareLessEqual},
    {Code::kDepthWriteOff, Code::kCompareAlways}, {Code::kDepthWriteOff, Code::kCompareGreater},
    {Code::kDepthWriteOn, Code::kCompareAlways},  {Code::kDepthWriteOn, Code::kCompareGreater},
};

// Cull kinds: 0 back faces, 1 front faces, 2 and 3 none.
constexpr uint32_t kCullKinds[4] = {Code::kCullBack, Code::kCullFront, Code::kCullNone,
                                    Code::kCullNone};

// Blend modes; the alpha channel always takes the source alpha as it is.
struct BlendCodes {
    uint8_t enable;
    uint32_t source;
    uint32_t destination;
    uint32_t operation;
};
constexpr BlendCodes kBlendCodes[VfxDevice::kBlendStates] = {
    {0, Code::kBlendSrcAlpha, Code::kBlendInvSrcAlpha, Code::kOpAdd}, // opaque
    {1, Code::kBlendSrcAlpha, Code::kBlendInvSrcAlpha, Code::kOpAdd}, // alpha
    {1, Code::kBlendSrcAlpha, Code::kBlendOne, Code::kOpAdd},         // additive
    {1, Code::kBlendSrcAlpha, Code::kBlendOne, Code::kOpRevSubtract}, // subtractive
    {1, Code::kBlendZero, Code::kBlendSrcColour, Code::kOpAdd},       // multiply
    {1, Code::kBlendOne, Code::kBlendInvSrcColour, Code::kOpAdd},     // screen
};

// Engine topologies of the runtime's primitive codes: line list, triangle list.
constexpr uint32_t kTopologies[2] = {1, 3};

// The two rasterizer passes of each cull mode (cull kind, or none for a
// single pass). Mode 3 draws the back faces first, then the front faces.
constexpr uint32_t kNoPass = 0xFFFFFFFFu;
constexpr uint32_t kCullPasses[4][2] = {{0, kNoPass}, {1, kNoPass}, {2, kNoPass}, {1, 0}};

constexpr uint32_t kConstantBufferUsage = 1;

void SetIdentity(float (*registers)[4]) {
    for (uint32_t row = 0; row < 4; ++row)
        for (uint32_t column = 0; column < 4; ++column)
            registers[row][column] = row == column ? 1.0f : 0.0f;
}

// Copies count elements of stride bytes into the registers from first on;
// true when a register changed.
bool CopyRegisters(float (*shadow)[4], uint32_t registers, uint32_t first, const void* data,
                   uint32_t count, uint32_t stride) {
    if (!data || first >= registers)
        return false;
    count = std::min(count, registers - first);
    const uint32_t bytes = std::min(stride, VfxDevice::kRegisterBytes);
    const auto* from = static_cast<const uint8_t*>(data);
    bool changed = false;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* element = from + size_t{i} * stride;
        if (std::memcmp(shadow[first + i], element, bytes) != 0) {
            std::memcpy(shadow[first + i], element, bytes);
            changed = true;
        }
    }
    return changed;
}

// Address modes have two bits; the fourth value has no sampler state of its
// own and reads as clamp.
uint32_t AddressMode(uint32_t mode) {
    return mode < VfxDevice::kAddressModes ? mode : 0;
}

template <class Host, class Engine> Host* Wrap(Engine* engine, bool made) {
    if (!engine)
        return nullptr;
    Host* host = made ? new Host(engine) : nullptr;
    engine->Release(); // the host holds its own reference
    return host;
}

// The engine buffer behind a locked host buffer, when the range fits it.
template <class Host> void* Lock(Host* buffer, uint32_t offset, uint32_t size) {
    auto* engine = buffer ? buffer->Get() : nullptr;
    if (!engine || uint64_t{offset} + size > engine->GetByteSize())
        return nullptr;
    uint8_t* staging = engine->GetStaging(G::GetFrameIndex());
    if (!staging)
        return nullptr;
    buffer->SetLockOffset(offset);
    engine->SetWriting(1);
    return staging + offset;
}

template <class Host> void Unlock(Host* buffer, uint32_t bytesUsed) {
    auto* engine = buffer ? buffer->Get() : nullptr;
    if (!engine)
        return;
    const uint64_t end = uint64_t{buffer->GetLockOffset()} + bytesUsed;
    engine->Unlock(G::GetFrameIndex(),
                   static_cast<uint32_t>(std::min<uint64_t>(end, engine->GetByteSize())));
}

template <class T, size_t N> void ReleaseAll(T* (&objects)[N]) {
    for (T*& object : objects) {
        if (object)
            object->Release();
        object = nullptr;
    }
}

} // namespace

VfxDevice::VfxDevice() {
    SetIdentity(&vertexConstants_[0]);
    SetIdentity(&vertexConstants_[4]);
    SetIdentity(&pixelConstants_[4]);
    SetIdentity(&pixelConstants_[8]);

    uint32_t index = 0;
    for (const SamplerFilter& f : kSamplerFilters)
        for (uint32_t u = 0; u < kAddressModes; ++u)
            for (uint32_t v = 0; v < kAddressModes; ++v)
                samplerStates_[index++] = G::CreateSamplerState(f.kind, f.linearMip, f.anisotropy,
                                                                u, v, Code::kSamplerCompareNone);
    for (uint32_t i = 0; i < kDepthStates; ++i)
        depthStates_[i] =
            G::CreateDepthStencilState(kDepthCodes[i].write, kDepthCodes[i].comparison);
    for (uint32_t i = 0; i < kRasterizerStates; ++i)
        rasterizerStates_[i] = G::CreateRasterizerState(
            i % 2 ? Code::kFillWireframe : Code::kFillSolid, kCullKinds[i / 2], 0);
    for (uint32_t i = 0; i < kBlendStates; ++i) {
        const BlendCodes& b = kBlendCodes[i];
        blendStates_[i] = G::CreateBlendState(b.enable, 0, 0, Code::kBlendZero, Code::kBlendOne,
                                              Code::kOpAdd, b.destination, b.source, b.operation);
    }
    vertexConstantBuffer_ =
        G::CreateConstantBuffer(kVertexRegisters * kRegisterBytes, kConstantBufferUsage, 0);
    pixelConstantBuffer_ =
        G::CreateConstantBuffer(kPixelRegisters * kRegisterBytes, kConstantBufferUsage, 0);

    for (uint32_t stage = 0; stage < kStages; ++stage) {
        textureIds_[stage] = G::GetTextureId(kTextureNames[stage]);
        samplerIds_[stage] = G::GetSamplerId(kSamplerNames[stage]);
    }
    vertexConstantId_ = G::GetConstantBufferId(kVertexConstantName);
    pixelConstantId_ = G::GetConstantBufferId(kPixelConstantName);
}

VfxDevice::~VfxDevice() {
    G::ConstantBuffer* buffers[] = {vertexConstantBuffer_, pixelConstantBuffer_};
    ReleaseAll(buffers);
    ReleaseAll(blendStates_);
    ReleaseAll(rasterizerStates_);
    ReleaseAll(depthStates_);
    ReleaseAll(samplerStates_);
    for (auto& [key, shader] : cache_)
        shader->Release();
    cache_.clear();
}

G::SamplerState* VfxDevice::GetSamplerState(uint32_t index) const {
    return index < kSamplerStates ? samplerStates_[index] : nullptr;
}

G::DepthStencilState* VfxDevice::GetDepthState(uint32_t index) const {
    return index < kDepthStates ? depthStates_[index] : nullptr;
}

G::RasterizerState* VfxDevice::GetRasterizerState(uint32_t index) const {
    return index < kRasterizerStates ? rasterizerStates_[index] : nullptr;
}

G::BlendState* VfxDevice::GetBlendState(uint32_t index) const {
    return index < kBlendStates ? blendStates_[index] : nullptr;
}

FulgorCore::IVertexBuffer* VfxDevice::CreateVertexBuffer(uint32_t size, bool dynamic,
                                                         const void* initial) {
    const uint32_t usage = dynamic ? G::BaseBuffer::kUsageDynamic : G::BaseBuffer::kUsageDefault;
    G::VertexBuffer* engine = initial ? G::CreateVertexBufferWithData(initial, size, usage, 0)
                                      : G::CreateVertexBuffer(size, usage, 0);
    return Wrap<VertexBuffer>(engine, engine && engine->GetBuffer());
}

FulgorCore::IIndexBuffer* VfxDevice::CreateIndexBuffer(uint32_t size, bool dynamic,
                                                       const uint16_t* initial) {
    const uint32_t usage = dynamic ? G::BaseBuffer::kUsageDynamic : G::BaseBuffer::kUsageDefault;
    G::IndexBuffer* engine = initial ? G::CreateIndexBufferWithData(initial, size, usage, 0)
                                     : G::CreateIndexBuffer(size, usage, 0);
    return Wrap<IndexBuffer>(engine, engine && engine->GetBuffer());
}

FulgorCore::ITexture* VfxDevice::CreateTexture(const void* image, uint32_t size) {
    G::Texture* engine = image && size
                             ? G::CreateTextureFromMemory(image, size, G::kTextureFormatFromFile)
                             : nullptr;
    // An image the engine could not read comes back as an empty texture.
    return Wrap<Texture>(engine, engine && engine->GetShaderResourceView());
}

void VfxDevice::SetBlendMode(uint32_t mode, bool wireframe) {
    settings_.blendMode = mode;
    settings_.wireframe = wireframe ? 1 : 0;
}

void VfxDevice::SetDepthState(uint8_t compareKind, uint8_t depthWrite, uint8_t depthTest) {
    settings_.depthCompare = compareKind;
    settings_.depthWrite = depthWrite;
    settings_.depthTest = depthTest;
}

void VfxDevice::SetTexture(uint32_t stage, FulgorCore::ITexture* texture, uint32_t filter,
                           uint32_t addressU, uint32_t addressV, uint32_t) {
    if (stage >= kStages)
        return;
    settings_.textures[stage] = texture;
    settings_.filters[stage] = filter;
    settings_.addressU[stage] = addressU;
    settings_.addressV[stage] = addressV;
}

void VfxDevice::SetDepthTexture(FulgorCore::ITexture* texture) {
    SetTexture(kStages - 1, texture, 0, 2, 2, 0);
}

void VfxDevice::SetVertexShaderConstants(uint32_t firstRegister, const void* data,
                                         uint32_t registerCount, uint32_t stride) {
    if (CopyRegisters(vertexConstants_, kVertexRegisters, firstRegister, data, registerCount,
                      stride))
        vertexConstantsCopied_ = false;
}

void VfxDevice::SetPixelShaderConstants(uint32_t firstRegister, const void* data,
                                        uint32_t registerCount, uint32_t stride) {
    if (CopyRegisters(pixelConstants_, kPixelRegisters, firstRegister, data, registerCount, stride))
        pixelConstantsCopied_ = false;
}

void VfxDevice::SetVertexBuffer(uint32_t stream, FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                                uint32_t stride) {
    if (stream >= 2)
        return;
    settings_.streamOffsets[stream] = offset;
    settings_.streamStrides[stream] = stride;
    settings_.streamBuffers[stream] = buffer ? static_cast<VertexBuffer*>(buffer)->Get() : nullptr;
}

void VfxDevice::SetIndexBuffer(FulgorCore::IIndexBuffer* buffer) {
    settings_.indexBuffer = buffer ? static_cast<IndexBuffer*>(buffer)->Get() : nullptr;
}

void* VfxDevice::LockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t offset, uint32_t size) {
    return Lock(static_cast<IndexBuffer*>(buffer), offset, size);
}

void* VfxDevice::LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                                  uint32_t size) {
    return Lock(static_cast<VertexBuffer*>(buffer), offset, size);
}

void VfxDevice::UnlockIndexBuffer(FulgorCore::IIndexBuffer* buffer, uint32_t bytesUsed) {
    Unlock(static_cast<IndexBuffer*>(buffer), bytesUsed);
}

void VfxDevice::UnlockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t bytesUsed) {
    Unlock(static_cast<VertexBuffer*>(buffer), bytesUsed);
}

bool VfxDevice::CopyConstants(G::ConstantBuffer& buffer, const void* constants, uint32_t bytes,
                              bool& copied) {
    if (copied && buffer.GetData())
        return true;
    void* data = buffer.AllocData(bytes);
    copied = data != nullptr;
    if (!data)
        return false;
    std::memcpy(data, constants, bytes);
    buffer.EndWrite();
    return true;
}

bool VfxDevice::FlushState(G::DrawContext& context) {
    // A reset (or a material whose shader could not be made) leaves no
    // program to draw with.
    ShaderObject* program =
        settings_.shader ? static_cast<Shader*>(settings_.shader)->Get() : nullptr;
    if (!program)
        return false;
    // Every draw carries all constants as they stand: a copy taken from the
    // frame's command memory, shared by the frame's draws that follow until
    // a constant changes (a copy of an earlier frame is gone). When that
    // memory is spent there is nothing to draw with.
    if (!vertexConstantBuffer_ || !pixelConstantBuffer_ ||
        !CopyConstants(*vertexConstantBuffer_, vertexConstants_, sizeof vertexConstants_,
                       vertexConstantsCopied_) ||
        !CopyConstants(*pixelConstantBuffer_, pixelConstants_, sizeof pixelConstants_,
                       pixelConstantsCopied_))
        return false;

    const uint32_t blend = settings_.blendMode < kBlendStates ? settings_.blendMode : 0;
    context.SetBlendState(blendStates_[blend]);
    const uint32_t depth = (settings_.depthCompare ? 4 : 0) + (settings_.depthWrite ? 2 : 0) +
                           (settings_.depthTest ? 1 : 0);
    context.SetDepthStencilState(depthStates_[depth]);

    for (uint32_t stage = 0; stage < kStages; ++stage) {
        FulgorCore::ITexture* texture = settings_.textures[stage];
        if (!texture) {
            // An empty stage must not sample what an earlier draw of the
            // frame bound under its name: unbound reads as zero.
            context.SetTexture(textureIds_[stage], nullptr);
            continue;
        }
        // A texture that answers unbound is bound as none, so the stage
        // does not keep what an earlier draw bound there either.
        auto* host = static_cast<Texture*>(texture);
        context.SetTexture(textureIds_[stage], host->IsUnbound() ? nullptr : host->Get());
        const uint32_t sampler = (settings_.filters[stage] % kFilters) * 9 +
                                 AddressMode(settings_.addressU[stage]) * 3 +
                                 AddressMode(settings_.addressV[stage]);
        context.SetSampler(samplerIds_[stage], samplerStates_[sampler]);
    }

    context.SetVertexLayout(program->GetLayout());
    context.SetVertexShader(program->GetVertexShader());
    context.SetPixelShader(program->GetPixelShader());
    for (uint32_t stream = 0; stream < 2; ++stream)
        context.SetVertexStream(stream, settings_.streamBuffers[stream],
                                settings_.streamStrides[stream], settings_.streamOffsets[stream]);
    context.SetConstantBuffer(vertexConstantId_, vertexConstantBuffer_);
    context.SetConstantBuffer(pixelConstantId_, pixelConstantBuffer_);
    return true;
}

void VfxDevice::Submit(uint32_t primitive, uint32_t firstIndex, uint32_t count, bool indexed) {
    G::DrawContext* context = G::GetDrawContext();
    const uint32_t cull = settings_.cullMode;
    if (!context || primitive >= 2 || cull >= 4)
        return;
    // 16-bit indices. A range that passes the bound buffer (or with none
    // bound) would read past it: the draw is skipped.
    const uint64_t indexBytes = uint64_t{firstIndex} * 2;
    if (indexed && (!settings_.indexBuffer ||
                    indexBytes + uint64_t{count} * 2 > settings_.indexBuffer->GetByteSize()))
        return;
    if (!FlushState(*context))
        return;
    if (indexed)
        context->SetIndexBuffer(settings_.indexBuffer, 0, static_cast<uint32_t>(indexBytes));
    context->SetTopology(kTopologies[primitive]);
    for (uint32_t kind : kCullPasses[cull]) {
        if (kind == kNoPass)
            break;
        context->SetRasterizerState(rasterizerStates_[kind * 2 + settings_.wireframe]);
        if (indexed)
            context->DrawIndexed(count, 0);
        else
            context->Draw(count);
    }
}

void VfxDevice::Draw(uint32_t primitive, uint32_t vertexCount) {
    Submit(primitive, 0, vertexCount, false);
}

void VfxDevice::DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                            uint32_t) {
    Submit(primitive, firstIndex, indexCount, true);
}
