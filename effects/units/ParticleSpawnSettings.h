#pragma once

#include <cstdint>

namespace FulgorCore {

// The eight bytes a spawn hands to the particle (its link record): the
// link index (which of the spawner's attached units the particle follows,
// negative for none), three bytes the particle does not read, then the
// orientation mode, the colour mode, the transform mode and the link
// flags. An emitter passes its item's; the root's spawn passes the default.
struct ParticleSpawnSettings {
    // Link flags: transform mode 3 places the particle relative to the
    // spawner's reference, and the four aspects taken from the linked unit.
    static constexpr uint8_t kRelative = 1u << 2;
    static constexpr uint8_t kInheritScale = 1u << 3;
    static constexpr uint8_t kInheritRotation = 1u << 4;
    static constexpr uint8_t kInheritTranslation = 1u << 5;
    static constexpr uint8_t kInheritColour = 1u << 6;
    static constexpr uint8_t kInheritAll =
        kInheritScale | kInheritRotation | kInheritTranslation | kInheritColour;

    uint8_t bytes[8];

    int32_t LinkIndex() const { return static_cast<int8_t>(bytes[0]); }
    uint32_t OrientationMode() const { return bytes[4]; }
    uint32_t ColourMode() const { return bytes[5]; }
    uint32_t TransformMode() const { return bytes[6]; }
    uint32_t LinkFlags() const { return bytes[7]; }
    // Bytes 4-7 as one word, as the getters read them.
    uint32_t InheritFlags() const {
        return static_cast<uint32_t>(bytes[4]) | static_cast<uint32_t>(bytes[5]) << 8 |
               static_cast<uint32_t>(bytes[6]) << 16 | static_cast<uint32_t>(bytes[7]) << 24;
    }

    // No link, world orientation, colour mode 0, transform mode 2 (the
    // parent's frame), flags 0x07.
    static constexpr ParticleSpawnSettings Default() {
        return {{0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x07}};
    }
};

static_assert(sizeof(ParticleSpawnSettings) == 8);

} // namespace FulgorCore
