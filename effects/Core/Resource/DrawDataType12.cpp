#include "effects/Core/Resource/DrawDataType12.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/TaggedRecords.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {DrawDataType12::kTDT,  DrawDataType12::kPtCn, DrawDataType12::kPtCN,
                               DrawDataType12::kPtIv, DrawDataType12::kECE,  DrawDataType12::kCPE,
                               DrawDataType12::kLHE,  DrawDataType12::kNST};
const uint32_t kColorTags[6] = {MakeChunkTag("ColH"), MakeChunkTag("ColC"), MakeChunkTag("ColT"),
                                MakeChunkTag("CoEH"), MakeChunkTag("CoEC"), MakeChunkTag("CoET")};
const uint32_t kFloatTags[5] = {MakeChunkTag("Wid"), MakeChunkTag("WidH"), MakeChunkTag("WidC"),
                                MakeChunkTag("WidT"), MakeChunkTag("Dist")};

} // namespace

void DrawDataType12::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFields, flags_) ||
            ReadTaggedRecord(context, chunk, kColorTags, colors_) ||
            ReadTaggedRecord(context, chunk, kFloatTags, floats_))
            continue;
        if (chunk.tag == MakeChunkTag("Len"))
            length_ = chunk.Float();
    }
    if (GetField(kPtIv) == 0)
        flags_ = WithBitField(flags_, kPtIv.shift, kPtIv.width, 1);
}

} // namespace FulgorCore
