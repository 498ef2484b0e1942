#include "engine/resource/InflateBuffer.h"

#include <zlib.h>

namespace Mireku::Resource {

bool InflateBuffer(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength, uint32_t* produced) {
    *produced = 0;
    z_stream stream{};
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(source));
    stream.avail_in = sourceLength;
    stream.next_out = static_cast<Bytef*>(destination);
    stream.avail_out = destinationLength;
    if (inflateInit(&stream) != Z_OK)
        return false;
    const int result = inflate(&stream, Z_FINISH);
    *produced = destinationLength - stream.avail_out;
    inflateEnd(&stream);
    return result == Z_STREAM_END;
}

} // namespace Mireku::Resource
