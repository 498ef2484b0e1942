#include "effects/Core/Resource/DrawDataType7.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/TaggedRecords.h"

namespace FulgorCore {

namespace {

const uint32_t kColorTags[3] = {MakeChunkTag("ColC"), MakeChunkTag("ColI"), MakeChunkTag("ColO")};
const uint32_t kFloatTags[7] = {MakeChunkTag("Wid"), MakeChunkTag("WidI"), MakeChunkTag("WidO"),
                                MakeChunkTag("Hei"), MakeChunkTag("HeiI"), MakeChunkTag("HeiO"),
                                MakeChunkTag("Rad")};

} // namespace

void DrawDataType7::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (ReadTaggedRecord(context, chunk, kColorTags, colors_) ||
            ReadTaggedRecord(context, chunk, kFloatTags, floats_))
            continue;
        if (chunk.tag == MakeChunkTag("PtCn"))
            pointCount_ = chunk.U16();
        else if (chunk.tag == MakeChunkTag("bECE"))
            flags_ = chunk.Flag() ? 1u : 0u;
    }
}

} // namespace FulgorCore
