#include "effects/Core/Resource/DrawDataType13.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"
#include "effects/Core/Resource/TaggedRecords.h"
#include "sys/bytes.h"

#include <algorithm>

namespace FulgorCore {

namespace {

const uint32_t kColorTags[2] = {MakeChunkTag("FrCB"), MakeChunkTag("FrCE")};
const uint32_t kFloatTags[2] = {MakeChunkTag("FrC"), MakeChunkTag("FrO")};

} // namespace

DrawDataType13::~DrawDataType13() {
    if (vertexBuffer_)
        vertexBuffer_->Release();
    if (indexBuffer_)
        indexBuffer_->Release();
    vertexBuffer_ = nullptr;
    indexBuffer_ = nullptr;
}

void DrawDataType13::MirrorVertex(uint8_t* vertex) {
    // Negating a float flips its sign bit, whatever the value.
    vertex[11] ^= 0x80;
    vertex[14] = static_cast<uint8_t>(255 - vertex[14]);
    vertex[18] = static_cast<uint8_t>(255 - vertex[18]);
}

void DrawDataType13::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Chunk vertices;
    Chunk indices;
    bool mirrored = false;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (ReadTaggedRecord(context, chunk, kColorTags, colors_) ||
            ReadTaggedRecord(context, chunk, kFloatTags, floats_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("FreT"):
            rimType_ = chunk.U16();
            break;
        case MakeChunkTag("VtxR"):
        case MakeChunkTag("VtxL"):
            vertices = chunk;
            mirrored = chunk.tag == MakeChunkTag("VtxL");
            break;
        case MakeChunkTag("Idx"):
            indices = chunk;
            break;
        case MakeChunkTag("FrD"):
            rimDirection_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }

    const uint32_t vertexCount = std::min(vertices.size / kVertexSize, kMaxCount);
    const uint32_t indexCount = std::min(indices.size / 2, kMaxCount);
    for (uint32_t i = 0; i < indexCount; ++i) {
        if (sys::LoadU16(indices.payload + i * 2) >= vertexCount) {
            context.allocator.Reject();
            return;
        }
    }
    const uint32_t vertexBytes = vertexCount * kVertexSize;
    const uint8_t* vertexData = vertices.payload;
    if (mirrored) {
        auto* copy =
            static_cast<uint8_t*>(CopyToBlock(context.allocator, vertices.payload, vertexBytes));
        for (uint32_t i = 0; copy && i < vertexCount; ++i)
            MirrorVertex(copy + i * kVertexSize);
        vertexData = copy;
    }
    vertexCount_ = static_cast<uint16_t>(vertexCount);
    indexCount_ = static_cast<uint16_t>(indexCount);
    if (context.IsMeasuring() || !context.device)
        return;
    if (vertexCount != 0 && vertexData)
        vertexBuffer_ = context.device->CreateVertexBuffer(vertexBytes, false, vertexData);
    if (indexCount != 0)
        indexBuffer_ = context.device->CreateIndexBuffer(
            indexCount * 2, false, reinterpret_cast<const uint16_t*>(indices.payload));
}

} // namespace FulgorCore
