#pragma once

#include <cstdint>

namespace FulgorCore {

// The writer variants of strips and trails, as template arguments: V
// vertices a point (2: the two edges; 3: a centre line between them), and
// width and colour in one range, head to tail, or in two, head to middle
// and middle to tail, the middle taken from the data at every write.
template <uint32_t V, bool TwoRanges> struct WriterVariant {
    static constexpr uint32_t kVerticesPerPoint = V;
    static constexpr bool kTwoRanges = TwoRanges;
};
using PlainLine = WriterVariant<2, false>;
using CentreLine = WriterVariant<3, false>;
using MidKey = WriterVariant<2, true>;
using MidKeyCentreLine = WriterVariant<3, true>;

} // namespace FulgorCore
