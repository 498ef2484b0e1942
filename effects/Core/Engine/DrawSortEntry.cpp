#include "effects/Core/Engine/DrawSortEntry.h"

#include "effects/Core/Math/FloatConversion.h"

namespace FulgorCore {

void DrawSortEntry::SetKey(uint16_t drawOrder, float depth, uint32_t index) {
    // The depth term is truncated at 64 bits and cut to its low 32, so depths
    // beyond the 32-bit range wrap as they always did; NaN and depths beyond
    // 64 bits give the indefinite value (low word 0).
    const uint64_t depthTerm =
        static_cast<uint64_t>(Math::TruncateToInt64((depth + 3000.0f) * 1000.0f)) & 0xFFFFFFFFu;
    key = (uint64_t{65535u - drawOrder} << 48) | (depthTerm << 16) | (index & 0xFFFFu);
}

} // namespace FulgorCore
