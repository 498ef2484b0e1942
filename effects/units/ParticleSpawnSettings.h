#pragma once

#include <cstdint>

namespace FulgorCore {

// The eight bytes of particle settings a spawn hands to the particle: the
// extra-timeline byte, then the inherit word (byte 1 the colour mode,
// byte 2 the inherit mode, bits 24-26 inherit scale, inherit rotation and
// position from the spawner). An emitter passes its item's settings; the
// root's spawn passes the default.
struct ParticleSpawnSettings {
    uint8_t bytes[8];

    uint32_t InheritFlags() const {
        return static_cast<uint32_t>(bytes[4]) | static_cast<uint32_t>(bytes[5]) << 8 |
               static_cast<uint32_t>(bytes[6]) << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    }

    // No extra timeline, colour mode 0, inherit mode 2 with scale, rotation
    // and position inherited.
    static constexpr ParticleSpawnSettings Default() {
        return {{0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x07}};
    }
};

static_assert(sizeof(ParticleSpawnSettings) == 8);

} // namespace FulgorCore
