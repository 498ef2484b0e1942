#include "effects/Core/Resource/TimelineResource.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Resource/ReferenceCollector.h"

#include <new>

namespace FulgorCore {

namespace {

constexpr uint32_t kReferenceCommand = MakeChunkTag("VFXC");
constexpr uint16_t kClipItemType = 1;

// "bPF1" ... "bPF8": item flag bits 0-7.
int32_t ItemFlagBit(uint32_t tag) {
    const uint32_t first = MakeChunkTag("bPF1");
    return tag >= first && tag < first + 8 ? static_cast<int32_t>(tag - first) : -1;
}

} // namespace

void TimelineResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    RuntimeDataAllocator& allocator = context.allocator;
    uint32_t itemsRead = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Len"):
            length_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("LpSt"):
            loopStart_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("LpEd"):
            loopEnd_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("TlIC"): {
            const int32_t count = ReadItemCount(chunk, itemsRead, allocator);
            if (count < 0)
                break;
            itemCount_ = static_cast<int16_t>(count);
            items_ = allocator.AllocateArray<TimelineItem>(static_cast<uint32_t>(count));
            clips_ = allocator.AllocateArray<TimelineClip*>(static_cast<uint32_t>(count));
            for (int32_t i = 0; items_ && i < count; ++i)
                new (&items_[i]) TimelineItem();
            break;
        }
        case MakeChunkTag("TmlI"):
            if (itemsRead >= static_cast<uint32_t>(itemCount_)) {
                allocator.Reject();
                break;
            }
            ReadItem(context, chunk, itemsRead++);
            break;
        default:
            break;
        }
    }
}

void TimelineResource::ReadItem(const BuildContext& context, const Chunk& itemChunk,
                                uint32_t index) {
    TimelineItem item;
    TimelineClip* clip = nullptr;
    Chunk clipChunk;
    bool hasClip = false;
    ChunkWalker walker = itemChunk.Children();
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("TgtI"):
            item.target = chunk.I16();
            break;
        case MakeChunkTag("bEna"):
            item.enabled = chunk.U16();
            break;
        case MakeChunkTag("Type"):
            item.type = chunk.U16();
            break;
        case MakeChunkTag("LCT"):
            item.lct = chunk.U16();
            break;
        case MakeChunkTag("StFr"):
            item.startFrame = chunk.U16();
            break;
        case MakeChunkTag("EdFr"):
            item.endFrame = chunk.U16();
            break;
        case MakeChunkTag("BnNo"):
            item.bind = chunk.I16();
            break;
        case MakeChunkTag("Clip"):
            clip = static_cast<TimelineClip*>(context.allocator.Allocate(sizeof(TimelineClip)));
            if (clip)
                chunk.CopyPayload(clip->bytes, TimelineClip::kSize);
            clipChunk = chunk;
            hasClip = true;
            item.clipIndex = static_cast<int16_t>(index);
            break;
        default:
            if (const int32_t bit = ItemFlagBit(chunk.tag); bit >= 0 && chunk.Flag())
                item.flags = static_cast<uint16_t>(item.flags | (1u << bit));
            break;
        }
    }
    if (item.type == kClipItemType) {
        if (!hasClip) {
            context.allocator.Reject();
            return;
        }
        // The clip as the block holds it, or its bytes in the image while
        // measuring: the same name either way.
        if (clipChunk.U32() == kReferenceCommand && context.references)
            context.references->AddClipName(
                clip ? clip->GetEffectName()
                     : TimelineClip::NameIn(clipChunk.payload, clipChunk.size));
    }
    if (items_)
        items_[index] = item;
    if (clips_)
        clips_[index] = clip;
}

} // namespace FulgorCore
