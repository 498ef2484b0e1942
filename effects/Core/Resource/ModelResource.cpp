#include "effects/Core/Resource/ModelResource.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Interface/IDevice.h"
#include "effects/Core/Interface/IIndexBuffer.h"
#include "effects/Core/Interface/IVertexBuffer.h"
#include "effects/Core/Resource/DrawDataType13.h"
#include "sys/bytes.h"

#include <algorithm>
#include <cstring>

namespace FulgorCore {

namespace {

// Counts of the CPU-side tables are 16 bits wide; a longer chunk keeps its
// first entries.
constexpr uint32_t kMaxCount = 0xFFFF;
// The area table's last index is 16 bits wide.
constexpr uint32_t kMaxAreas = 0x10000;
constexpr float kAreaShrink = 0.9995f;

// One vertex stream ("VxR", "VxL", "VxMR", "VxML", ...) and the indices
// that go with it.
struct Stream {
    const uint8_t* vertices = nullptr;
    uint32_t vertexCount = 0;
    Chunk indices;
    bool hasVertices = false;
    bool hasIndices = false;
};

// The stream's vertices, mirrored into a copy in the block when the chunk
// holds the other handedness (the copy is null while measuring).
void TakeVertices(const BuildContext& context, const Chunk& chunk, bool mirrored, Stream& s) {
    s.vertexCount = chunk.size / ModelResource::kVertexSize;
    s.hasVertices = true;
    s.vertices = chunk.payload;
    if (!mirrored)
        return;
    auto* copy = static_cast<uint8_t*>(
        CopyToBlock(context.allocator, chunk.payload, s.vertexCount * ModelResource::kVertexSize));
    for (uint32_t i = 0; copy && i < s.vertexCount; ++i)
        DrawDataType13::MirrorVertex(copy + i * ModelResource::kVertexSize);
    s.vertices = copy;
}

// Whether every u16 of the chunk is below the limit.
bool IndicesBelow(const Chunk& chunk, uint32_t count, uint32_t limit) {
    for (uint32_t i = 0; i < count; ++i)
        if (sys::LoadU16(chunk.payload + i * 2) >= limit)
            return false;
    return true;
}

// A copy of count entries, null for none or while
// measuring.
template <class T>
const T* CopyEntries(const BuildContext& context, const Chunk& chunk, uint32_t count) {
    return static_cast<const T*>(CopyToBlock(context.allocator, chunk.payload, count * sizeof(T)));
}

void MakeBuffers(IDevice* device, const Stream& s, IVertexBuffer*& vertexBuffer,
                 IIndexBuffer*& indexBuffer, uint32_t& vertexCount, uint32_t& indexCount) {
    if (!s.hasVertices || !s.hasIndices || !s.vertices)
        return;
    const uint32_t indices = s.indices.size / 2;
    vertexBuffer =
        device->CreateVertexBuffer(s.vertexCount * ModelResource::kVertexSize, false, s.vertices);
    indexBuffer = device->CreateIndexBuffer(indices * 2, false,
                                            reinterpret_cast<const uint16_t*>(s.indices.payload));
    vertexCount = s.vertexCount;
    indexCount = indices;
}

template <class T> void ReleaseBuffer(T*& buffer) {
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

} // namespace

ModelResource::~ModelResource() {
    ReleaseBuffer(mesh_.vertexBuffer1);
    ReleaseBuffer(mesh_.indexBuffer1);
    ReleaseBuffer(mesh_.vertexBuffer2);
    ReleaseBuffer(mesh_.indexBuffer2);
}

void ModelResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    Stream streams[2];
    Chunk edgeIndices;
    Chunk pointNumbers;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Vx"):
        case MakeChunkTag("VxR"):
        case MakeChunkTag("VxL"):
            TakeVertices(context, chunk, chunk.tag == MakeChunkTag("VxL"), streams[0]);
            break;
        case MakeChunkTag("VxM"):
        case MakeChunkTag("VxMR"):
        case MakeChunkTag("VxML"):
            TakeVertices(context, chunk, chunk.tag == MakeChunkTag("VxML"), streams[1]);
            break;
        case MakeChunkTag("IxD"):
            streams[0].indices = chunk;
            streams[0].hasIndices = true;
            break;
        case MakeChunkTag("IxMD"):
            streams[1].indices = chunk;
            streams[1].hasIndices = true;
            break;
        case MakeChunkTag("VxE"):
        case MakeChunkTag("VxER"):
        case MakeChunkTag("VxEL"): {
            const uint32_t count = std::min(chunk.size / kEdgeVertexSize, kMaxCount);
            auto* copy = static_cast<uint8_t*>(
                CopyToBlock(context.allocator, chunk.payload, count * kEdgeVertexSize));
            if (chunk.tag == MakeChunkTag("VxEL")) {
                for (uint32_t i = 0; copy && i < count; ++i) {
                    uint8_t* v = copy + i * kEdgeVertexSize;
                    v[11] ^= 0x80; // the float at offset 8 negated
                    v[14] = static_cast<uint8_t>(-static_cast<int8_t>(v[14]));
                }
            }
            edgeVertices_ = copy;
            edgeVertexCount_ = static_cast<uint16_t>(count);
            break;
        }
        case MakeChunkTag("IxE"): {
            const uint32_t count = std::min(chunk.size / 2, kMaxCount);
            edgeIndices_ = CopyEntries<uint16_t>(context, chunk, count);
            edgeIndexCount_ = static_cast<uint16_t>(count);
            edgeIndices = chunk;
            break;
        }
        case MakeChunkTag("VNo"): {
            const uint32_t count = std::min(chunk.size / 2, kMaxCount);
            pointNumbers_ = CopyEntries<uint16_t>(context, chunk, count);
            pointNumberCount_ = static_cast<uint16_t>(count);
            pointNumbers = chunk;
            break;
        }
        case MakeChunkTag("Area"): {
            // Under one entry there is no table (its last index would wrap
            // to 65535 over nothing).
            const uint32_t count = std::min(chunk.size / 4, kMaxAreas);
            areas_ = count ? CopyEntries<float>(context, chunk, count) : nullptr;
            lastAreaIndex_ = static_cast<uint16_t>(count ? count - 1 : 0);
            totalArea_ = 0.0f;
            if (count) {
                float last;
                std::memcpy(&last, chunk.payload + (count - 1) * 4, 4);
                totalArea_ = last * kAreaShrink;
            }
            break;
        }
        case MakeChunkTag("TAre"):
            totalArea_ = chunk.Float();
            break;
        default:
            break;
        }
    }

    for (const Stream& s : streams) {
        if (s.hasVertices && s.hasIndices &&
            !IndicesBelow(s.indices, s.indices.size / 2, s.vertexCount)) {
            context.allocator.Reject();
            return;
        }
    }
    if (!IndicesBelow(edgeIndices, std::min(edgeIndices.size / 2, kMaxCount), edgeVertexCount_) ||
        !IndicesBelow(pointNumbers, std::min(pointNumbers.size / 2, kMaxCount), edgeVertexCount_)) {
        context.allocator.Reject();
        return;
    }
    if (context.IsMeasuring() || !context.device)
        return;
    MakeBuffers(context.device, streams[0], mesh_.vertexBuffer1, mesh_.indexBuffer1,
                mesh_.vertexCount1, mesh_.indexCount1);
    MakeBuffers(context.device, streams[1], mesh_.vertexBuffer2, mesh_.indexBuffer2,
                mesh_.vertexCount2, mesh_.indexCount2);
}

uint32_t ModelResource::GetPointCount() const {
    return pointNumbers_ ? pointNumberCount_ : edgeVertexCount_;
}

uint32_t ModelResource::GetPoint(uint32_t i) const {
    if (i >= GetPointCount())
        return 0;
    return pointNumbers_ ? pointNumbers_[i] : i;
}

uint32_t ModelResource::RandomSurfaceTriangle(Xorshift128& state) const {
    const float r = state.NextFloat01() * totalArea_;
    const uint32_t n = areas_ ? lastAreaIndex_ : 0;
    uint32_t base = 0;
    uint32_t count = n;
    while (count > 0) {
        const uint32_t half = count / 2;
        if (r > areas_[base + half]) {
            base += half + 1;
            count -= half + 1;
        } else {
            count = half;
        }
    }
    // The entry before the first one at or above r: with a table starting
    // at 0.0, the triangle whose cumulative range holds r. r at or below the
    // first entry wraps to 65535 before the modulo, as the data expects.
    return static_cast<uint16_t>(base - 1) % (n + 1);
}

} // namespace FulgorCore
