#pragma once

#include "effects/Core/Memory/UnitInstancePool.h"

#include <cstdint>

namespace FulgorCore {

class DrawUnit;

// One collected draw unit of a frame's draw list, with its sort key.
struct DrawListEntry {
    DrawUnit* unit;
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

    uint32_t capacities[kCategories][kLists];
    uint32_t fillCounts[kCategories][kLists];
    DrawListEntry* arrays[kCategories][kLists];
};

static_assert(sizeof(DrawListEntry) == 16, "an entry holds a pointer and a key");
static_assert(sizeof(DrawLists) == 224, "the fill counts, capacities and arrays of 14 lists");
static_assert(sizeof(DrawLists) <= kUnitBlockSize);

} // namespace FulgorCore
