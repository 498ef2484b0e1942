#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace FulgorCore {

class IIndexBuffer;
class IShader;
class IVertexBuffer;
struct TextureSlot;

// The six kinds of render command a draw record chains, by the executor
// that runs them.
enum RenderCommandType : uint32_t {
    kVertexBatchCommand = 0,
    kIndexedBatchCommand = 1,
    kParticleBatchCommand = 2,
    kModelCommand = 3,
    kMatrixModelCommand = 4,
    kProjectionCommand = 5,
    kRenderCommandTypeCount = 6,
};

// What every render command begins with (each command's first member): its type and the batch state
// it was recorded under. Commands live in the record area from its top end and are chained per draw
// record in the order they were made.
struct RenderCommand {
    uint32_t type;      // RenderCommandType
    uint32_t slotMask;  // bit i: texture stage i is bound
    uint32_t stateWord; // depth bits 0-1, cull 2-3, blend 4-6, batch kind 7-10
    const TextureSlot* slots;
    const IShader* shader;
    RenderCommand* next; // the next command of the same draw record
};

// Non-indexed vertices of the mapped pool (type 0).
struct VertexBatchCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer;
    IIndexBuffer* indexBuffer;
    uint32_t stride;
    uint32_t vertexOffset; // bytes: the batch's first vertex
    uint32_t vertexCount;
};

// Indexed vertices of the mapped pools (type 1).
struct IndexedBatchCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer;
    IIndexBuffer* indexBuffer;
    uint32_t stride;
    uint32_t vertexOffset;
    uint32_t vertexCount;
    uint32_t firstIndex;
    uint32_t indexCount;
};

// Camera-facing particle quads of 48-byte vertices (type 2).
struct ParticleBatchCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer;
    IIndexBuffer* indexBuffer;
    uint32_t vertexOffset;
    uint32_t vertexCount;
    uint32_t firstIndex;
    uint32_t indexCount;
    uint32_t unused;
    const float* viewConstant;    // one float4
    const float* billboardMatrix; // four rows of three floats
};

// A mesh in static buffers of its own (type 3): models and type-13 units.
struct ModelCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer; // stream 0
    IVertexBuffer* morphBuffer;  // stream 1, or null
    uint32_t vertexCount;
    IIndexBuffer* indexBuffer;
    uint32_t indexCount;
    uint32_t textureRegisters;     // 2 per texture-coordinate set
    const float* worldMatrix;      // four rows of three floats
    const float* baseColor;        // vertex register 14
    const float* vertexParameters; // vertex register 15
    const float* pixelParameters;  // pixel registers 15-16
    const float* uvTransforms;     // pixel registers from 18
    const float* falloff;          // pixel registers 30-33, or null
    const float* specular;         // pixel register 34
    const float* pointLights;      // pixel registers 40-47, or null
    const float* viewVector;       // pixel register 13
    uint8_t screenPosition;        // upload pixel register 17
};

// A mesh with its world matrix held in the command (type 4).
struct MatrixModelCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer;
    uint32_t vertexCount;
    IIndexBuffer* indexBuffer;
    uint32_t indexCount;
    float worldMatrix[12];
    const float* baseColor; // vertex register 14
};

// A projection (decal) volume on the unit cube (type 5).
struct ProjectionCommand {
    RenderCommand header;
    IVertexBuffer* vertexBuffer;
    IIndexBuffer* indexBuffer;
    uint32_t textureRegisters;
    const float* worldMatrix;
    const float* baseColor;
    const float* vertexParameters;
    const float* pixelParameters;
    const float* uvTransforms;
};

// Every command is read through its header first.
template <class T> constexpr bool StartsWithHeader() {
    return std::is_standard_layout_v<T> && offsetof(T, header) == 0;
}
static_assert(StartsWithHeader<VertexBatchCommand>() && StartsWithHeader<IndexedBatchCommand>() &&
              StartsWithHeader<ParticleBatchCommand>() && StartsWithHeader<ModelCommand>() &&
              StartsWithHeader<MatrixModelCommand>() && StartsWithHeader<ProjectionCommand>());

// 64-bit layouts: the record area hands out these sizes, all multiples of
// 8, so every command stays pointer-aligned.
static_assert(sizeof(RenderCommand) == 40 && offsetof(RenderCommand, next) == 32);
static_assert(sizeof(VertexBatchCommand) == 72);
static_assert(sizeof(IndexedBatchCommand) == 80);
static_assert(sizeof(ParticleBatchCommand) == 96 &&
              offsetof(ParticleBatchCommand, viewConstant) == 80);
static_assert(sizeof(ModelCommand) == 160 && offsetof(ModelCommand, screenPosition) == 152);
static_assert(sizeof(MatrixModelCommand) == 128 && offsetof(MatrixModelCommand, worldMatrix) == 68);
static_assert(sizeof(ProjectionCommand) == 104);

} // namespace FulgorCore
