#include "effects/render/DrawPrefetch.h"
#include "effects/render/Renderer.h"
#include "effects/render/RendererWorkData.h"
#include "effects/render/StartedRenderer.h"
#include "effects/units/DrawLists.h"
#include "effects/units/ParticleDrawPart.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace FulgorCore::Renderer {

namespace {

// Ascending keys; a key that is not a number goes last, so a damaged one
// cannot upset the sort.
bool KeyBefore(const DrawListEntry& a, const DrawListEntry& b) {
    return a.key < b.key || (std::isnan(b.key) && !std::isnan(a.key));
}

// Bit l set for each list l with a fill count; with SSE2 the seven counts
// are compared as two overlapping groups of four.
uint32_t FilledLists(const uint32_t* fillCounts) {
    static_assert(DrawLists::kLists == 7, "two groups of four cover the seven lists");
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fillCounts));
    const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fillCounts + 3));
    const auto empty = [&](__m128i counts) {
        return static_cast<uint32_t>(
            _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(counts, zero))));
    };
    return ~(empty(first) | empty(last) << 3) & 0x7Fu;
#else
    uint32_t filled = 0;
    for (uint32_t l = 0; l < DrawLists::kLists; ++l)
        filled |= static_cast<uint32_t>(fillCounts[l] != 0) << l;
    return filled;
#endif
}

template <bool Sorted, bool Reversed>
void DrawUnits(const uint32_t* fillCounts, DrawListEntry* const* lists) {
    // The units the layer draw fetched when it collected the instance
    // (none when one instance is drawn alone): a list wholly among them is
    // in the cache, whatever order it is drawn in.
    const RendererWorkData* work = StartedRenderer();
    uint32_t fetched = work ? work->unitsFetched : 0;
    // Most instances fill one or two of the lists: only the filled ones
    // are walked.
    for (uint32_t filled = FilledLists(fillCounts); filled; filled &= filled - 1) {
        const uint32_t l = static_cast<uint32_t>(__builtin_ctz(filled));
        const uint32_t count = fillCounts[l];
        DrawListEntry* list = lists[l];
        if (!list)
            continue;
        if constexpr (Sorted)
            std::sort(list, list + count, KeyBefore);
        auto at = [&](uint32_t i) { return list[Reversed ? count - 1 - i : i].unit; };
        if (count <= fetched) {
            fetched -= count;
            for (uint32_t i = 0; i < count; ++i)
                at(i)->Draw();
            continue;
        }
        fetched = 0;
        // Each unit lives in a pool block of its own: the units a few
        // places ahead are fetched while these draw.
        constexpr uint32_t kAhead = 4;
        for (uint32_t i = 0; i < count && i < kAhead; ++i)
            PrefetchLines(at(i), kDrawUnitLines);
        for (uint32_t i = 0; i < count; ++i) {
            if (i + kAhead < count)
                PrefetchLines(at(i + kAhead), kDrawUnitLines);
            at(i)->Draw();
        }
    }
}

} // namespace

// By the package's "DOT": 0 as collected, 1 reversed, 2 sorted and drawn
// from the largest key, 3 sorted and drawn from the smallest.
const DrawOrder kDrawOrders[kDrawOrderCount] = {
    DrawUnits<false, false>,
    DrawUnits<false, true>,
    DrawUnits<true, true>,
    DrawUnits<true, false>,
};

} // namespace FulgorCore::Renderer
