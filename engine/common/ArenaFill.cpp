#include "engine/common/ArenaFill.h"

#include <atomic>
#include <cstring>

namespace Mireku::Common {

namespace {

// Read by every thread that allocates (the loader and render threads too),
// written by a test between runs.
std::atomic<uint8_t> g_pattern{0};

} // namespace

void ArenaFill::Set(uint8_t pattern) {
    g_pattern.store(pattern, std::memory_order_relaxed);
}

uint8_t ArenaFill::Pattern() {
    return g_pattern.load(std::memory_order_relaxed);
}

void ArenaFill::Taken(void* p, size_t n) {
    if (const uint8_t pattern = Pattern(); pattern != 0 && p)
        std::memset(p, TakenByte(pattern), n);
}

void ArenaFill::Freed(void* p, size_t n) {
    if (const uint8_t pattern = Pattern(); pattern != 0 && p)
        std::memset(p, FreedByte(pattern), n);
}

} // namespace Mireku::Common
