#pragma once

#include "engine/graphics/CommandHeader.h"

#include <cstddef>
#include <cstdint>

namespace Mireku::Graphics {

class BlendState;
class ComputeShader;
class DepthStencilState;
class GeometryShader;
class IndexBuffer;
class PixelShader;
class RasterizerState;
class ShaderBase;
class VertexBuffer;
class VertexLayout;
class VertexShader;

struct VertexStream {
    VertexBuffer* buffer;
    uint32_t stride;
    uint32_t offset;
};

// What one shader stage of a draw reads, captured when it was recorded.
struct StageBindings {
    const ConstantBufferEntry* constantBuffers;
    uint32_t constantBufferCount;
    const TextureEntry* textures;
    uint32_t textureCount;
    const SamplerEntry* samplers;
    uint32_t samplerCount;
};

enum ShaderStage : uint32_t { kStageVertex, kStageGeometry, kStagePixel, kStageCompute };

// Everything a draw needs, copied out of the recording context. The vertex
// form ends after `start`; the indexed form carries the rest.
struct DrawPayload {
    RasterizerState* rasterizerState;
    DepthStencilState* depthStencilState;
    BlendState* blendState;
    VertexShader* vertexShader;
    GeometryShader* geometryShader;
    PixelShader* pixelShader;
    ComputeShader* computeShader;
    uint32_t topology;
    VertexLayout* layout;
    VertexStream streams[2];
    StageBindings stages[4];
    uint32_t count; // vertex or index count
    uint32_t start; // start vertex (always 0) or start index
    int32_t baseVertex;
    IndexBuffer* indexBuffer;
    uint8_t indexFormat; // 0 16-bit, otherwise 32-bit
    uint32_t indexOffset;
};

constexpr uint32_t kDrawPayloadBytes = offsetof(DrawPayload, baseVertex);
constexpr uint32_t kDrawIndexedPayloadBytes = sizeof(DrawPayload);

} // namespace Mireku::Graphics
