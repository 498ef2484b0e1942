#pragma once

#include <cstdint>

namespace FulgorCore {

// One item of a package timeline ("TmlI"): nine 16-bit fields. An item the
// file leaves out keeps these defaults too.
struct TimelineItem {
    int16_t target = -1;     // "TgtI"
    int16_t clipIndex = -1;  // the item's own index when it carries a "Clip"
    uint16_t enabled = 0;    // "bEna"
    uint16_t flags = 0;      // bits 0-7 from "bPF1" to "bPF8"
    uint16_t type = 0;       // "Type"; 1 plays the command of its clip
    uint16_t lct = 0;        // "LCT"
    uint16_t startFrame = 0; // "StFr"
    uint16_t endFrame = 0;   // "EdFr"
    int16_t bind = -1;       // "BnNo"
};
static_assert(sizeof(TimelineItem) == 18);

} // namespace FulgorCore
