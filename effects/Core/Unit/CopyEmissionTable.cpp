#include "effects/Core/Unit/CopyEmissionTable.h"

#include "effects/Core/Resource/EmissionEntry.h"

#include <cstring>

namespace FulgorCore {

void CopyEmissionTable(void* states, uint32_t pointCount, const EmissionEntry* table,
                       uint32_t entryCount) {
    using H = EmissionPointHead;
    static const EmissionEntry kEmpty;
    auto* bytes = static_cast<uint8_t*>(states);
    for (uint32_t p = 0; bytes && p < pointCount; ++p) {
        const EmissionEntry& e = table && p < entryCount ? table[p] : kEmpty;
        H head;
        std::memcpy(&head, bytes + static_cast<uint64_t>(p) * H::kPointStateSize, sizeof(head));
        head.flags = (head.flags & H::kKeptBits) | (e.Flip() << H::kFlipShift) |
                     (e.TargetMode() << H::kTargetShift) | (e.Pattern() << H::kPatternShift) |
                     (e.Cell() << H::kCellShift);
        head.age = e.birthOffset[0];
        head.emissionAge = e.birthOffset[1];
        std::memcpy(head.target, e.target, sizeof(head.target));
        std::memcpy(bytes + static_cast<uint64_t>(p) * H::kPointStateSize, &head, sizeof(head));
    }
}

} // namespace FulgorCore
