#pragma once

#include <cstdint>

namespace FulgorCore {

// A registered effect: its record's index and the serial it was given. The
// serial counters skip 0, so {0, 0} reports a failed registration.
struct ObjectHandle {
    uint32_t index = 0;
    uint32_t serial = 0;
};

} // namespace FulgorCore
