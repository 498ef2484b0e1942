#include "effects/Core/Resource/DrawDataType1.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DrawDataType1::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Len"):
            length_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("HCol"):
            headColor_.Read(context, chunk.payload, chunk.size);
            break;
        case MakeChunkTag("TCol"):
            tailColor_.Read(context, chunk.payload, chunk.size);
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
