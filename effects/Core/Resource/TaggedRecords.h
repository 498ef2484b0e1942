#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/Chunk.h"

#include <cstddef>
#include <cstdint>

namespace FulgorCore {

// Reads the chunk into records[i] when its tag is tags[i]: the draw-data
// records keep their runs of colours and animated floats as arrays indexed
// by a named slot. False when no tag matches.
template <class T, size_t N>
bool ReadTaggedRecord(const BuildContext& context, const Chunk& chunk, const uint32_t (&tags)[N],
                      T (&records)[N]) {
    for (size_t i = 0; i < N; ++i) {
        if (tags[i] == chunk.tag) {
            records[i].Read(context, chunk.payload, chunk.size);
            return true;
        }
    }
    return false;
}

} // namespace FulgorCore
