#include "effects/Core/Resource/DrawDataType9.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DrawDataType9::Read(const BuildContext&, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("SizX"):
            size_[0] = chunk.Float();
            break;
        case MakeChunkTag("SizY"):
            size_[1] = chunk.Float();
            break;
        case MakeChunkTag("PvtX"):
            pivot_[0] = chunk.Float();
            break;
        case MakeChunkTag("PvtY"):
            pivot_[1] = chunk.Float();
            break;
        case MakeChunkTag("PvtZ"):
            pivot_[2] = chunk.Float();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
