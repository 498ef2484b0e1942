// The stage's 13-bit input word from the input manager's held buttons: what
// the ship reads each frame and what a replay records.
#pragma once

#include <cstdint>

namespace StageInput {

enum Bit : uint32_t {
    kShot = 0x1,
    kExWeapon = 0x2,
    kSubWeaponMode = 0x4,
    kUnused = 0x8, // recorded, not read by the ship
    kUp = 0x10,
    kDown = 0x20,
    kLeft = 0x40,
    kRight = 0x80,
    kAimUp = 0x100,
    kAimDown = 0x200,
    kAimLeft = 0x400,
    kAimRight = 0x800,
    kSlow = 0x1000,
};

uint32_t WordFromButtons(uint32_t held);

} // namespace StageInput
