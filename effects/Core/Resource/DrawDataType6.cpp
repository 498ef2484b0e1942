#include "effects/Core/Resource/DrawDataType6.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Resource/TaggedRecords.h"

#include <algorithm>

namespace FulgorCore {

namespace {

const BitFieldTag kFieldsA[] = {DrawDataType6::kType, DrawDataType6::kPUC};
const BitFieldTag kFieldsB[] = {DrawDataType6::kPtCn, DrawDataType6::kPtIv, DrawDataType6::kPtCN,
                                DrawDataType6::kECE,  DrawDataType6::kCPE,  DrawDataType6::kLHE,
                                DrawDataType6::kNST};
const uint32_t kColorTags[6] = {MakeChunkTag("ColH"), MakeChunkTag("ColC"), MakeChunkTag("ColT"),
                                MakeChunkTag("CoEH"), MakeChunkTag("CoEC"), MakeChunkTag("CoET")};
const uint32_t kFloatTags[7] = {MakeChunkTag("Wid"),  MakeChunkTag("WidH"), MakeChunkTag("WidC"),
                                MakeChunkTag("WidT"), MakeChunkTag("Len"),  MakeChunkTag("Soft"),
                                MakeChunkTag("Dist")};

} // namespace

void DrawDataType6::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFieldsA, wordA_) || StoreBitField(chunk, kFieldsB, wordB_) ||
            ReadTaggedRecord(context, chunk, kColorTags, colors_) ||
            ReadTaggedRecord(context, chunk, kFloatTags, floats_))
            continue;
        if (chunk.tag == MakeChunkTag("MdlP")) {
            const uint32_t n = std::min(chunk.size / kPointSize, kMaxPoints);
            points_ = static_cast<const uint8_t*>(
                CopyToBlock(context.allocator, chunk.payload, n * kPointSize));
            wordA_ = WithBitField(wordA_, 0, 16, points_ ? n : 0u);
        } else if (chunk.tag == MakeChunkTag("CrIv")) {
            crIv_ = chunk.U32();
        }
    }
}

} // namespace FulgorCore
