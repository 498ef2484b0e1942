#pragma once

#include <cstdint>

namespace Mireku::Graphics {
class PixelShader;
class Texture;
} // namespace Mireku::Graphics

namespace Mireku::Renderer {

// One sprite vertex as the vertex layout reads it (stride 32).
struct SpriteVertex {
    float x, y;       // "POSITION" 0: screen pixels
    float u0, v0;     // "TEXTURE" 0: texels of texture 0
    float u1, v1;     // "TEXTURE" 1: texels of texture 1
    uint32_t colour0; // "COLOR" 0: bytes R, G, B, A in memory (0xAABBGGRR)
    uint32_t colour1; // "COLOR" 1
};
static_assert(sizeof(SpriteVertex) == 32);

// Dirty bits of a record: which parts of the draw state its group head sets.
enum SpriteDirty : uint32_t {
    kDirtyScissor = 0x1,
    kDirtyPixelShader = 0x2,
    kDirtyConstants = 0x4,
    kDirtyBlend = 0x8,
    kDirtyTexture0 = 0x10,
    kDirtyTexture1 = 0x20,
    kDirtySampler0 = 0x40,
    kDirtySampler1 = 0x80,
    kDirtySortField3 = 0x100,
    kDirtySortField2 = 0x200,
    kDirtySortField1 = 0x400,
    kDirtyPriority = 0x800,
    kDirtyAll = 0xFFFFFF,
};

// A sprite as submitted: four vertices and the state it is drawn with.
// Records submitted with a zero dirty mask join the state group of the record
// before them.
struct SpriteRecord {
    SpriteVertex vertices[4]; // top-left, top-right, bottom-left, bottom-right
    Graphics::PixelShader* pixelShader;
    Graphics::Texture* textures[2];
    int16_t scissor[4]; // x, y, width, height
    // High word of the draw sort key: bits 0-17 priority, 18-21 sort field 1,
    // 22-25 sort field 2, 26-31 sort field 3.
    uint32_t stateWord;
    uint32_t dirty;
    int32_t constantBlock; // -1: none this frame
    uint32_t blend;        // 0 opaque, 1 alpha, 2 additive, 3 subtractive
    uint8_t filter[2];     // per sampler slot: 0 point, 1 linear
    uint8_t address[2];    // per sampler slot: 0 clamp, 1 wrap
    SpriteRecord* nextGroup;
};

} // namespace Mireku::Renderer
