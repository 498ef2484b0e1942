#pragma once

#include <cstdint>

namespace FulgorCore {

// Texture coordinates of a quad's four corners (0, 0), (1, 0), (0, 1),
// (1, 1), as eight floats. Modes 0 and 2 put every corner at the offset
// (those quads take their coordinates from elsewhere); modes 1 and 3
// transform the corners by the layer's matrix (see TexCoordTransform).
class TexCoordCorners {
public:
    using Builder = void (*)(float* corners, const float* parameters);

    static const Builder kModes[4];

    static void Build(uint32_t mode, float* corners, const float* parameters) {
        kModes[mode & 3u](corners, parameters);
    }
};

} // namespace FulgorCore
