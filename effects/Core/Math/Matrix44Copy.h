#pragma once

namespace FulgorCore {

// A 4x4 matrix copied word by word, in order.
inline void Matrix44Copy(float* out, const float* in) {
    for (int i = 0; i < 16; ++i)
        out[i] = in[i];
}

} // namespace FulgorCore
