#pragma once

#include "sys/bytes.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace FulgorCore {

// The first 100 bytes of a "Clip" payload (zero-extended when shorter). Its
// first word is a timeline command tag; the command "VFXC" holds the name
// of a referenced effect from byte 36. The bytes after the 100 stay zero, so
// that name ends inside the clip even when the file gave no terminator.
struct TimelineClip {
    static constexpr uint32_t kSize = 100;
    static constexpr uint32_t kNameOffset = 36;

    uint8_t bytes[kSize];
    uint8_t terminator[4];

    uint32_t GetCommand() const { return sys::LoadU32(bytes); }
    // The "VFXC" name: up to the first zero, never past the clip.
    std::string_view GetEffectName() const { return NameIn(bytes, kSize); }

    // The name of a clip made from `size` bytes of payload, read where they
    // lie.
    static std::string_view NameIn(const uint8_t* payload, uint32_t size) {
        const uint32_t end = size < kSize ? size : kSize;
        if (end <= kNameOffset)
            return {};
        const char* name = reinterpret_cast<const char*>(payload + kNameOffset);
        return std::string_view(name, strnlen(name, end - kNameOffset));
    }
};
static_assert(sizeof(TimelineClip) == 104);

} // namespace FulgorCore
