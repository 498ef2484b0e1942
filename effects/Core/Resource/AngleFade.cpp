#include "effects/Core/Resource/AngleFade.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void AngleFade::Read(const BuildContext&, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Type"):
            type_ = chunk.U32();
            break;
        case MakeChunkTag("XB"):
            xBegin_ = chunk.Float();
            break;
        case MakeChunkTag("XE"):
            xEnd_ = chunk.Float();
            break;
        case MakeChunkTag("YB"):
            yBegin_ = chunk.Float();
            break;
        case MakeChunkTag("YE"):
            yEnd_ = chunk.Float();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
