#pragma once

#include <cstdint>

namespace FulgorCore {

class IIndexBuffer;
class IVertexBuffer;

// The static device buffers of a model, handed to the model draw units: up
// to two pairs of vertex and index buffers with their counts. A pair the
// file did not give both streams of stays null with counts 0.
struct MeshSet {
    IVertexBuffer* vertexBuffer1 = nullptr;
    IIndexBuffer* indexBuffer1 = nullptr;
    uint32_t vertexCount1 = 0;
    uint32_t indexCount1 = 0;
    IVertexBuffer* vertexBuffer2 = nullptr;
    IIndexBuffer* indexBuffer2 = nullptr;
    uint32_t vertexCount2 = 0;
    uint32_t indexCount2 = 0;
};

} // namespace FulgorCore
