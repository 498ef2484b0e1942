// A test facility: fills the blocks the engine's own arenas hand out (the
// heap, and the game-object pool carved from it) with a byte pattern as they
// are taken, and with another as they are given back, so that state read
// before it is written shows one known value per pattern instead of whatever
// an earlier block left there. The C library's MALLOC_PERTURB_ never reaches
// these arenas. A pattern byte b fills taken blocks with b ^ 0xFF and freed
// ones with b, as MALLOC_PERTURB_ does; 0 turns the fill off, which is how
// the game runs. Only test programs turn it on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Mireku::Common {

class ArenaFill {
public:
    static void Set(uint8_t pattern);
    static uint8_t Pattern();
    static bool IsOn() { return Pattern() != 0; }
    static uint8_t TakenByte(uint8_t pattern) { return static_cast<uint8_t>(pattern ^ 0xFFu); }
    static uint8_t FreedByte(uint8_t pattern) { return pattern; }

    // Fill [p, p + n) as a block just taken or just given back; nothing
    // while the fill is off.
    static void Taken(void* p, size_t n);
    static void Freed(void* p, size_t n);
};

} // namespace Mireku::Common
