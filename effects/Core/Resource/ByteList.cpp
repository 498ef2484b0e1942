#include "effects/Core/Resource/ByteList.h"

#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Math/FloatConversion.h"

namespace FulgorCore {

const int8_t* ByteList::Copy(const BuildContext& context, const Chunk& chunk) {
    return static_cast<const int8_t*>(CopyToBlock(context.allocator, chunk.payload, chunk.size));
}

int32_t ByteList::Pick(const int8_t* list, uint32_t n, float position) {
    if (n == 0 || !list)
        return -1;
    if (n == 1)
        return list[0];
    return list[Wrap(Math::TruncateToInt32(position), n)];
}

uint32_t ByteList::Wrap(int64_t i, uint32_t n) {
    const int64_t r = i % n;
    return static_cast<uint32_t>(r < 0 ? r + n : r);
}

} // namespace FulgorCore
