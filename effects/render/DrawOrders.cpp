#include "effects/render/DrawPrefetch.h"
#include "effects/render/Renderer.h"
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
    const int emptyFirst = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(first, zero)));
    const int emptyLast = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(last, zero)));
    return ~static_cast<uint32_t>(emptyFirst | emptyLast << 3) & 0x7Fu;
#else
    uint32_t filled = 0;
    for (uint32_t l = 0; l < DrawLists::kLists; ++l)
        filled |= static_cast<uint32_t>(fillCounts[l] != 0) << l;
    return filled;
#endif
}

// The unit drawn i-th of a list of `count`.
template <bool Reversed>
ParticleDrawPart* UnitAt(const DrawListEntry* list, uint32_t count, uint32_t i) {
    return list[Reversed ? count - 1 - i : i].unit;
}

// Each unit lives in a pool block of its own: in a list longer than
// kFetchAhead the units that many places ahead are fetched while these
// draw; a shorter list is drawn at once. Out of line, so that the short
// lists most instances have are drawn without its registers.
constexpr uint32_t kFetchAhead = 4;

template <bool Reversed>
[[gnu::noinline]] void DrawFetchingAhead(const DrawListEntry* list, uint32_t count) {
    for (uint32_t i = 0; i < kFetchAhead; ++i)
        PrefetchLines(UnitAt<Reversed>(list, count, i), kDrawUnitLines);
    for (uint32_t i = 0; i < count; ++i) {
        if (i + kFetchAhead < count)
            PrefetchLines(UnitAt<Reversed>(list, count, i + kFetchAhead), kDrawUnitLines);
        UnitAt<Reversed>(list, count, i)->Draw();
    }
}

template <bool Sorted, bool Reversed>
void DrawUnits(const uint32_t* fillCounts, DrawListEntry* const* lists) {
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
        if (count > kFetchAhead) {
            DrawFetchingAhead<Reversed>(list, count);
            continue;
        }
        for (uint32_t i = 0; i < count; ++i)
            UnitAt<Reversed>(list, count, i)->Draw();
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
