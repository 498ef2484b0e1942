// The renderers' default texture: a DDS file of one opaque white pixel
// (32-bit, bytes B, G, R, A), drawn wherever a sprite has no texture.
#pragma once

#include <cstdint>

namespace Mireku::Renderer {

namespace DefaultTextureDetail {

constexpr void Put(uint8_t* p, uint32_t at, uint32_t v) {
    p[at] = static_cast<uint8_t>(v);
    p[at + 1] = static_cast<uint8_t>(v >> 8);
    p[at + 2] = static_cast<uint8_t>(v >> 16);
    p[at + 3] = static_cast<uint8_t>(v >> 24);
}

struct Bytes {
    uint8_t data[132];
};

constexpr Bytes Make() {
    Bytes b{};
    Put(b.data, 0, 0x20534444);   // "DDS "
    Put(b.data, 4, 124);          // header size
    Put(b.data, 8, 0x100F);       // caps, height, width, pitch, pixel format
    Put(b.data, 12, 1);           // height
    Put(b.data, 16, 1);           // width
    Put(b.data, 20, 4);           // pitch
    Put(b.data, 28, 1);           // one mip level
    Put(b.data, 76, 32);          // pixel-format size
    Put(b.data, 80, 0x41);        // RGB with alpha
    Put(b.data, 88, 32);          // bits per pixel
    Put(b.data, 92, 0x00FF0000);  // red mask
    Put(b.data, 96, 0x0000FF00);  // green mask
    Put(b.data, 100, 0x000000FF); // blue mask
    Put(b.data, 104, 0xFF000000); // alpha mask
    Put(b.data, 108, 0x1000);     // texture
    Put(b.data, 128, 0xFFFFFFFF); // the pixel
    return b;
}

} // namespace DefaultTextureDetail

inline constexpr DefaultTextureDetail::Bytes kWhiteTexture = DefaultTextureDetail::Make();
inline constexpr const uint8_t (&kWhiteTextureDds)[132] = kWhiteTexture.data;

} // namespace Mireku::Renderer
