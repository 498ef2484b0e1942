#include "effects/Core/Resource/DrawDataType8.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void DrawDataType8::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (chunk.tag == MakeChunkTag("Cnt"))
            count_.Read(context, chunk.payload, chunk.size);
    }
}

} // namespace FulgorCore
