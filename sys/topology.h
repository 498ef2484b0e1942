// Processor topology from sysfs: one affinity mask per processor core (the
// logical processors that share it), in the order of their first processor.
#pragma once

#include <cstdint>

namespace sys {

// Reads `root` (normally "/sys/devices/system/cpu"): every cpuN folder's
// topology/thread_siblings_list. Writes at most `capacity` masks and returns
// how many cores were found (0 when the tree cannot be read). Processors
// beyond bit 63 are left out of the masks.
uint32_t ReadCoreMasks(const char* root, uint64_t* masks, uint32_t capacity);

// Parses a sysfs CPU list such as "0-3,8,10-11" into a bit mask (bits above 63
// are dropped); false when the text is not such a list.
bool ParseCpuList(const char* text, uint64_t& mask);

} // namespace sys
