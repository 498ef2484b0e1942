#include "effects/Core/Resource/RadiusPair.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void RadiusPair::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("RadI"))
            inner_.Read(context, chunk.payload, chunk.size);
        else if (chunk.tag == MakeChunkTag("RadO"))
            outer_.Read(context, chunk.payload, chunk.size);
    }
}

} // namespace FulgorCore
