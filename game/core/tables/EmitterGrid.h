// The bullet-emitter grid of an enemy or boss row: 10 mount points, each an
// offset from the enemy's position and 12 emitter numbers (1-based rows of the
// mode's emitter table; 0 = no emitter).
#pragma once

#include <cstddef>
#include <cstdint>

struct EmitterMount {
    static constexpr uint32_t kCells = 12;

    int16_t x;
    int16_t y;
    int16_t emitters[kCells];
};

struct EmitterGrid {
    static constexpr uint32_t kMounts = 10;

    EmitterMount mounts[kMounts];
};

static_assert(sizeof(EmitterMount) == 28 && offsetof(EmitterMount, emitters) == 4);
static_assert(sizeof(EmitterGrid) == 280);
