#pragma once

#include <cstdint>

namespace FulgorCore {

// The writer variants of strips and trails, as template arguments: the
// plain form writes two vertices per point (its two edges), the centre
// line adds one between them. The middle-key forms run width and colour in
// two ranges, head to middle and middle to tail, the middle taken from the
// data at every write.
struct PlainLine {
    static constexpr uint32_t kVerticesPerPoint = 2;
    static constexpr bool kTwoRanges = false;
};
struct CentreLine {
    static constexpr uint32_t kVerticesPerPoint = 3;
    static constexpr bool kTwoRanges = false;
};
struct MidKey {
    static constexpr uint32_t kVerticesPerPoint = 2;
    static constexpr bool kTwoRanges = true;
};
struct MidKeyCentreLine {
    static constexpr uint32_t kVerticesPerPoint = 3;
    static constexpr bool kTwoRanges = true;
};

} // namespace FulgorCore
