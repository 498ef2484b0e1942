#include "effects/Core/Resource/DrawDataType3.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DrawDataType3::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("Wid"))
            width_.Read(context, chunk.payload, chunk.size);
        else if (chunk.tag == MakeChunkTag("Len"))
            length_.Read(context, chunk.payload, chunk.size);
    }
}

} // namespace FulgorCore
