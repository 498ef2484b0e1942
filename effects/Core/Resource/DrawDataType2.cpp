#include "effects/Core/Resource/DrawDataType2.h"

#include "effects/Core/Data/ChunkWalker.h"

namespace FulgorCore {

namespace {

const BitFieldTag kFields[] = {DrawDataType2::kUvType,      DrawDataType2::kDivisionsU,
                               DrawDataType2::kDivisionsV,  DrawDataType2::kAnimationIndex,
                               DrawDataType2::kLightEnable, DrawDataType2::kRotateXY,
                               DrawDataType2::kRotateZ};

} // namespace

void DrawDataType2::Read(const BuildContext&, const void* payload, uint32_t size) {
    ChunkWalker walker(payload, size);
    Chunk chunk;
    while (walker.Next(chunk))
        StoreBitField(chunk, kFields, flags_);
}

} // namespace FulgorCore
