#pragma once

#include <cstdint>

namespace FulgorCore {

// The event numbers the pointer posts on particle instances, and the host's
// pointer commands that lead to them.
struct PointerEvent {
    enum Event : uint8_t {
        kEntered = 8,
        kLeft = 9,
        kClicked = 10,
        kSiblingClicked = 11,
        kPressed = 12,
        kReleased = 13,
        kCommand4 = 14,
        kCommand5 = 15,
        kCommand2 = 16,
        kCommand3 = 17,
    };
    enum Command : uint32_t {
        kPress = 0,
        kRelease = 1,
    };
};

} // namespace FulgorCore
