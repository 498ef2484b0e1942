#pragma once

#include "effects/Core/Resource/ColorProperty.h"
#include "effects/Core/Resource/DrawData.h"
#include "effects/Core/Resource/FloatTripleProperty.h"
#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

class IIndexBuffer;
class IVertexBuffer;

// Draw type 13, a static mesh: 48-byte vertices ("VtxR", or "VtxL" in the
// other handedness) and 16-bit indices ("Idx") in static device buffers,
// with the rim terms of type 5. The record releases both buffers when it is
// destroyed.
class DrawDataType13 : public DrawData {
public:
    static constexpr uint32_t kVertexSize = 48;
    // Counts are 16 bits wide; longer chunks keep their first entries.
    static constexpr uint32_t kMaxCount = 0xFFFF;

    enum Color : uint32_t { kFrCB = 0, kFrCE = 1 };
    enum Float : uint32_t { kFrC = 0, kFrO = 1 };

    ~DrawDataType13() override;

    // The last vertex chunk and the last index chunk make the buffers. A
    // "VtxL" is mirrored in a copy placed in the block (f32 at vertex offset
    // 8 negated, bytes 14 and 18 as 255 - b); the image is never written.
    // An index at or past the vertex count fails the load. A buffer the
    // device cannot create stays null.
    void Read(const BuildContext& context, const void* payload, uint32_t size);

    // "FreT".
    uint32_t GetRimType() const { return rimType_; }
    uint32_t GetVertexCount() const { return vertexCount_; }
    uint32_t GetIndexCount() const { return indexCount_; }
    IVertexBuffer* GetVertexBuffer() const { return vertexBuffer_; }
    IIndexBuffer* GetIndexBuffer() const { return indexBuffer_; }
    const ColorProperty& GetColor(Color slot) const { return colors_[slot]; }
    const FloatProperty& GetFloat(Float slot) const { return floats_[slot]; }
    // "FrD".
    const FloatTripleProperty& GetRimDirection() const { return rimDirection_; }

    // One vertex of "VtxL" turned into the "VtxR" form, in place.
    static void MirrorVertex(uint8_t* vertex);

private:
    uint16_t rimType_ = 0;
    uint16_t vertexCount_ = 0;
    uint16_t indexCount_ = 0;
    IVertexBuffer* vertexBuffer_ = nullptr;
    IIndexBuffer* indexBuffer_ = nullptr;
    ColorProperty colors_[2];
    FloatProperty floats_[2];
    FloatTripleProperty rimDirection_;
};

} // namespace FulgorCore
