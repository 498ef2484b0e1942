#pragma once

#include <cstdint>

namespace FulgorCore {

// A playing instance: its record's index and the serial it was given; {0, 0}
// reports a failed creation.
struct InstanceHandle {
    uint32_t index = 0;
    uint32_t serial = 0;
};

} // namespace FulgorCore
