#include "effects/Core/Resource/UnitTimelineResource.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

namespace FulgorCore {

void UnitTimelineResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    RuntimeDataAllocator& allocator = context.allocator;
    uint32_t itemsRead = 0;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("UTIC"): {
            const int32_t count = ReadItemCount(chunk, itemsRead, allocator);
            if (count < 0)
                break;
            itemCount_ = static_cast<int16_t>(count);
            items_ = allocator.AllocateArray<Item>(static_cast<uint32_t>(count));
            break;
        }
        case MakeChunkTag("UTI1"):
            if (itemsRead >= GetItemCount()) {
                allocator.Reject();
                break;
            }
            if (items_)
                chunk.CopyPayload(items_[itemsRead].bytes, kItemSize);
            itemMask_ |= 1u << (itemsRead % 32);
            ++itemsRead;
            break;
        case MakeChunkTag("Labl"):
            label_ = CopyTextToBlock(allocator, chunk);
            break;
        case MakeChunkTag("OTU"):
            otu_ = chunk.U8();
            break;
        case MakeChunkTag("OTUT"):
            otut_ = chunk.U8();
            break;
        case MakeChunkTag("OTD"):
            otdWord_ = static_cast<uint16_t>((otdWord_ & 0x8000u) | (chunk.U16() & 0x7FFFu));
            break;
        case MakeChunkTag("bOTU"):
            otdWord_ = static_cast<uint16_t>((otdWord_ & 0x7FFFu) | (chunk.Flag() ? 0x8000u : 0u));
            break;
        case MakeChunkTag("Life"):
            life_ = chunk.U16();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
