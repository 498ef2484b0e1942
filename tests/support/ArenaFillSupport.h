// The arena fill of a test program (ArenaFill): DREVANTH_ARENA_FILL=<byte>
// in the environment (1-255, decimal or 0x-prefixed hex) turns it on for the
// whole program from its start; unset, empty, 0 or not a byte leaves it off.
// Tests that compare two runs of the game take the two patterns of
// NextRunPattern in turn, so that state read before it is written differs
// between the runs.
#pragma once

#include "engine/common/ArenaFill.h"

#include <cstdint>
#include <cstdlib>

namespace arena_fill {

inline uint8_t FromEnvironment() {
    const char* text = std::getenv("DREVANTH_ARENA_FILL");
    if (!text || !*text)
        return 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 0);
    return *end == '\0' && value <= 0xFF ? static_cast<uint8_t>(value) : 0;
}

// A second pattern, on and unlike `pattern`: its complement (0xA5 for 0xFF).
inline uint8_t Other(uint8_t pattern) {
    const uint8_t other = static_cast<uint8_t>(pattern ^ 0xFFu);
    return other ? other : 0xA5;
}

// The pattern for a program's next run of the game: the fill in force and
// its complement in turn, so that any two runs in a row differ; 0 (off) when
// no fill is in force.
inline uint8_t NextRunPattern() {
    static uint32_t runs = 0;
    const uint8_t pattern = Mireku::Common::ArenaFill::Pattern();
    return pattern == 0 ? 0 : (runs++ % 2 ? Other(pattern) : pattern);
}

// A pattern in force for a scope; the previous one after it.
class Scoped {
public:
    explicit Scoped(uint8_t pattern) : previous_(Mireku::Common::ArenaFill::Pattern()) {
        Mireku::Common::ArenaFill::Set(pattern);
    }
    ~Scoped() { Mireku::Common::ArenaFill::Set(previous_); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;

private:
    uint8_t previous_;
};

} // namespace arena_fill
