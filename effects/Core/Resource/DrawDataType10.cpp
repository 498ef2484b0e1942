#include "effects/Core/Resource/DrawDataType10.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DrawDataType10::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("PrjT"):
            projectionType_ = chunk.U32() & 3u;
            break;
        case MakeChunkTag("RngR"):
            rangeR_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("RngW"):
            rangeW_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
