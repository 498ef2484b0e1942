#include "effects/Core/Resource/TextureLayer.h"

#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Resource/ByteList.h"

namespace FulgorCore {

void TextureLayer::ReadLayer(const BuildContext& context, const void* payload, uint32_t size,
                             const Layout& layout, uint8_t* ownLength, FloatProperty* extra) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, layout.fields, layout.fieldCount, flags_))
            continue;
        if (chunk.tag == MakeChunkTag("List")) {
            list_ = ByteList::Copy(context, chunk);
            const uint32_t length = ByteList::StoredLength(chunk);
            if (layout.listShift == kOwnByte)
                *ownLength = static_cast<uint8_t>(length);
            else
                flags_ = WithBitField(flags_, layout.listShift, 8, length);
        } else if (chunk.tag == MakeChunkTag("TxNo")) {
            number_.Read(context, chunk.payload, chunk.size);
        } else if (extra && chunk.tag == layout.extraTag) {
            extra->Read(context, chunk.payload, chunk.size);
        }
    }
}

int32_t TextureLayer::PickTexture(uint32_t listLength, const EvaluationContext& context,
                                  float sample, Xorshift128& state) const {
    // A list of one entry needs no position.
    if (listLength < 2)
        return ByteList::Pick(list_, listLength, 0.0f);
    return ByteList::Pick(list_, listLength, number_.Evaluate(context, sample, state));
}

} // namespace FulgorCore
