#pragma once

#include "effects/Core/Value/FloatProperty.h"

#include <cstdint>

namespace FulgorCore {

// The constancy flags of a group of animated floats: each bit set when it is
// set on every component that the group reads (bit k of readMask for
// components[k]). A group that reads none is always zero and constant.
inline uint16_t CombineComponentFlags(const FloatProperty* const* components, uint32_t readMask) {
    uint16_t flags = FloatProperty::kIsZero | FloatProperty::kIsOne | FloatProperty::kIsConstant;
    bool any = false;
    for (uint32_t k = 0; readMask >> k; ++k) {
        if (readMask & (1u << k)) {
            flags &= components[k]->GetFlags();
            any = true;
        }
    }
    return any ? flags : static_cast<uint16_t>(FloatProperty::kIsZero | FloatProperty::kIsConstant);
}

} // namespace FulgorCore
