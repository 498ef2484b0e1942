#pragma once

#include "effects/Core/Data/BuildContext.h"
#include "effects/Core/Data/ChunkTag.h"
#include "effects/Core/Data/RecordPlacement.h"
#include "effects/Core/Resource/AngleFade.h"
#include "effects/Core/Resource/DistanceFade.h"

namespace FulgorCore {

// The fade chunks a package and a unit both carry: "DsFd" places and reads
// a distance fade, "AgFd" an angle fade (a later one of either replaces the
// record). False for any other chunk.
inline bool ReadFadeChunk(const BuildContext& context, const Chunk& chunk,
                          const DistanceFade*& distance, const AngleFade*& angle) {
    if (chunk.tag == MakeChunkTag("DsFd")) {
        distance = PlaceAndRead<DistanceFade>(context, chunk.payload, chunk.size);
        return true;
    }
    if (chunk.tag == MakeChunkTag("AgFd")) {
        angle = PlaceAndRead<AngleFade>(context, chunk.payload, chunk.size);
        return true;
    }
    return false;
}

} // namespace FulgorCore
