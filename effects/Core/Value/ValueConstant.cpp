#include "effects/Core/Value/ValueConstant.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Math/RandomRange.h"

namespace FulgorCore {

void ValueConstant::Read(const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("CoVl"):
            value_ = chunk.Float();
            break;
        case MakeChunkTag("CoRS"):
            randomStart_ = chunk.Float();
            break;
        case MakeChunkTag("CoRG"):
            randomEnd_ = chunk.Float();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
