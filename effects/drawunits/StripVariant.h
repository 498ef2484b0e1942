#pragma once

#include <cstdint>

namespace FulgorCore {

// The writer variants of strips and trails, as template arguments: the
// plain form writes two vertices per point (its two edges), the centre
// line adds one between them.
struct PlainLine {
    static constexpr uint32_t kVerticesPerPoint = 2;
};
struct CentreLine {
    static constexpr uint32_t kVerticesPerPoint = 3;
};

} // namespace FulgorCore
