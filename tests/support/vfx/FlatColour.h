// A colour of the read-back picture, and a one-texel DDS of it for the
// effects' packages.
#pragma once

#include "tools/dds/DdsWriter.h"

#include <cstdint>
#include <vector>

namespace testsupport {

struct Rgb {
    int r, g, b;
};

inline std::vector<uint8_t> FlatTexture(Rgb c) {
    const std::vector<uint8_t> rgba = {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g),
                                       static_cast<uint8_t>(c.b), 255};
    return tools::WriteDds(sys::DdsFormat::R8G8B8A8, 1, 1, 1, false, rgba.data(), rgba.size());
}

} // namespace testsupport
