#include "effects/Core/Resource/EmitterResource.h"

#include "effects/Core/Data/BitFieldTag.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

#include <new>

namespace FulgorCore {

namespace {

constexpr uint32_t kSpawnShift = 4;
constexpr uint32_t kTimedShift = 11;
constexpr uint32_t kCountWidth = 7;
constexpr uint32_t kParentLinksBit = 1u << 18;

template <uint32_t K>
EmitterShapeBase* ReadShapeOfKind(const BuildContext& context, const Chunk& chunk) {
    return PlaceAndRead<EmitterShape<K>>(context, chunk.payload, chunk.size);
}

using ShapeReader = EmitterShapeBase* (*)(const BuildContext&, const Chunk&);
// Indexed by kind - 1.
const ShapeReader kShapeReaders[EmitterResource::kKinds] = {
    ReadShapeOfKind<1>, ReadShapeOfKind<2>, ReadShapeOfKind<3>,
    ReadShapeOfKind<4>, ReadShapeOfKind<5>, ReadShapeOfKind<6>,
    ReadShapeOfKind<7>, ReadShapeOfKind<8>, ReadShapeOfKind<9>};

// count entries of T, each constructed (the block is zeroed, but entries
// have their own defaults).
template <class T> T* AllocateEntries(RuntimeDataAllocator& allocator, uint32_t count) {
    T* entries = allocator.AllocateArray<T>(count);
    for (uint32_t i = 0; entries && i < count; ++i)
        new (&entries[i]) T();
    return entries;
}

} // namespace

EmitterResource::~EmitterResource() {
    if (shape_)
        shape_->~EmitterShapeBase();
    shape_ = nullptr;
}

void EmitterResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    RuntimeDataAllocator& allocator = context.allocator;
    bool shapeRead = false;
    uint32_t spawnRead = 0;
    uint32_t timedRead = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("EmV1"):
            if (!shapeRead)
                descriptor_ = WithBitField(descriptor_, 0, 4, chunk.U32());
            break;
        case MakeChunkTag("GeUC"): {
            if (spawnRead != 0) {
                allocator.Reject();
                break;
            }
            const uint32_t count = BitField(chunk.U32(), 0, kCountWidth);
            descriptor_ = WithBitField(descriptor_, kSpawnShift, kCountWidth, count);
            spawnEntries_ = AllocateEntries<EmitterSpawnEntry>(allocator, count);
            break;
        }
        case MakeChunkTag("GeTC"): {
            if (timedRead != 0) {
                allocator.Reject();
                break;
            }
            const uint32_t count = BitField(chunk.U32(), 0, kCountWidth);
            descriptor_ = WithBitField(descriptor_, kTimedShift, kCountWidth, count);
            timedEntries_ = AllocateEntries<EmitterTimedEntry>(allocator, count);
            break;
        }
        case MakeChunkTag("GeUI"):
            if (spawnRead >= GetSpawnEntryCount()) {
                allocator.Reject();
                break;
            }
            if (spawnEntries_)
                spawnEntries_[spawnRead].Read(chunk.payload, chunk.size);
            ++spawnRead;
            break;
        case MakeChunkTag("GeTI"):
            if (timedRead >= GetTimedEntryCount()) {
                allocator.Reject();
                break;
            }
            if (timedEntries_)
                timedEntries_[timedRead].Read(chunk.payload, chunk.size);
            ++timedRead;
            break;
        case MakeChunkTag("DatE"):
            if (shapeRead)
                break;
            shapeRead = true;
            if (GetKind() >= 1 && GetKind() <= kKinds)
                shape_ = kShapeReaders[GetKind() - 1](context, chunk);
            break;
        case MakeChunkTag("PLU1"):
        case MakeChunkTag("PLU2"):
        case MakeChunkTag("PLU3"):
        case MakeChunkTag("PLU4"):
            parentLinks_[chunk.tag - MakeChunkTag("PLU1")] = chunk.I8();
            break;
        case MakeChunkTag("LRot"):
            localRotation_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("IAAg"):
            iaag_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
    bool linked = false;
    for (int8_t link : parentLinks_)
        linked = linked || link >= 0;
    descriptor_ = linked ? descriptor_ | kParentLinksBit : descriptor_ & ~kParentLinksBit;
}

} // namespace FulgorCore
