#pragma once

#include "effects/Core/Engine/Buffer.h"

#include <cstdint>

namespace FulgorCore {

class IDevice;
class IIndexBuffer;
class IVertexBuffer;

// The renderer's state, one block allocated at start-up
// ("Renderer.WorkData").
struct RendererWorkData {
    // Bit 0 and batch kind 1 in bits 7-10.
    static constexpr uint32_t kDefaultStateWord = 1u | (1u << 7);

    IDevice* device = nullptr; // one reference
    Buffer<IVertexBuffer> vertexPool;
    Buffer<IIndexBuffer> indexPool;
    IVertexBuffer* projectionVertices = nullptr; // the unit cube of projection volumes
    IIndexBuffer* projectionIndices = nullptr;
    uint8_t exhausted = 0;
    uint8_t textureLatch = 0;
    uint8_t resetLatchPerRecord = 0; // RendererFlagA
    uint8_t plainDepth = 0;          // RendererFlagB
    uint8_t billboard = 0;
    uint32_t defaultStateWord = 0;
    uint32_t currentStateWord = 0;

    // The host's record area.
    uint8_t* recordBase = nullptr;
    uint32_t recordUsedBottom = 0;
    uint32_t recordUsedTop = 0;
    uint32_t recordSize = 0;

    void* vertexWrite = nullptr;
    void* indexWrite = nullptr;

    // Camera state, written per frame by the runtime's draw.
    uint32_t viewIndex = 0;
    float viewConstants[3][4] = {};
    float billboardMatrices[3][12] = {};
    float view[16] = {};
    float projection[16] = {};
    float viewProjection[16] = {};
    float inverseViewProjection[16] = {};
    float inverseView[16] = {};
    const float* cameraPosition = nullptr;
    float cameraTransforms[3][12] = {};
    uint32_t orthographic = 0;
};

} // namespace FulgorCore
