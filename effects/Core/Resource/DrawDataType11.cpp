#include "effects/Core/Resource/DrawDataType11.h"

#include "effects/Core/Data/ChunkWalker.h"
#include "effects/Core/Data/RecordPlacement.h"

#include <algorithm>

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {DrawDataType11::kLightEnable, DrawDataType11::kRotateXY,
                               DrawDataType11::kRotateZ, DrawDataType11::kTxF};

} // namespace

void DrawDataType11::Read(const BuildContext& context, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk)) {
        if (StoreBitField(chunk, kFields, flags_))
            continue;
        switch (chunk.tag) {
        case MakeChunkTag("DwPx"):
            dwPx_ = chunk.Float();
            break;
        case MakeChunkTag("DwPy"):
            dwPy_ = chunk.Float();
            break;
        case MakeChunkTag("Key"): {
            const uint32_t n = std::min(chunk.size / kKeySize, kMaxKeys);
            keys_ = static_cast<const uint8_t*>(
                CopyToBlock(context.allocator, chunk.payload, n * kKeySize));
            flags_ = WithBitField(flags_, 4, 16, keys_ ? n : 0u);
            break;
        }
        default:
            break;
        }
    }
}

} // namespace FulgorCore
