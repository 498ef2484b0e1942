#include "effects/Core/Resource/BindResource.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

#include <new>

namespace FulgorCore {

void BindResource::Read(const BuildContext& context, const void* payload, uint32_t size) {
    RuntimeDataAllocator& allocator = context.allocator;
    bool pointRead = false;
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("BnV1"): {
            if (pointRead)
                break;
            const uint16_t value = chunk.U16();
            mode_ = static_cast<uint16_t>((mode_ & ~3u) | (value & 3u));
            attachPointCount_ = value == 0 ? 1 : value == 1 ? 2 : 0;
            attachPoints_ = allocator.AllocateArray<AttachPoint>(attachPointCount_);
            for (uint32_t i = 0; attachPoints_ && i < attachPointCount_; ++i)
                new (&attachPoints_[i]) AttachPoint();
            break;
        }
        case MakeChunkTag("BRTT"):
            mode_ = static_cast<uint16_t>((mode_ & ~(7u << 2)) | ((chunk.U16() & 7u) << 2));
            break;
        case MakeChunkTag("BSTT"):
            mode_ = static_cast<uint16_t>((mode_ & ~(7u << 5)) | ((chunk.U16() & 7u) << 5));
            break;
        case MakeChunkTag("Life"):
            life_ = chunk.I16();
            break;
        case MakeChunkTag("Prm1"):
        case MakeChunkTag("Prm2"): {
            const uint32_t i = chunk.tag == MakeChunkTag("Prm1") ? 0 : 1;
            if (i >= attachPointCount_) {
                allocator.Reject();
                break;
            }
            pointRead = true;
            AttachPoint scratch;
            AttachPoint& point =
                context.IsMeasuring() || !attachPoints_ ? scratch : attachPoints_[i];
            point.Read(context, chunk.payload, chunk.size);
            break;
        }
        case MakeChunkTag("TrFc"):
            trFc_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
