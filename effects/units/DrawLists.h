#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class ParticleDrawPart;

// One collected draw unit of a frame's draw list, with its sort key.
struct DrawListEntry {
    ParticleDrawPart* unit;
    float key;
};

// An instance's per-frame draw lists, in one block of the unit pool: for
// each category (0, 1) and list (0-6) the number of draw units registered
// for it (kept by the particle instances), the fill count of this draw and
// this frame's array, taken from the frame work memory. The capacities
// come first: the evaluation pass reads them for every instance each
// frame, and an instance that registered nothing reads one cache line.
struct DrawLists {
    static constexpr uint32_t kCategories = 2;
    static constexpr uint32_t kLists = 7;
    // Category 2: a draw unit no list holds (nothing counted).
    static constexpr int8_t kNotListed = 2;
    // The category of each draw type (a 4-bit field): projection volumes
    // (type 10) are drawn by a pass of their own; type 0 draws nothing.
    // Types 14 and 15 have no class but count as ordinary draw units until
    // their particle goes.
    static constexpr int8_t kCategoryByType[16] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0};

    // The list of a draw priority; the data's byte is not bounded, so one
    // past the last list is drawn in the last, one below the first in the
    // first.
    static constexpr int8_t ListOf(int32_t priority) {
        return static_cast<int8_t>(priority < 0 ? 0
                                   : priority >= static_cast<int32_t>(kLists)
                                       ? kLists - 1
                                       : priority);
    }

    uint32_t capacities[kCategories][kLists];
    uint32_t fillCounts[kCategories][kLists];
    DrawListEntry* arrays[kCategories][kLists];
    // The entries each array was taken for: a draw unit counted after the
    // arrays were taken (a particle built between evaluation and drawing)
    // finds its list full and is not drawn that frame.
    uint32_t sizes[kCategories][kLists];
};

static_assert(sizeof(DrawListEntry) == 16, "an entry holds a pointer and a key");
static_assert(sizeof(DrawLists) == 280, "the capacities, fill counts, arrays and sizes of 14 lists");
static_assert(sizeof(DrawLists) <= kUnitBlockSize);

} // namespace FulgorCore
