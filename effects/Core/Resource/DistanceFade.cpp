#include "effects/Core/Resource/DistanceFade.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DistanceFade::Read(const BuildContext&, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("NeaB"):
            nearBegin_ = chunk.Float();
            break;
        case MakeChunkTag("NeaE"):
            nearEnd_ = chunk.Float();
            break;
        case MakeChunkTag("FarB"):
            farBegin_ = chunk.Float();
            break;
        case MakeChunkTag("FarE"):
            farEnd_ = chunk.Float();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
