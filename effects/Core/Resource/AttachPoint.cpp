#include "effects/Core/Resource/AttachPoint.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {AttachPoint::kTargetType, AttachPoint::kPointType};

} // namespace

void AttachPoint::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFields, flags_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("BAPN"):
            name_ = CopyTextToBlock(context.allocator, chunk);
            break;
        case MakeChunkTag("Pos"):
            position_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
