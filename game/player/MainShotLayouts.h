// The four main-shot layouts of the six ships: for each power level, the
// shots of a volley in the order they leave, each with its stream (A, B or
// C of the ship's shot row), sprite row, live-count slot, sprite column,
// angle (degrees from straight up, clockwise) and offset from the ship.
// Ships 4 and 5 fly the layouts of ships 0 and 1 with sounds of their own.
#pragma once

#include <cstdint>

namespace MainShotLayouts {

constexpr uint32_t kLayouts = 4;
constexpr uint32_t kPowerLevels = 4;
constexpr uint32_t kShips = 6;

struct Shot {
    uint8_t stream; // 0 A, 1 B, 2 C
    uint8_t spriteRow;
    uint8_t slot;
    uint8_t spriteColumn;
    int16_t angle;
    int8_t dx;
    int8_t dy;
};

struct Volley {
    const Shot* shots;
    uint32_t count;
};

struct Ship {
    uint8_t layout;
    uint8_t spriteFamily;
    int16_t sound;
    int16_t fullPowerSound; // at power level 3
};

// The shots of a layout at a power level; an empty volley outside 0-3.
Volley Of(uint32_t layout, uint32_t power);
// The ship's constants; null outside 0-5.
const Ship* ShipOf(int32_t ship);

} // namespace MainShotLayouts
