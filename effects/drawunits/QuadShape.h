#pragma once

#include <cstdint>

namespace FulgorCore {

// A quad's fixed shape from its data: the half extents along the first
// and second axis of its plane and the centre's offset along them and
// along the facing axis. The plane's (first, second) axes are (-Z, +Y)
// facing X, (+X, -Z) facing Y and (+X, +Y) facing Z.
struct QuadShape {
    float sizeX = 0.5f;
    float sizeY = 0.5f;
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float offsetZ = 0.0f;

    // The shape of the data's size and pivot: a pivot of 0.5 moves the
    // quad half its width toward the first axis's negative side and half
    // its height toward the second's positive side; the facing offset is
    // taken as it is.
    static QuadShape FromData(float sizeX, float sizeY, const float* pivot) {
        return {sizeX, sizeY, -(pivot[0] * (sizeX * 2.0f)), pivot[1] * (sizeY * 2.0f), pivot[2]};
    }

    // The four corners through the matrix, x, y, z each: top-left,
    // top-right, bottom-left, bottom-right of the plane, facing axis Axis
    // (0 X, 1 Y, 2 Z). One set for every vertex format.
    template <uint32_t Axis> void ComputeCorners(float* corners, const float* m) const {
        static_assert(Axis < 3);
        constexpr float kSigns[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
        for (uint32_t k = 0; k < 4; ++k) {
            const float f = offsetX + kSigns[k][0] * sizeX;
            const float s = offsetY + kSigns[k][1] * sizeY;
            float l[3];
            if constexpr (Axis == 0) {
                l[0] = offsetZ, l[1] = s, l[2] = -f;
            } else if constexpr (Axis == 1) {
                l[0] = f, l[1] = offsetZ, l[2] = -s;
            } else {
                l[0] = f, l[1] = s, l[2] = offsetZ;
            }
            for (uint32_t c = 0; c < 3; ++c)
                corners[3 * k + c] = l[0] * m[c] + l[1] * m[3 + c] + l[2] * m[6 + c] + m[9 + c];
        }
    }
};

} // namespace FulgorCore
