// DDS images from memory: 2-D textures and cube maps with their mip chains, in
// the uncompressed formats the game uses and the block formats BC1 to BC3.
// Every size and count in the file is checked against the data; anything the
// reader does not understand is refused.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sys {

enum class DdsFormat : uint8_t {
    Unknown = 0,
    R8G8B8A8,    // bytes R, G, B, A
    B8G8R8A8,    // bytes B, G, R, A
    B8G8R8X8,    // bytes B, G, R, unused (alpha reads as 1)
    A8,          // alpha only
    R10G10B10A2, // 32-bit word, red in the low bits
    R16Float,    // one half float
    R32Float,    // one float
    R16G16B16A16Float,
    R32G32B32A32Float,
    BC1, // 8 bytes per 4x4 block
    BC2, // 16 bytes per 4x4 block
    BC3, // 16 bytes per 4x4 block
};

// Bytes per pixel, or per 4x4 block for the block formats; 0 for Unknown.
uint32_t DdsFormatUnitSize(DdsFormat format);
bool DdsFormatIsBlock(DdsFormat format);

struct DdsSurface {
    const uint8_t* data = nullptr; // points into the parsed file
    uint32_t size = 0;             // bytes
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t rowPitch = 0; // bytes per row of pixels, or per row of blocks
};

struct DdsImage {
    static constexpr uint32_t kMaxMips = 15; // 16384 and its halvings down to 1
    static constexpr uint32_t kMaxFaces = 6;
    static constexpr uint32_t kMaxDimension = 16384;

    DdsFormat format = DdsFormat::Unknown;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t mipCount = 0;
    uint32_t faceCount = 0; // 1, or 6 for a cube map
    bool cube = false;
    // Face-major: surfaces[face * mipCount + mip].
    DdsSurface surfaces[kMaxMips * kMaxFaces];

    const DdsSurface& Surface(uint32_t face, uint32_t mip) const {
        return surfaces[face * mipCount + mip];
    }
};

// Parses the file in place; the surfaces point into `data`, which must outlive
// the image. False (and `out` left empty) for anything malformed or unsupported.
bool ParseDds(const void* data, size_t size, DdsImage& out);

} // namespace sys
