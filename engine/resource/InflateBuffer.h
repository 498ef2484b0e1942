#pragma once

#include <cstdint>

namespace Mireku::Resource {

// Inflates one whole zlib stream into the destination. `produced` receives
// the bytes written; true only when the stream ended where it should.
bool InflateBuffer(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength, uint32_t* produced);

} // namespace Mireku::Resource
