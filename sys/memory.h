// Advice to the system about memory the program keeps for its whole run.
#pragma once

#include <cstddef>

namespace sys {

// A large page: a buffer that wants large pages starts on one.
inline constexpr size_t kLargePageSize = size_t{2} << 20;

// Asks that the whole large pages inside [memory, memory + bytes) be backed
// by large pages when first touched. A pool whose blocks are read a few
// lines each, thousands a frame, otherwise pays an address translation for
// nearly every block. Only advice: where the system refuses, the memory
// works the same on small pages.
void AdviseLargePages(void* memory, size_t bytes);

} // namespace sys
