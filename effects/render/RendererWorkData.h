#pragma once

#include "effects/Core/Engine/DrawParameter.h"
#include "effects/render/Buffer.h"
#include "effects/render/TextureSlot.h"

#include <cstdint>

namespace FulgorCore {

class IDevice;
class IIndexBuffer;
class IShader;
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

    // The batch state ApplyState compares with: shader, state word, a copy
    // of the texture binding table (a caller may reuse its table) and the
    // mask of its slots in use.
    static constexpr uint32_t kBindingSlots = 8;
    const IShader* currentShader = nullptr;
    TextureSlot currentBindings[kBindingSlots] = {};
    uint8_t currentMask = 0;
    uint32_t flushCount = 0;
    uint32_t currentLayer = 0;

    // Camera state, written per frame by the runtime's draw.
    uint32_t viewIndex = 0;
    DrawParameter drawParameter{};
    // Identity but for 2 / width and 2 / height on the diagonal.
    float screenMatrix[16] = {};
    // (-1 / pixel width, 1 / pixel height, 0, 0) and (1 / pixel width,
    // 1 / pixel height, 0, 0).
    float pixelTerms[2][4] = {};
    // The transpose of the view's rotation, with a zero translation row.
    float cameraRotation[12] = {};
    float viewConstants[3][4] = {};
    float billboardMatrices[3][12] = {};
    float view[16] = {};
    float projection[16] = {};
    float viewProjection[16] = {};
    float inverseViewProjection[16] = {};
    float inverseView[16] = {};
    // The eye: the translation row of inverseView.
    const float* cameraPosition = nullptr;
    float cameraTransforms[3][12] = {};
    uint32_t orthographic = 0;

    // The matrix of an effect's camera space: 0 the view x projection, 1
    // the projection, 2 the screen matrix; null past them.
    const float* CameraSpaceMatrix(uint32_t space) const {
        const float* const spaces[3] = {viewProjection, projection, screenMatrix};
        return space < 3 ? spaces[space] : nullptr;
    }
};

} // namespace FulgorCore
