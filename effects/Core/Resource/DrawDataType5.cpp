#include "effects/Core/Resource/DrawDataType5.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Math/FloatConversion.h"
#include "effects/Core/Resource/ByteList.h"
#include "effects/Core/Resource/TaggedRecords.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {
    DrawDataType5::kMorph,    DrawDataType5::kLighting, DrawDataType5::kPhysical,
    DrawDataType5::kSpecular, DrawDataType5::kUvPass1,  DrawDataType5::kUvPass2,
    DrawDataType5::kUvPass3,  DrawDataType5::kUvPass4,  DrawDataType5::kUvPass5,
    DrawDataType5::kUvPass6,  DrawDataType5::kRimType,  DrawDataType5::kVertexColorType};

const uint32_t kFloatTags[7] = {MakeChunkTag("MtFo"), MakeChunkTag("MtRh"), MakeChunkTag("MtMl"),
                                MakeChunkTag("MdAN"), MakeChunkTag("MrBR"), MakeChunkTag("FrC"),
                                MakeChunkTag("FrO")};
const uint32_t kColorTags[2] = {MakeChunkTag("FrCB"), MakeChunkTag("FrCE")};

} // namespace

void DrawDataType5::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFields, flags_) ||
            ReadTaggedRecord(context, chunk, kFloatTags, floats_) ||
            ReadTaggedRecord(context, chunk, kColorTags, colors_))
            continue;
        if (chunk.tag == MakeChunkTag("List")) {
            list_ = ByteList::Copy(context, chunk);
            flags_ = WithBitField(flags_, kListShift, 8, ByteList::StoredLength(chunk));
        } else if (chunk.tag == MakeChunkTag("FrD")) {
            rimDirection_.Read(context, chunk.payload, chunk.size);
        }
    }
}

int32_t DrawDataType5::ListEntry(const EvaluationContext& context, float sample,
                                 Xorshift128& state) const {
    const uint32_t n = GetListLength();
    if (n < 2)
        return ByteList::Pick(list_, n, 0.0f);
    return ByteList::Pick(list_, n, floats_[kMdAN].Evaluate(context, sample, state));
}

float DrawDataType5::BlendedEntries(const EvaluationContext& context, float sample,
                                    Xorshift128& state, int32_t& first, int32_t& second) const {
    const uint32_t n = GetListLength();
    if (n < 2 || !list_) {
        first = second = ByteList::Pick(list_, n, 0.0f);
        return 0.0f;
    }
    float v = floats_[kMrBR].Evaluate(context, sample, state);
    // In 64 bits: whole lists added to the most negative position overflow
    // 32.
    if (v < 0.0f)
        v += static_cast<float>((1 - Math::TruncateToInt32(v) / int64_t{n}) * n);
    const int64_t i = Math::TruncateToInt32(v);
    first = list_[ByteList::Wrap(i, n)];
    second = list_[ByteList::Wrap(i + 1, n)];
    return v - static_cast<float>(i);
}

} // namespace FulgorCore
