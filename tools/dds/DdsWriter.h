// Writes DDS files for the data tools and tests: a plain header (masks or a
// four-character code) for the formats that have one, the extension header
// naming a DXGI format for the rest. Also a tiny BC1 encoder for solid blocks
// and for pictures of one colour over clear (a mask).
#pragma once

#include "sys/dds.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace tools {

inline void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
    out[at + 2] = static_cast<uint8_t>(v >> 16);
    out[at + 3] = static_cast<uint8_t>(v >> 24);
}

// Size in bytes of all surfaces of one face.
inline size_t DdsFaceBytes(sys::DdsFormat format, uint32_t width, uint32_t height, uint32_t mips) {
    size_t total = 0;
    const bool block = sys::DdsFormatIsBlock(format);
    for (uint32_t m = 0; m < mips; ++m) {
        size_t columns = block ? (width + 3) / 4 : width;
        size_t rows = block ? (height + 3) / 4 : height;
        total += columns * rows * sys::DdsFormatUnitSize(format);
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    return total;
}

// Header plus `pixels` (all surfaces, face-major, each mip chain from the top
// level down). `extension` forces the DXGI extension header.
inline std::vector<uint8_t> WriteDds(sys::DdsFormat format, uint32_t width, uint32_t height,
                                     uint32_t mips, bool cube, const void* pixels,
                                     size_t pixelBytes, bool extension = false) {
    uint32_t fourCC = 0, bits = 0, r = 0, g = 0, b = 0, a = 0, pixelFlags = 0, dxgi = 0;
    switch (format) {
    case sys::DdsFormat::R8G8B8A8:
        pixelFlags = 0x41, bits = 32, r = 0xFF, g = 0xFF00, b = 0xFF0000, a = 0xFF000000, dxgi = 28;
        break;
    case sys::DdsFormat::B8G8R8A8:
        pixelFlags = 0x41, bits = 32, r = 0xFF0000, g = 0xFF00, b = 0xFF, a = 0xFF000000, dxgi = 87;
        break;
    case sys::DdsFormat::B8G8R8X8:
        pixelFlags = 0x40, bits = 32, r = 0xFF0000, g = 0xFF00, b = 0xFF, dxgi = 88;
        break;
    case sys::DdsFormat::A8:
        pixelFlags = 0x2, bits = 8, a = 0xFF, dxgi = 65;
        break;
    case sys::DdsFormat::BC1:
        fourCC = 0x31545844, dxgi = 71; // "DXT1"
        break;
    case sys::DdsFormat::BC2:
        fourCC = 0x33545844, dxgi = 74; // "DXT3"
        break;
    case sys::DdsFormat::BC3:
        fourCC = 0x35545844, dxgi = 77; // "DXT5"
        break;
    case sys::DdsFormat::R10G10B10A2:
        extension = true, dxgi = 24;
        break;
    case sys::DdsFormat::R16Float:
        fourCC = 111, dxgi = 54;
        break;
    case sys::DdsFormat::R32Float:
        fourCC = 114, dxgi = 41;
        break;
    case sys::DdsFormat::R16G16B16A16Float:
        fourCC = 113, dxgi = 10;
        break;
    case sys::DdsFormat::R32G32B32A32Float:
        fourCC = 116, dxgi = 2;
        break;
    case sys::DdsFormat::Unknown:
        break;
    }
    if (extension) {
        pixelFlags = 0x4, fourCC = 0x30315844; // "DX10"
        bits = r = g = b = a = 0;
    } else if (fourCC) {
        pixelFlags = 0x4;
    }
    const size_t header = extension ? 148 : 128;
    std::vector<uint8_t> out(header + pixelBytes, 0);
    PutU32(out, 0, 0x20534444);
    PutU32(out, 4, 124);
    PutU32(out, 8, 0x1007 | (mips > 1 ? 0x20000 : 0)); // caps, height, width, pixel format
    PutU32(out, 12, height);
    PutU32(out, 16, width);
    PutU32(out, 28, mips);
    PutU32(out, 76, 32);
    PutU32(out, 80, pixelFlags);
    PutU32(out, 84, fourCC);
    PutU32(out, 88, bits);
    PutU32(out, 92, r);
    PutU32(out, 96, g);
    PutU32(out, 100, b);
    PutU32(out, 104, a);
    PutU32(out, 108, 0x1000 | (mips > 1 ? 0x400008 : 0) | (cube ? 0x8 : 0));
    PutU32(out, 112, cube ? 0xFE00 : 0);
    if (extension) {
        PutU32(out, 128, dxgi);
        PutU32(out, 132, 3);
        PutU32(out, 136, cube ? 0x4 : 0);
        PutU32(out, 140, 1);
    }
    if (pixelBytes)
        std::memcpy(out.data() + header, pixels, pixelBytes);
    return out;
}

// One BC1 block of a single opaque colour (8-bit channels): colour0 holds it,
// colour1 is black and every index picks colour0 (opaque in either mode).
inline void EncodeSolidBc1(uint8_t red, uint8_t green, uint8_t blue, uint8_t block[8]) {
    const uint16_t c = static_cast<uint16_t>((red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3));
    block[0] = static_cast<uint8_t>(c);
    block[1] = static_cast<uint8_t>(c >> 8);
    std::memset(block + 2, 0, 6);
}

// One BC1 block of one colour where `alpha` (16 values, row by row) is at
// least half and clear elsewhere: both colours of the block are the colour,
// which reads the block with three colours and a clear one (index 3).
inline void EncodeMaskBc1(uint8_t red, uint8_t green, uint8_t blue, const uint8_t alpha[16],
                          uint8_t block[8]) {
    EncodeSolidBc1(red, green, blue, block);
    block[2] = block[0];
    block[3] = block[1];
    uint32_t indices = 0;
    for (int i = 0; i < 16; ++i)
        indices |= (alpha[i] >= 128 ? 0u : 3u) << (2 * i);
    for (int b = 0; b < 4; ++b)
        block[4 + b] = static_cast<uint8_t>(indices >> (8 * b));
}

// A BC1 picture of `width` by `height` texels in one colour where `alpha`
// (row by row) is at least half, clear elsewhere and past the edges of the
// last blocks: half a byte a texel.
inline std::vector<uint8_t> WriteMaskBc1Dds(uint8_t red, uint8_t green, uint8_t blue,
                                            const uint8_t* alpha, uint32_t width, uint32_t height) {
    const uint32_t columns = (width + 3) / 4, rows = (height + 3) / 4;
    std::vector<uint8_t> blocks(size_t{columns} * rows * 8);
    for (uint32_t by = 0; by < rows; ++by)
        for (uint32_t bx = 0; bx < columns; ++bx) {
            uint8_t texels[16] = {};
            for (uint32_t i = 0; i < 16; ++i) {
                const uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x < width && y < height)
                    texels[i] = alpha[size_t{y} * width + x];
            }
            EncodeMaskBc1(red, green, blue, texels, &blocks[(size_t{by} * columns + bx) * 8]);
        }
    return WriteDds(sys::DdsFormat::BC1, width, height, 1, false, blocks.data(), blocks.size());
}

} // namespace tools
