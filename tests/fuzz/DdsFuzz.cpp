// libFuzzer target for the DDS reader: any input must be parsed or refused
// without reading outside it, and every surface it reports must lie inside.
#include "sys/dds.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sys::DdsImage image;
    if (!sys::ParseDds(data, size, image))
        return 0;
    uint32_t sum = 0;
    for (uint32_t face = 0; face < image.faceCount; ++face) {
        for (uint32_t mip = 0; mip < image.mipCount; ++mip) {
            const sys::DdsSurface& s = image.Surface(face, mip);
            if (s.data < data || s.data + s.size > data + size)
                std::abort();
            for (uint32_t i = 0; i < s.size; ++i)
                sum += s.data[i];
        }
    }
    return static_cast<int>(sum & 0);
}
