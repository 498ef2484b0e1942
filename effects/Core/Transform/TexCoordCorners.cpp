#include "effects/Core/Transform/TexCoordCorners.h"

#include "effects/Core/Transform/TexCoordTransform.h"

namespace FulgorCore {

namespace {

void AllAtOffset(float* corners, const float* p) {
    for (int i = 0; i < 4; ++i) {
        corners[i * 2] = p[kTexCoordOffsetU];
        corners[i * 2 + 1] = p[kTexCoordOffsetV];
    }
}

template <uint32_t Mode> void TransformedCorners(float* corners, const float* p) {
    static const float kCorners[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    float m[8];
    TexCoordTransform::Build(Mode, m, p);
    for (int i = 0; i < 4; ++i) {
        const float u = kCorners[i][0], v = kCorners[i][1];
        corners[i * 2] = m[0] * u + m[1] * v + m[3];
        corners[i * 2 + 1] = m[4] * u + m[5] * v + m[7];
    }
}

} // namespace

const TexCoordCorners::Builder TexCoordCorners::kModes[4] = {AllAtOffset, TransformedCorners<1>,
                                                             AllAtOffset, TransformedCorners<3>};

} // namespace FulgorCore
