#pragma once

#include <cstdint>

namespace FulgorCore {

class ITexture;

// One of the eight texture stages of a draw part's material: the texture
// resolved at load when its index never changes (null otherwise), and the
// sampler word (three 2-bit modes in bits 0-5, a flag in bit 6).
struct TextureSlot {
    ITexture* texture = nullptr;
    uint32_t sampler = 0;
};
static_assert(sizeof(TextureSlot) == 16, "a texture pointer and the sampler word");

} // namespace FulgorCore
