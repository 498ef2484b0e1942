#pragma once

#include <cstdint>

namespace FulgorCore {

// The text of one generated shader program. The caller owns the buffer and
// reuses it; `length` counts the chars written, and the text is kept
// NUL-terminated after them.
struct ShaderSourceBuffer {
    static constexpr uint32_t kCapacity = 16384;

    char text[kCapacity];
    uint32_t length;
};

static_assert(sizeof(ShaderSourceBuffer) == 16388, "the text and its length, no pointers");

} // namespace FulgorCore
