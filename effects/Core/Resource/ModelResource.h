#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Noise/Xorshift128.h"
#include "effects/Core/Resource/MeshSet.h"

#include <cstdint>

namespace FulgorCore {

// A mesh of a package ("Mdl"): up to two static vertex and index buffer
// pairs made on the device (48-byte vertices, 16-bit indices), and CPU-side
// edge vertices (16 bytes each), edge indices, a point-number table and a
// cumulative area table from which emitters pick random surface triangles.
//
// "VxL" and "VxML" hold vertices of the other handedness: they are mirrored
// in a copy placed in the block (the image is never written), so loading the
// same image twice gives the same model. "VxEL" is mirrored in its copy.
// Damage that fails the load: an "IxD" or "IxMD" index at or past its
// vertex count (when both streams are there to make buffers), an "IxE" or
// "VNo" entry at or past the edge vertex count.
class ModelResource {
public:
    static constexpr uint32_t kVertexSize = 48;
    static constexpr uint32_t kEdgeVertexSize = 16;

    ModelResource() = default;
    ModelResource(const ModelResource&) = delete;
    ModelResource& operator=(const ModelResource&) = delete;
    // Releases the four device buffers.
    ~ModelResource();

    void Read(const BuildContext& context, const void* payload, uint32_t size);

    const MeshSet& GetMeshSet() const { return mesh_; }
    uint32_t GetEdgeVertexCount() const { return edgeVertexCount_; }
    // The 16 bytes of edge vertex i; null past the count.
    const uint8_t* GetEdgeVertex(uint32_t i) const {
        return i < edgeVertexCount_ && edgeVertices_ ? edgeVertices_ + i * kEdgeVertexSize
                                                     : nullptr;
    }
    uint32_t GetEdgeIndexCount() const { return edgeIndexCount_; }
    // 0 past the count.
    uint32_t GetEdgeIndex(uint32_t i) const {
        return i < edgeIndexCount_ && edgeIndices_ ? edgeIndices_[i] : 0u;
    }
    // The point-number count when a "VNo" table exists, else the edge
    // vertex count.
    uint32_t GetPointCount() const;
    // "VNo"[i] when the table exists, else i; 0 past the count.
    uint32_t GetPoint(uint32_t i) const;
    // A triangle picked in proportion to its area from the cumulative table
    // (advances the state by one step).
    uint32_t RandomSurfaceTriangle(Xorshift128& state) const;

    float GetTotalArea() const { return totalArea_; }
    uint32_t GetLastAreaIndex() const { return lastAreaIndex_; }
    const float* GetAreaTable() const { return areas_; }

private:
    MeshSet mesh_;
    const uint8_t* edgeVertices_ = nullptr;
    const uint16_t* edgeIndices_ = nullptr;
    const uint16_t* pointNumbers_ = nullptr;
    const float* areas_ = nullptr;
    float totalArea_ = 0.0f;
    uint16_t edgeVertexCount_ = 0;
    uint16_t edgeIndexCount_ = 0;
    uint16_t pointNumberCount_ = 0;
    uint16_t lastAreaIndex_ = 0;
};

} // namespace FulgorCore
