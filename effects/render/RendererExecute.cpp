// The end of a layer: the pools are unmapped, then every draw record's
// constants and its chain of render commands go to the device, each
// command through the executor of its type.
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/ITexture.h"
#include "effects/Core/Math/Matrix.h"
#include "effects/render/DrawRecord.h"
#include "effects/render/RenderCommand.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"

#include <bit>

namespace FulgorCore::Renderer {

namespace {

// Texture stages bound per command kind; stage 8, the depth texture, is
// bound once per layer.
constexpr uint32_t kBatchStages = 6;
constexpr uint32_t kParticleStages = 1;
constexpr uint32_t kModelStages = 8;
constexpr uint32_t kDepthStage = 8;

constexpr uint32_t kModelStride = 48;
constexpr uint32_t kParticleStride = 48;
constexpr uint32_t kCubeStride = 12;
constexpr uint32_t kCubeIndices = 36;
constexpr uint32_t kCubeVertices = 8;

constexpr uint32_t kLineList = 0;     // the primitive of Draw
constexpr uint32_t kTriangleList = 1; // the primitive of DrawIndexed
constexpr uint32_t kNoCulling = 2;

// Strides of the uploads: float4 registers, and matrices of four rows of
// three floats.
constexpr uint32_t kFloat4 = 16;
constexpr uint32_t kFloat3 = 12;
constexpr uint32_t kFloat2 = 8;

IShader* ShaderOf(const RenderCommand& c) {
    // The device takes the shader back as it made it.
    return const_cast<IShader*>(c.shader);
}
uint32_t CullOf(uint32_t word) {
    return (word >> 2) & 3u;
}
uint32_t BlendOf(uint32_t word) {
    return (word >> 4) & 7u;
}

// The state word's depth flags (bits 0 and 1) through a mask: the batches
// draw with all three off under the plain-depth switch (mask 0), the model
// commands always with their own (kOwnDepth).
constexpr uint32_t kOwnDepth = 3;
uint32_t DepthMaskOf(const RendererWorkData& work) {
    return work.plainDepth ? 0u : kOwnDepth;
}
inline void SetDepthFlags(IDevice& d, uint32_t word, uint32_t depthMask) {
    const uint32_t depth = word & depthMask;
    d.SetDepthState(depth & 1u, depth >> 1, 0);
}

// Binds stages 0 to count - 1 of `mask` from the slots, lowest first. The
// latch is set by the first special texture met while it is clear.
void BindSlots(IDevice& d, uint8_t& latch, const TextureSlot* slots, uint32_t mask,
               uint32_t count) {
    if (!slots)
        return;
    const uint32_t stages = count < 32 ? (1u << count) - 1u : ~0u;
    for (uint32_t bound = mask & stages; bound; bound &= bound - 1u) {
        const uint32_t i = static_cast<uint32_t>(std::countr_zero(bound));
        ITexture* texture = slots[i].texture;
        if (!latch && texture && texture->IsSpecial())
            latch = 1;
        const uint32_t word = slots[i].sampler;
        d.SetTexture(i, texture, word & 3u, (word >> 2) & 3u, (word >> 4) & 3u, (word >> 6) & 1u);
    }
}
void BindSlots(RendererWorkData& work, const TextureSlot* slots, uint32_t mask, uint32_t count) {
    BindSlots(*work.device, work.textureLatch, slots, mask, count);
}

// The indexed batch's calls, the most common command: the record loop runs
// it in place with the device and the depth mask it holds for the layer.
[[gnu::always_inline]] inline void
RunIndexedBatch(IDevice& d, uint8_t& latch, const IndexedBatchCommand& c, uint32_t depthMask) {
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, c.vertexOffset, c.stride);
    d.SetIndexBuffer(c.indexBuffer);
    if (c.header.slotMask)
        BindSlots(d, latch, c.header.slots, c.header.slotMask, kBatchStages);
    const uint32_t word = c.header.stateWord;
    d.SetBlendMode(BlendOf(word), false);
    SetDepthFlags(d, word, depthMask);
    d.SetCullMode(CullOf(word));
    d.DrawIndexed(kTriangleList, c.firstIndex, c.indexCount, c.vertexCount);
}

void ExecuteVertexBatch(RendererWorkData& work, const RenderCommand& command) {
    const auto& c = reinterpret_cast<const VertexBatchCommand&>(command);
    IDevice& d = *work.device;
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, c.vertexOffset, c.stride);
    d.SetIndexBuffer(nullptr);
    d.SetBlendMode(BlendOf(c.header.stateWord), false);
    SetDepthFlags(d, c.header.stateWord, DepthMaskOf(work));
    d.SetCullMode(kNoCulling);
    d.Draw(kLineList, c.vertexCount);
}

void ExecuteIndexedBatch(RendererWorkData& work, const RenderCommand& command) {
    RunIndexedBatch(*work.device, work.textureLatch,
                    reinterpret_cast<const IndexedBatchCommand&>(command), DepthMaskOf(work));
}

void ExecuteParticleBatch(RendererWorkData& work, const RenderCommand& command) {
    const auto& c = reinterpret_cast<const ParticleBatchCommand&>(command);
    IDevice& d = *work.device;
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, c.vertexOffset, kParticleStride);
    d.SetIndexBuffer(c.indexBuffer);
    BindSlots(work, c.header.slots, c.header.slotMask, kParticleStages);
    d.SetVertexShaderConstants(12, c.viewConstant, 1, kFloat4);
    d.SetVertexShaderConstants(0, c.billboardMatrix, 3, kFloat3);
    d.SetBlendMode(BlendOf(c.header.stateWord), false);
    SetDepthFlags(d, c.header.stateWord, DepthMaskOf(work));
    d.SetCullMode(CullOf(c.header.stateWord));
    d.DrawIndexed(kTriangleList, c.firstIndex, c.indexCount, c.vertexCount);
}

// Where the model's origin lands on the screen: (0.5 x / w, -0.5 y / w,
// z / w, 1), or (0, 0, 1, 0) when it lies behind the camera.
void ScreenPositionOf(float* out, const float* world, const float* m) {
    const float* p = world + 9;
    float clip[4];
    for (int c = 0; c < 4; ++c)
        clip[c] = p[0] * m[c] + p[1] * m[4 + c] + p[2] * m[8 + c] + m[12 + c];
    const float w = clip[3];
    if (w > 0.0f) {
        out[0] = 0.5f * clip[0] / w;
        out[1] = -0.5f * clip[1] / w;
        out[2] = clip[2] / w;
        out[3] = 1.0f;
    } else {
        out[0] = 0.0f;
        out[1] = 0.0f;
        out[2] = 1.0f;
        out[3] = 0.0f;
    }
}

void ExecuteModelCommand(RendererWorkData& work, const RenderCommand& command) {
    const auto& c = reinterpret_cast<const ModelCommand&>(command);
    IDevice& d = *work.device;
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, 0, kModelStride);
    d.SetVertexBuffer(1, c.morphBuffer, 0, kModelStride);
    d.SetIndexBuffer(c.indexBuffer);
    BindSlots(work, c.header.slots, c.header.slotMask, kModelStages);
    d.SetVertexShaderConstants(4, c.worldMatrix, 4, kFloat3);
    d.SetVertexShaderConstants(14, c.baseColor, 1, kFloat4);
    d.SetVertexShaderConstants(15, c.vertexParameters, 1, kFloat4);
    d.SetPixelShaderConstants(15, c.pixelParameters, 2, kFloat4);
    d.SetPixelShaderConstants(18, c.uvTransforms, c.textureRegisters, kFloat4);
    d.SetPixelShaderConstants(34, c.specular, 1, kFloat4);
    d.SetPixelShaderConstants(13, c.viewVector, 1, kFloat4);
    if (c.falloff)
        d.SetPixelShaderConstants(30, c.falloff, 4, kFloat4);
    if (c.pointLights)
        d.SetPixelShaderConstants(40, c.pointLights, 8, kFloat4);
    if (c.screenPosition) {
        float position[4];
        ScreenPositionOf(position, c.worldMatrix, work.viewProjection);
        d.SetPixelShaderConstants(17, position, 1, kFloat4);
    }
    d.SetBlendMode(BlendOf(c.header.stateWord), false);
    SetDepthFlags(d, c.header.stateWord, kOwnDepth);
    d.SetCullMode(CullOf(c.header.stateWord));
    d.DrawIndexed(kTriangleList, 0, c.indexCount, c.vertexCount);
}

void ExecuteMatrixModelCommand(RendererWorkData& work, const RenderCommand& command) {
    const auto& c = reinterpret_cast<const MatrixModelCommand&>(command);
    IDevice& d = *work.device;
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, 0, kModelStride);
    d.SetVertexBuffer(1, nullptr, 0, kModelStride);
    d.SetIndexBuffer(c.indexBuffer);
    d.SetVertexShaderConstants(4, c.worldMatrix, 4, kFloat3);
    d.SetVertexShaderConstants(14, c.baseColor, 1, kFloat4);
    d.SetBlendMode(BlendOf(c.header.stateWord), true);
    d.SetDepthState(1, 0, 0);
    d.SetCullMode(kNoCulling);
    d.DrawIndexed(kTriangleList, 0, c.indexCount, c.vertexCount);
}

void ExecuteProjectionCommand(RendererWorkData& work, const RenderCommand& command) {
    const auto& c = reinterpret_cast<const ProjectionCommand&>(command);
    IDevice& d = *work.device;
    d.SetShader(ShaderOf(c.header));
    d.SetVertexBuffer(0, c.vertexBuffer, 0, kCubeStride);
    d.SetIndexBuffer(c.indexBuffer);
    BindSlots(work, c.header.slots, c.header.slotMask, kBatchStages);
    d.SetVertexShaderConstants(14, c.baseColor, 1, kFloat4);
    d.SetVertexShaderConstants(15, c.vertexParameters, 1, kFloat4);
    d.SetPixelShaderConstants(15, c.pixelParameters, 2, kFloat4);
    d.SetPixelShaderConstants(18, c.uvTransforms, c.textureRegisters, kFloat4);
    d.SetVertexShaderConstants(4, c.worldMatrix, 4, kFloat3);
    float inverse[12];
    Math::Matrix34Inverse(inverse, c.worldMatrix);
    d.SetPixelShaderConstants(4, inverse, 4, kFloat3);
    d.SetBlendMode(BlendOf(c.header.stateWord), false);
    d.SetDepthState(1, 0, 1);
    d.SetCullMode(0);
    d.DrawIndexed(kTriangleList, 0, kCubeIndices, kCubeVertices);
}

using Executor = void (*)(RendererWorkData& work, const RenderCommand& command);
constexpr Executor kExecutors[kRenderCommandTypeCount] = {
    ExecuteVertexBatch,  ExecuteIndexedBatch,       ExecuteParticleBatch,
    ExecuteModelCommand, ExecuteMatrixModelCommand, ExecuteProjectionCommand,
};

// The records of the layer in creation order. What the device cannot change
// (the device itself, the start-up switches, the record range) is held for
// the whole layer, not read again after every call; the two switches pick
// the loop once per layer.
template <bool kResetLatch, bool kPlainDepth>
void ExecuteRecords(RendererWorkData& work, const DrawRecord* record, const DrawRecord* end) {
    IDevice& d = *work.device;
    constexpr uint32_t depthMask = kPlainDepth ? 0u : kOwnDepth;
    for (; record != end; ++record) {
        if (kResetLatch)
            work.textureLatch = 0;
        d.OnDrawPhase(1);
        d.SetVertexShaderConstants(8, record->matrix, 4, kFloat4);
        d.SetVertexShaderConstants(13, record->rootColor, 1, kFloat4);
        d.SetPixelShaderConstants(14, record->screenParameter, 1, kFloat4);
        if (const float* light = record->effectLight) {
            d.SetVertexShaderConstants(19, light, 1, kFloat4);
            d.SetVertexShaderConstants(20, light + 4, 1, kFloat4);
            d.SetPixelShaderConstants(38, light, 1, kFloat4);
            d.SetPixelShaderConstants(39, light + 4, 1, kFloat4);
        }
        if (record->alphaLightParameter) {
            d.SetPixelShaderConstants(8, record->alphaLightMatrix, 4, kFloat3);
            d.SetPixelShaderConstants(12, record->alphaLightParameter, 1, kFloat2);
        }
        for (const RenderCommand* c = record->firstCommand; c; c = c->next) {
            d.OnDrawPhase(2);
            if (c->type == kIndexedBatchCommand)
                RunIndexedBatch(d, work.textureLatch,
                                *reinterpret_cast<const IndexedBatchCommand*>(c), depthMask);
            else if (c->type < kRenderCommandTypeCount)
                kExecutors[c->type](work, *c);
        }
    }
}
void ExecuteRecords(RendererWorkData& work, const DrawRecord* record, const DrawRecord* end) {
    using Loop = void (*)(RendererWorkData&, const DrawRecord*, const DrawRecord*);
    constexpr Loop kLoops[2][2] = {{ExecuteRecords<false, false>, ExecuteRecords<false, true>},
                                   {ExecuteRecords<true, false>, ExecuteRecords<true, true>}};
    kLoops[work.resetLatchPerRecord != 0][work.plainDepth != 0](work, record, end);
}

} // namespace

void BindTextures(const TextureSlot* slots, uint32_t mask, uint32_t count) {
    if (RendererWorkData* work = StartedRenderer())
        BindSlots(*work, slots, mask, count);
}

void ExecuteRenderCommand(const RenderCommand& command) {
    RendererWorkData* work = StartedRenderer();
    if (work && command.type < kRenderCommandTypeCount)
        kExecutors[command.type](*work, command);
}

void ExecuteDrawRecords() {
    RendererWorkData* work = StartedRenderer();
    if (!work)
        return;
    CommitDirtyRanges();
    IDevice& d = *work->device;
    d.OnBatchesBegin(work->currentLayer);
    if (work->drawRecordCount != 0) {
        const DrawParameter& p = work->drawParameter;
        d.SetTexture(kDepthStage, p.depthTexture, 0, 2, 2, 0);
        d.OnDrawPhase(0);
        // The scene's three vectors are three floats each: a register
        // takes twelve bytes of each, never the next vector's first float.
        const float* lightDirection = p.lighting;
        const float* lightColor = p.lighting + 3;
        d.SetVertexShaderConstants(16, p.ambientColour, 1, kFloat3);
        d.SetVertexShaderConstants(17, lightDirection, 1, kFloat3);
        d.SetVertexShaderConstants(18, lightColor, 1, kFloat3);
        d.SetPixelShaderConstants(35, p.ambientColour, 1, kFloat3);
        d.SetPixelShaderConstants(36, lightDirection, 1, kFloat3);
        d.SetPixelShaderConstants(37, lightColor, 1, kFloat3);
        d.SetPixelShaderConstants(0, work->inverseViewProjection, 4, kFloat4);
        work->textureLatch = 0;
        const auto* records = reinterpret_cast<const DrawRecord*>(work->records.base);
        ExecuteRecords(*work, records, records + work->drawRecordCount);
    }
    d.OnBatchesEnd(work->currentLayer);
}

} // namespace FulgorCore::Renderer
