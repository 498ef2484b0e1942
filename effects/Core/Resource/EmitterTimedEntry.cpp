#include "effects/Core/Resource/EmitterTimedEntry.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

void EmitterTimedEntry::Read(const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        switch (chunk.tag) {
        case MakeChunkTag("Enbl"):
            enabled_ = chunk.U16();
            break;
        case MakeChunkTag("TgtI"):
            target_ = chunk.U16();
            break;
        case MakeChunkTag("GnCn"):
            count_ = chunk.U16();
            break;
        case MakeChunkTag("GnIv"):
            interval_ = static_cast<float>(chunk.I16());
            break;
        case MakeChunkTag("StFr"):
            startFrame_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("EdFr"):
            endFrame_ = chunk.IntAsFloat();
            break;
        case MakeChunkTag("GnDI"):
            gnDI_ = chunk.U32();
            break;
        case MakeChunkTag("VlSc"):
            vlSc_ = chunk.U32();
            break;
        default:
            break;
        }
    }
}

} // namespace FulgorCore
