#include "sys/dds.h"
#include "sys/bytes.h"

#include <cstring>

namespace sys {

namespace {

// Offsets in the file: magic, the 124-byte header, the optional 20-byte
// extension header of files that name a DXGI format.
constexpr uint32_t kMagic = 0x20534444; // "DDS "
constexpr size_t kHeaderEnd = 128;
constexpr size_t kExtensionEnd = kHeaderEnd + 20;

constexpr uint32_t kFlagDepth = 0x800000;
constexpr uint32_t kPixelAlphaPixels = 0x1;
constexpr uint32_t kPixelAlpha = 0x2;
constexpr uint32_t kPixelFourCC = 0x4;
constexpr uint32_t kPixelRgb = 0x40;
constexpr uint32_t kCaps2Cube = 0x200;
constexpr uint32_t kCaps2AllFaces = 0xFC00;
constexpr uint32_t kCaps2Volume = 0x200000;
constexpr uint32_t kExtensionTexture2D = 3;
constexpr uint32_t kExtensionCube = 0x4;

constexpr uint32_t FourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
           static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

DdsFormat FromFourCC(uint32_t code) {
    switch (code) {
    case FourCC('D', 'X', 'T', '1'):
        return DdsFormat::BC1;
    case FourCC('D', 'X', 'T', '2'):
    case FourCC('D', 'X', 'T', '3'):
        return DdsFormat::BC2;
    case FourCC('D', 'X', 'T', '4'):
    case FourCC('D', 'X', 'T', '5'):
        return DdsFormat::BC3;
    case 111: // D3DFMT_R16F
        return DdsFormat::R16Float;
    case 113: // D3DFMT_A16B16G16R16F
        return DdsFormat::R16G16B16A16Float;
    case 114: // D3DFMT_R32F
        return DdsFormat::R32Float;
    case 116: // D3DFMT_A32B32G32R32F
        return DdsFormat::R32G32B32A32Float;
    default:
        return DdsFormat::Unknown;
    }
}

DdsFormat FromDxgi(uint32_t dxgi) {
    switch (dxgi) {
    case 2:
        return DdsFormat::R32G32B32A32Float;
    case 10:
        return DdsFormat::R16G16B16A16Float;
    case 24:
        return DdsFormat::R10G10B10A2;
    case 28:
        return DdsFormat::R8G8B8A8;
    case 41:
        return DdsFormat::R32Float;
    case 54:
        return DdsFormat::R16Float;
    case 65:
        return DdsFormat::A8;
    case 71:
        return DdsFormat::BC1;
    case 74:
        return DdsFormat::BC2;
    case 77:
        return DdsFormat::BC3;
    case 87:
        return DdsFormat::B8G8R8A8;
    case 88:
        return DdsFormat::B8G8R8X8;
    default:
        return DdsFormat::Unknown;
    }
}

// Formats described by bit masks in the pixel-format block.
DdsFormat FromMasks(uint32_t flags, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if ((flags & kPixelRgb) && bits == 32) {
        if (r == 0xFF && g == 0xFF00 && b == 0xFF0000 && a == 0xFF000000)
            return DdsFormat::R8G8B8A8;
        if (r == 0xFF0000 && g == 0xFF00 && b == 0xFF) {
            if (a == 0xFF000000 && (flags & kPixelAlphaPixels))
                return DdsFormat::B8G8R8A8;
            if (a == 0)
                return DdsFormat::B8G8R8X8;
        }
        if (r == 0x3FF && g == 0xFFC00 && b == 0x3FF00000 && a == 0xC0000000)
            return DdsFormat::R10G10B10A2;
    }
    if ((flags & kPixelAlpha) && bits == 8 && a == 0xFF)
        return DdsFormat::A8;
    return DdsFormat::Unknown;
}

uint32_t MaxMips(uint32_t width, uint32_t height) {
    uint32_t largest = width > height ? width : height;
    uint32_t n = 1;
    while (largest > 1) {
        largest >>= 1;
        ++n;
    }
    return n;
}

} // namespace

uint32_t DdsFormatUnitSize(DdsFormat format) {
    switch (format) {
    case DdsFormat::A8:
        return 1;
    case DdsFormat::R16Float:
        return 2;
    case DdsFormat::R8G8B8A8:
    case DdsFormat::B8G8R8A8:
    case DdsFormat::B8G8R8X8:
    case DdsFormat::R10G10B10A2:
    case DdsFormat::R32Float:
        return 4;
    case DdsFormat::R16G16B16A16Float:
    case DdsFormat::BC1:
        return 8;
    case DdsFormat::R32G32B32A32Float:
    case DdsFormat::BC2:
    case DdsFormat::BC3:
        return 16;
    case DdsFormat::Unknown:
        break;
    }
    return 0;
}

bool DdsFormatIsBlock(DdsFormat format) {
    return format == DdsFormat::BC1 || format == DdsFormat::BC2 || format == DdsFormat::BC3;
}

bool ParseDds(const void* data, size_t size, DdsImage& out) {
    out = DdsImage{};
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (!p || size < kHeaderEnd || LoadU32(p) != kMagic || LoadU32(p + 4) != 124 ||
        LoadU32(p + 76) != 32)
        return false;
    const uint32_t flags = LoadU32(p + 8);
    const uint32_t height = LoadU32(p + 12);
    const uint32_t width = LoadU32(p + 16);
    const uint32_t depth = LoadU32(p + 24);
    uint32_t mips = LoadU32(p + 28);
    const uint32_t pixelFlags = LoadU32(p + 80);
    const uint32_t fourCC = LoadU32(p + 84);
    const uint32_t caps2 = LoadU32(p + 112);

    if (width == 0 || height == 0 || width > DdsImage::kMaxDimension ||
        height > DdsImage::kMaxDimension)
        return false;
    if ((caps2 & kCaps2Volume) || ((flags & kFlagDepth) && depth > 1))
        return false;
    if (mips == 0)
        mips = 1;
    if (mips > MaxMips(width, height))
        return false;

    DdsFormat format;
    bool cube = false;
    size_t offset = kHeaderEnd;
    if ((pixelFlags & kPixelFourCC) && fourCC == FourCC('D', 'X', '1', '0')) {
        if (size < kExtensionEnd)
            return false;
        format = FromDxgi(LoadU32(p + 128));
        const uint32_t dimension = LoadU32(p + 132);
        const uint32_t misc = LoadU32(p + 136);
        const uint32_t arraySize = LoadU32(p + 140);
        if (dimension != kExtensionTexture2D || arraySize != 1)
            return false;
        cube = (misc & kExtensionCube) != 0;
        offset = kExtensionEnd;
    } else {
        format = (pixelFlags & kPixelFourCC)
                     ? FromFourCC(fourCC)
                     : FromMasks(pixelFlags, LoadU32(p + 88), LoadU32(p + 92), LoadU32(p + 96),
                                 LoadU32(p + 100), LoadU32(p + 104));
        if (caps2 & kCaps2Cube) {
            // A cube map with some faces missing cannot be one texture.
            if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces)
                return false;
            cube = true;
        }
    }
    if (format == DdsFormat::Unknown)
        return false;
    if (cube && width != height)
        return false;

    const uint32_t faces = cube ? 6 : 1;
    const uint32_t unit = DdsFormatUnitSize(format);
    const bool block = DdsFormatIsBlock(format);
    // Dimensions are at most 16384, so every surface fits in 32 bits and the
    // running total in 64.
    uint64_t position = offset;
    for (uint32_t face = 0; face < faces; ++face) {
        uint32_t w = width;
        uint32_t h = height;
        for (uint32_t mip = 0; mip < mips; ++mip) {
            uint32_t columns = block ? (w + 3) / 4 : w;
            uint32_t rows = block ? (h + 3) / 4 : h;
            uint64_t pitch = static_cast<uint64_t>(columns) * unit;
            uint64_t bytes = pitch * rows;
            if (bytes > size || position > size - bytes) {
                out = DdsImage{};
                return false;
            }
            DdsSurface& s = out.surfaces[face * mips + mip];
            s.data = p + position;
            s.size = static_cast<uint32_t>(bytes);
            s.width = w;
            s.height = h;
            s.rowPitch = static_cast<uint32_t>(pitch);
            position += bytes;
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
    out.format = format;
    out.width = width;
    out.height = height;
    out.mipCount = mips;
    out.faceCount = faces;
    out.cube = cube;
    return true;
}

} // namespace sys
